#pragma once
// A function: script-defined (a range of the script's instruction array with
// a frame of arguments, locals and operator temporaries) or native (a host
// function reached through its binding, see cNativeFunction).
//
// Argument block: arguments follow one another in declaration order; a value
// argument takes 4 bytes, a by-reference argument a pointer.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora::script {

class cTypeDef;
class cVariable;
class cNamespace;
class cNativeFunction;

struct sArgument {
    const cTypeDef* type = nullptr;
    bool byReference = false;
    bool isConst = false;
    std::string name;
};

class cFuncDef {
public:
    cFuncDef(const std::string& name, const cTypeDef* returnType, bool returnsReference);
    ~cFuncDef();
    cFuncDef(const cFuncDef&) = delete;
    cFuncDef& operator=(const cFuncDef&) = delete;

    // The alignment of the locals area of a frame.
    static constexpr std::int32_t kFrameAlignment = 16;

    // The size an argument takes in the argument block.
    static std::int32_t ArgumentSize(bool byReference);

    const std::string& GetName() const { return m_Name; }
    const cTypeDef* GetReturnType() const { return m_ReturnType; }
    bool ReturnsReference() const { return m_ReturnsReference; }

    // Appends an argument and gives it the next place in the argument block.
    void AddArgument(const sArgument& argument);
    const std::vector<sArgument>& GetArguments() const { return m_Arguments; }
    std::int32_t GetArgumentOffset(std::size_t index) const { return m_ArgumentOffsets[index]; }
    std::int32_t GetArgumentsSize() const { return m_ArgumentsSize; }
    // The declared text of an argument ("const int&").
    std::string DescribeArgument(std::size_t index) const;

    // Gives a local variable its place in the frame; raises "cFuncDef::AddLocal : NULL pointer to variable".
    void AddLocal(cVariable* variable);
    const std::vector<cVariable*>& GetLocals() const { return m_Locals; }
    std::int32_t GetLocalsSize() const { return m_LocalsSize; }
    // The bytes of operator temporaries the code needs.
    std::int32_t GetTempsSize() const { return m_TempsSize; }
    void SetTempsSize(std::int32_t size) { m_TempsSize = size; }

    // The code: instructions [first, end) followed by a "ret" at end; first is -1 without code.
    std::int32_t GetFirstInstruction() const { return m_First; }
    std::int32_t GetEndInstruction() const { return m_End; }
    bool HasCode() const { return m_First >= 0; }
    void SetCode(std::int32_t first, std::int32_t end) {
        m_First = first;
        m_End = end;
    }
    void ClearCode() { m_First = m_End = -1; }

    // The host side of a native function.
    bool IsNative() const { return m_Native != nullptr; }
    const cNativeFunction* GetNative() const { return m_Native.get(); }
    void SetNative(std::unique_ptr<cNativeFunction> native);

    // The scope of the arguments and locals of a script function.
    cNamespace* GetLocalScope() const { return m_LocalScope.get(); }
    void SetLocalScope(std::unique_ptr<cNamespace> scope);

    // The class of a method (null for functions).
    const cTypeDef* GetOwnerClass() const { return m_OwnerClass; }
    void SetOwnerClass(const cTypeDef* owner) { m_OwnerClass = owner; }

    // The index in the environment's function table (0: none).
    std::int32_t GetIndex() const { return m_Index; }
    void SetIndex(std::int32_t index) { m_Index = index; }

private:
    std::string m_Name;
    const cTypeDef* m_ReturnType;
    bool m_ReturnsReference;
    std::vector<sArgument> m_Arguments;
    std::vector<std::int32_t> m_ArgumentOffsets;
    std::int32_t m_ArgumentsSize = 0;
    std::vector<cVariable*> m_Locals;
    std::int32_t m_LocalsSize = 0;
    std::int32_t m_TempsSize = 0;
    std::int32_t m_First = -1;
    std::int32_t m_End = -1;
    std::unique_ptr<cNativeFunction> m_Native;
    std::unique_ptr<cNamespace> m_LocalScope;
    const cTypeDef* m_OwnerClass = nullptr;
    std::int32_t m_Index = 0;
};

} // namespace velmora::script

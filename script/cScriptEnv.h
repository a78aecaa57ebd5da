#pragma once
// The environment behind IScriptEnv: the root namespace "global" with the
// built-in types and the class "object", the 512-byte (growing) environment
// memory block, the table of every function (script and native) that
// function slots refer to, the table of types that object headers refer to,
// and the list of scripts.

#include <cstdint>
#include <memory>
#include <vector>

#include "script/IScriptEnv.h"
#include "script/cMemoryBlock.h"
#include "script/cNamespace.h"
#include "script/cRegistrator.h"

namespace velmora::script {

class cScript;
class cFuncDef;

// The first 8 bytes of an object: its type's index in the environment's type table and its size.
struct sObjectHeader {
    std::int32_t type = 0;
    std::int32_t size = 0;
};

class cScriptEnv final : public IScriptEnv {
public:
    static constexpr std::int32_t kMemorySize = 512;

    cScriptEnv();
    ~cScriptEnv() override;

    void Release() override;
    void ReleaseAllScripts() override;
    bool RegisterNamespace(const char* name) override;
    bool RegisterVariable(const char* type, const char* name, void* address) override;
    bool RegisterFunction(const char* returnType, const char* name, const char* arguments,
                          const cNativeFunction& entry) override;
    cTypeDef* RegisterClass(const char* name, std::int32_t size, const cNativeFunction* constructor,
                            const char* parent) override;
    bool RegisterClassField(cTypeDef* handle, const char* type, const char* name, std::int32_t offset) override;
    bool RegisterClassMethod(cTypeDef* handle, const char* returnType, const char* name, const char* arguments,
                             const cNativeFunction& entry) override;
    cTypeDef* RegisterEnum(const char* name) override;
    bool RegisterEnumValue(cTypeDef* handle, const char* name, std::int32_t value) override;
    IScript* CreateScript(const char* name, std::int32_t memorySize, std::int32_t stackSize = kDefaultStackSize,
                          std::int32_t maxFrames = kDefaultMaxFrames) override;

    // Called by a script that releases itself.
    void RemoveScript(cScript* script);
    const std::vector<cScript*>& GetScripts() const { return m_Scripts; }

    cNamespace& GetRoot() { return m_Root; }
    cMemoryBlock& GetMemory() { return m_Memory; }

    // The function table: indices start at 1; 0 means no function.
    std::int32_t AddFunction(cFuncDef* function);
    void RemoveFunction(std::int32_t index);
    cFuncDef* GetFunction(std::int32_t index) const {
        return (index > 0 && static_cast<std::size_t>(index) < m_Functions.size()) ? m_Functions[index] : nullptr;
    }

    // The type table: indices start at 1.
    std::int32_t AddType(cTypeDef* type);
    void RemoveType(std::int32_t index);
    const cTypeDef* GetType(std::int32_t index) const {
        return (index > 0 && static_cast<std::size_t>(index) < m_Types.size()) ? m_Types[index] : nullptr;
    }

    // Built-in types.
    const cTypeDef* GetVoidType() const { return m_Void; }
    const cTypeDef* GetBoolType() const { return m_Bool; }
    const cTypeDef* GetIntType() const { return m_Int; }
    const cTypeDef* GetFloatType() const { return m_Float; }
    const cTypeDef* GetStringType() const { return m_String; }
    const cTypeDef* GetTypeType() const { return m_Type; }
    const cTypeDef* GetFunctionType() const { return m_FunctionType; }
    const cTypeDef* GetObjectClass() const { return m_Object; }

private:
    cNamespace m_Root;
    cMemoryBlock m_Memory;
    cRegistrator m_Registrator;
    std::vector<cScript*> m_Scripts;
    std::vector<cFuncDef*> m_Functions;
    std::vector<cTypeDef*> m_Types;
    const cTypeDef* m_Void = nullptr;
    const cTypeDef* m_Bool = nullptr;
    const cTypeDef* m_Int = nullptr;
    const cTypeDef* m_Float = nullptr;
    const cTypeDef* m_String = nullptr;
    const cTypeDef* m_Type = nullptr;
    const cTypeDef* m_FunctionType = nullptr;
    const cTypeDef* m_Object = nullptr;
};

} // namespace velmora::script

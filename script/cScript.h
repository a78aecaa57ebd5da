#pragma once
// The script behind IScript (see there). It owns its root namespace (whose
// lookups continue in the environment's), its memory block, its instruction
// array with the table of host addresses that zero-based operands index, the
// message list of the last compilation, and its interpreter.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "script/IScript.h"
#include "script/cInterpreter.h"
#include "script/cMemoryBlock.h"
#include "script/cMessageList.h"
#include "script/cNamespace.h"
#include "script/cRegistrator.h"
#include "script/sInstruction.h"

namespace velmora::script {

class cScriptEnv;
class cVariable;
class cFuncDef;
class cTypeDef;

// An instruction prepared for the dispatch loop.
struct sDecodedOperand {
    std::uint32_t base = BASE_NONE;
    std::uint32_t indirect = 0;
    std::intptr_t offset = 0;
    std::intptr_t offset2 = 0;
};
struct sDecodedInstruction {
    std::uint16_t handler = 0;
    std::uint8_t post = 0;  // what to check after the instruction (loop condition, end of a frame)
    std::uint8_t size = 4;  // operand size of push, pushr, unref and reti
    std::int32_t opcode = 0;
    std::int32_t aux = 0;
    std::int32_t hasResult = 0;
    sDecodedOperand r, a, b;
};

class cScript final : public IScript {
public:
    // Raises "cScript::cScript : failed to allocate script memory, %d bytes needed".
    cScript(cScriptEnv& env, const std::string& name, std::int32_t memorySize, std::int32_t stackSize,
            std::int32_t maxFrames);
    ~cScript() override;

    void Release() override;
    bool RegisterNamespace(const char* name) override;
    bool RegisterVariable(const char* type, const char* name, void* address) override;
    bool RegisterFunction(const char* returnType, const char* name, const char* arguments,
                          const cNativeFunction& entry) override;
    bool AddFunction(const char* returnType, const char* name, const char* arguments, const char* body) override;
    cTypeDef* RegisterClass(const char* name, std::int32_t size, const cNativeFunction* constructor,
                            const char* parent) override;
    bool RegisterClassField(cTypeDef* handle, const char* type, const char* name, std::int32_t offset) override;
    bool RegisterClassMethod(cTypeDef* handle, const char* returnType, const char* name, const char* arguments,
                             const cNativeFunction& entry) override;
    cTypeDef* RegisterEnum(const char* name) override;
    bool RegisterEnumValue(cTypeDef* handle, const char* name, std::int32_t value) override;
    void* GetVariable(const char* name) override;
    const cFuncDef* GetFunction(const char* name) override;
    bool CompileFile(const char* path) override;
    bool CompileString(const char* source) override;
    sScriptValue CallFunction(const char* name, ...) override;

    const std::string& GetName() const { return m_Name; }
    cScriptEnv& GetEnv() { return m_Env; }
    cNamespace& GetRoot() { return m_Root; }
    cMemoryBlock& GetMemory() { return m_Memory; }
    // The diagnostics of the last compilation.
    const cMessageList& GetMessages() const { return m_Messages; }
    const std::vector<sInstruction>& GetInstructions() const { return m_Instructions; }

    // For the compiler and the code generator.
    std::int32_t AddInstruction(const sInstruction& instruction);
    sInstruction& GetInstruction(std::int32_t index) { return m_Instructions[static_cast<std::size_t>(index)]; }
    std::int32_t GetInstructionCount() const { return static_cast<std::int32_t>(m_Instructions.size()); }
    void TruncateInstructions(std::int32_t count);
    std::int32_t AddHostAddress(void* address);
    void AddScriptFunction(cFuncDef* function);
    // The place of a constant in script memory (equal constants share it); false when memory is full.
    bool AllocateConstant(const void* bytes, std::int32_t size, sOperand& out);
    std::int32_t NextLocalScopeId() { return ++m_LocalScopes; }

    // A variable by qualified name, in the script's namespace and then the environment's.
    cVariable* FindVariable(const std::string& name);
    // The storage of a variable that lives in script, environment or host memory; null for others.
    void* GetStorage(const cVariable& variable);
    // Writes the script's variables to the log between the banner lines.
    void DumpVariables();

    // Runs a function whose arguments the interpreter has placed at the bottom of the value stack (in
    // cScriptExecute.cpp).
    void Execute(const cFuncDef& function);

private:
    bool Compile(const char* path, const std::string* text, bool listing);
    void Decode();
    void DumpNamespace(const cNamespace& scope, const std::string& qualifier);

    cScriptEnv& m_Env;
    std::string m_Name;
    cNamespace m_Root;
    cMemoryBlock m_Memory;
    cRegistrator m_Registrator;
    cMessageList m_Messages;
    cInterpreter m_Interpreter;
    std::vector<sInstruction> m_Instructions;
    std::vector<void*> m_HostAddresses;
    std::map<void*, std::int32_t> m_HostIndex;
    std::map<std::string, std::int32_t> m_Constants;
    std::vector<cFuncDef*> m_ScriptFunctions;
    std::vector<sDecodedInstruction> m_Decoded;
    bool m_DecodedValid = false;
    std::int32_t m_LocalScopes = 0;
};

} // namespace velmora::script

#include "script/cScript.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "script/cCodeGenerator.h"
#include "script/cCodeTree.h"
#include "script/cFuncDef.h"
#include "script/cScriptCompiler.h"
#include "script/cScriptEnv.h"
#include "script/cScriptParser.h"
#include "script/cStringParser.h"
#include "script/cTypeDef.h"
#include "script/cVariable.h"

namespace velmora::script {

namespace {

cMemoryBlock MakeScriptMemory(std::int32_t size) {
    try {
        if (size < 0) {
            throw std::bad_alloc();
        }
        return cMemoryBlock(size, false);
    } catch (const std::bad_alloc&) {
        RaiseError("cScript::cScript : failed to allocate script memory, %d bytes needed", size);
    }
}

// Forgets what the environment's tables hold for a namespace tree that goes away.
void Unregister(cScriptEnv& env, const cNamespace& scope) {
    for (const cVariable* variable : scope.GetVariables()) {
        if (const cFuncDef* function = variable->GetFunction()) {
            env.RemoveFunction(function->GetIndex());
        }
    }
    for (const cTypeDef* type : scope.GetTypes()) {
        env.RemoveType(type->GetIndex());
        for (const auto& method : type->GetMethods()) {
            if (const cFuncDef* function = method->GetFunction()) {
                env.RemoveFunction(function->GetIndex());
            }
        }
    }
    for (const cNamespace* child : scope.GetNamespaces()) {
        Unregister(env, *child);
    }
}

} // namespace

cScript::cScript(cScriptEnv& env, const std::string& name, std::int32_t memorySize, std::int32_t stackSize,
                 std::int32_t maxFrames)
    : m_Env(env), m_Name(name), m_Root("global", nullptr, &env.GetRoot()), m_Memory(MakeScriptMemory(memorySize)),
      m_Registrator(env, m_Root, m_Memory, BASE_SCRIPT, false), m_Interpreter(stackSize, maxFrames) {
    m_HostAddresses.push_back(nullptr);
}

cScript::~cScript() {
    Unregister(m_Env, m_Root);
    for (const cFuncDef* function : m_ScriptFunctions) {
        m_Env.RemoveFunction(function->GetIndex());
    }
}

void cScript::Release() {
    m_Env.RemoveScript(this);
    delete this;
}

// ---------------------------------------------------------------------------------------------------------------
// Host bindings

bool cScript::RegisterNamespace(const char* name) { return m_Registrator.RegisterNamespace(name); }

bool cScript::RegisterVariable(const char* type, const char* name, void* address) {
    return m_Registrator.RegisterVariable(type, name, address);
}

bool cScript::RegisterFunction(const char* returnType, const char* name, const char* arguments,
                               const cNativeFunction& entry) {
    return m_Registrator.RegisterFunction(returnType, name, arguments, entry);
}

cTypeDef* cScript::RegisterClass(const char* name, std::int32_t size, const cNativeFunction* constructor,
                                 const char* parent) {
    return m_Registrator.RegisterClass(name, size, constructor, parent);
}

bool cScript::RegisterClassField(cTypeDef* handle, const char* type, const char* name, std::int32_t offset) {
    return m_Registrator.RegisterClassField(handle, type, name, offset);
}

bool cScript::RegisterClassMethod(cTypeDef* handle, const char* returnType, const char* name, const char* arguments,
                                  const cNativeFunction& entry) {
    return m_Registrator.RegisterClassMethod(handle, returnType, name, arguments, entry);
}

cTypeDef* cScript::RegisterEnum(const char* name) {
    return m_Registrator.RegisterEnum(name);
}

bool cScript::RegisterEnumValue(cTypeDef* handle, const char* name, std::int32_t value) {
    return m_Registrator.RegisterEnumValue(handle, name, value);
}

// ---------------------------------------------------------------------------------------------------------------
// Lookups

cVariable* cScript::FindVariable(const std::string& name) {
    const std::vector<std::string> parts = cStringParser::SplitName(name);
    if (parts.empty()) {
        return nullptr;
    }
    const cNamespace* roots[] = {&m_Root, &m_Env.GetRoot()};
    for (const cNamespace* root : roots) {
        const cNamespace* scope = root;
        for (std::size_t i = 0; scope && i + 1 < parts.size(); ++i) {
            scope = scope->FindNamespace(parts[i]);
        }
        if (scope) {
            if (cVariable* variable = scope->FindVariable(parts.back())) {
                return variable;
            }
        }
    }
    return nullptr;
}

void* cScript::GetStorage(const cVariable& variable) {
    const sOperand& location = variable.GetLocation();
    if (location.indirect) {
        return nullptr;
    }
    switch (location.base) {
    case BASE_SCRIPT: return m_Memory.GetData() + location.offset;
    case BASE_ENVIRONMENT: return m_Env.GetMemory().GetData() + location.offset;
    case BASE_ZERO: return static_cast<std::uint8_t*>(location.host) + location.offset;
    default: return nullptr;
    }
}

void* cScript::GetVariable(const char* name) {
    const cVariable* variable = FindVariable(name ? name : "");
    return variable ? GetStorage(*variable) : nullptr;
}

const cFuncDef* cScript::GetFunction(const char* name) {
    const cVariable* variable = FindVariable(name ? name : "");
    if (!variable || variable->GetType()->GetId() != TYPE_FUNCTION) {
        return nullptr;
    }
    return variable->GetFunction();
}

// ---------------------------------------------------------------------------------------------------------------
// Compilation

std::int32_t cScript::AddInstruction(const sInstruction& instruction) {
    m_Instructions.push_back(instruction);
    m_DecodedValid = false;
    return static_cast<std::int32_t>(m_Instructions.size()) - 1;
}

void cScript::TruncateInstructions(std::int32_t count) {
    if (count >= 0 && static_cast<std::size_t>(count) < m_Instructions.size()) {
        m_Instructions.resize(static_cast<std::size_t>(count));
        m_DecodedValid = false;
    }
}

std::int32_t cScript::AddHostAddress(void* address) {
    const auto it = m_HostIndex.find(address);
    if (it != m_HostIndex.end()) {
        return it->second;
    }
    const std::int32_t index = static_cast<std::int32_t>(m_HostAddresses.size());
    m_HostAddresses.push_back(address);
    m_HostIndex.emplace(address, index);
    return index;
}

void cScript::AddScriptFunction(cFuncDef* function) { m_ScriptFunctions.push_back(function); }

bool cScript::AllocateConstant(const void* bytes, std::int32_t size, sOperand& out) {
    const std::string key(static_cast<const char*>(bytes), static_cast<std::size_t>(size));
    auto it = m_Constants.find(key);
    if (it == m_Constants.end()) {
        const std::int32_t offset = m_Memory.Allocate(size, size >= 4 ? 4 : 1);
        if (offset < 0) {
            return false;
        }
        std::memcpy(m_Memory.GetData() + offset, bytes, static_cast<std::size_t>(size));
        it = m_Constants.emplace(key, offset).first;
    }
    out = sOperand();
    out.base = BASE_SCRIPT;
    out.offset = it->second;
    return true;
}

bool cScript::Compile(const char* path, const std::string* text, bool listing) {
    if (m_Interpreter.IsRunning()) {
        RaiseError("cScript::Compile : script '%s' is running", m_Name.c_str());
    }
    m_Messages.Clear();
    const std::int32_t first = GetInstructionCount();
    try {
        cCodeTree<cSyntaxNode> syntax;
        cScriptParser parser(syntax, m_Messages,
                             [this](const std::string& type) { return m_Root.LookupType(type) != nullptr; });
        const cSyntaxNode* root = path ? parser.ParseFile(path) : parser.ParseString(*text);
        if (!m_Messages.HasErrors()) {
            cCodeTree<cCodeNode> code;
            cScriptCompiler compiler(*this, m_Messages, code);
            cCodeNode* program = compiler.CompileScript(root);
            if (!m_Messages.HasErrors()) {
                cCodeGenerator generator(*this, m_Messages);
                generator.GenerateCode(program, compiler.GetFunctions());
            } else {
                for (cFuncDef* function : compiler.GetFunctions()) {
                    function->ClearCode();
                }
            }
        }
    } catch (...) {
        m_DecodedValid = false;
        m_Messages.Sort();
        m_Messages.Print();
        throw;
    }
    m_DecodedValid = false;
    m_Messages.Sort();
    m_Messages.Print();
    if (m_Messages.HasErrors()) {
        return false;
    }
    if (listing) {
        for (std::int32_t i = first; i < GetInstructionCount(); ++i) {
            const sInstruction& instruction = m_Instructions[static_cast<std::size_t>(i)];
            LogMessage("%s : %d, %d\n", GetOpcodeName(instruction.opcode), instruction.offsetA, instruction.offsetB);
        }
    }
    LogMessage("'%s' : %d bytes used\n", m_Name.c_str(), m_Memory.GetUsed());
    return true;
}

bool cScript::CompileFile(const char* path) { return Compile(path ? path : "", nullptr, true); }

bool cScript::CompileString(const char* source) {
    const std::string text = source ? source : "";
    return Compile(nullptr, &text, false);
}

bool cScript::AddFunction(const char* returnType, const char* name, const char* arguments, const char* body) {
    const std::vector<std::string> parts = cStringParser::SplitName(name ? name : "");
    std::string source;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        source += "namespace " + parts[i] + "{ ";
    }
    source += std::string(returnType ? returnType : "") + " " + (parts.empty() ? std::string() : parts.back()) + "(" +
              (arguments ? arguments : "") + ")" + (body ? body : "");
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        source += "}";
    }
    return CompileString(source.c_str());
}

// ---------------------------------------------------------------------------------------------------------------
// Running

sScriptValue cScript::CallFunction(const char* name, ...) {
    va_list arguments;
    va_start(arguments, name);
    sScriptValue value;
    try {
        const cVariable* variable = FindVariable(name ? name : "");
        if (!variable || variable->GetType()->GetId() != TYPE_FUNCTION) {
            RaiseError("cScript::CallFunction : function '%s' not found", name ? name : "");
        }
        value = m_Interpreter.CallFunction(*this, variable->GetFunction(), arguments);
    } catch (...) {
        va_end(arguments);
        throw;
    }
    va_end(arguments);
    DumpVariables();
    return value;
}

void cScript::DumpNamespace(const cNamespace& scope, const std::string& qualifier) {
    for (const cVariable* variable : scope.GetVariables()) {
        LogMessage("%s\n", cNamespace::PrintVariableInfo(*variable, GetStorage(*variable), qualifier).c_str());
    }
    for (const cNamespace* child : scope.GetNamespaces()) {
        DumpNamespace(*child, qualifier + child->GetName() + "::");
    }
}

void cScript::DumpVariables() {
    LogMessage("+------------- Variables -------------+\n");
    DumpNamespace(m_Root, "");
    LogMessage("+-------------------------------------+\n");
}

} // namespace velmora::script

#include "script/cScriptEnv.h"

#include <cstdio>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/core/cFunctor.h"
#include "script/NativeBinding.h"
#include "script/cScript.h"
#include "script/cTypeDef.h"
#include "script/sScriptString.h"

namespace velmora::script {

namespace {

const sScriptString& UnknownTypeName() {
    static const sScriptString name = [] {
        sScriptString text;
        text.Set("unknown");
        return text;
    }();
    return name;
}

} // namespace

cScriptEnv::cScriptEnv()
    : m_Root("global", nullptr), m_Memory(kMemorySize, true),
      m_Registrator(*this, m_Root, m_Memory, BASE_ENVIRONMENT, true) {
    m_Functions.push_back(nullptr);
    m_Types.push_back(nullptr);
    struct sBuiltin {
        const char* name;
        std::int32_t id;
        std::int32_t size;
        const cTypeDef** out;
    };
    const sBuiltin builtins[] = {{"void", TYPE_VOID, 0, &m_Void},          {"bool", TYPE_BOOL, 1, &m_Bool},
                                 {"int", TYPE_INT, 4, &m_Int},             {"float", TYPE_FLOAT, 4, &m_Float},
                                 {"string", TYPE_STRING, 28, &m_String},   {"function", TYPE_FUNCTION, 4, &m_FunctionType},
                                 {"type", TYPE_TYPE, 4, &m_Type}};
    for (const sBuiltin& builtin : builtins) {
        cTypeDef* type =
            m_Root.AddType(std::make_unique<cTypeDef>(builtin.name, builtin.id, builtin.size, eTypeKind::Builtin));
        AddType(type);
        *builtin.out = type;
    }

    cTypeDef* object = m_Registrator.RegisterClass("object", 8, nullptr, nullptr);
    m_Object = object;
    m_Registrator.RegisterClassField(object, "const int", "size", 4);
    const cFunctor<const sScriptString&, tTypeList<sObjectHeader*>> getTypeName =
        [this](sObjectHeader* self) -> const sScriptString& {
        const cTypeDef* type = GetType(self->type);
        const sScriptString& name = type ? type->GetNameString() : UnknownTypeName();
        std::printf("cObject::GetTypeName : %.*s\n", static_cast<int>(name.Length()), name.text);
        return name;
    };
    const cFunctor<std::int32_t&, tTypeList<sObjectHeader*>> getTypeSize = [](sObjectHeader* self) -> std::int32_t& {
        std::printf("cObject::GetTypeSize : %d\n", self->size);
        return self->size;
    };
    m_Registrator.RegisterClassMethod(object, "const string&", "GetTypeName", "", NativeMethod(getTypeName));
    m_Registrator.RegisterClassMethod(object, "int&", "GetTypeSize", "", NativeMethod(getTypeSize));
}

cScriptEnv::~cScriptEnv() { ReleaseAllScripts(); }

void cScriptEnv::Release() { delete this; }

void cScriptEnv::ReleaseAllScripts() {
    std::vector<cScript*> scripts;
    scripts.swap(m_Scripts);
    for (cScript* script : scripts) {
        delete script;
    }
}

void cScriptEnv::RemoveScript(cScript* script) {
    for (auto it = m_Scripts.begin(); it != m_Scripts.end(); ++it) {
        if (*it == script) {
            m_Scripts.erase(it);
            return;
        }
    }
}

bool cScriptEnv::RegisterNamespace(const char* name) { return m_Registrator.RegisterNamespace(name); }

bool cScriptEnv::RegisterVariable(const char* type, const char* name, void* address) {
    return m_Registrator.RegisterVariable(type, name, address);
}

bool cScriptEnv::RegisterFunction(const char* returnType, const char* name, const char* arguments,
                                  const cNativeFunction& entry) {
    return m_Registrator.RegisterFunction(returnType, name, arguments, entry);
}

cTypeDef* cScriptEnv::RegisterClass(const char* name, std::int32_t size, const cNativeFunction* constructor,
                                    const char* parent) {
    return m_Registrator.RegisterClass(name, size, constructor, parent);
}

bool cScriptEnv::RegisterClassField(cTypeDef* handle, const char* type, const char* name, std::int32_t offset) {
    return m_Registrator.RegisterClassField(handle, type, name, offset);
}

bool cScriptEnv::RegisterClassMethod(cTypeDef* handle, const char* returnType, const char* name,
                                     const char* arguments, const cNativeFunction& entry) {
    return m_Registrator.RegisterClassMethod(handle, returnType, name, arguments, entry);
}

cTypeDef* cScriptEnv::RegisterEnum(const char* name) { return m_Registrator.RegisterEnum(name); }

bool cScriptEnv::RegisterEnumValue(cTypeDef* handle, const char* name, std::int32_t value) {
    return m_Registrator.RegisterEnumValue(handle, name, value);
}

IScript* cScriptEnv::CreateScript(const char* name, std::int32_t memorySize, std::int32_t stackSize,
                                  std::int32_t maxFrames) {
    const char* shown = name ? name : "";
    LogMessage("Creating script '%s'... ", shown);
    cScript* script = nullptr;
    try {
        if (stackSize < 0 || maxFrames < 1) {
            throw std::bad_alloc();
        }
        script = new cScript(*this, shown, memorySize, stackSize, maxFrames);
        m_Scripts.push_back(script);
    } catch (const cException&) {
        delete script;
        LogWarning("failed to allocate memory\n");
        return nullptr;
    } catch (const std::bad_alloc&) {
        delete script;
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    LogMessage("succeeded\n");
    return script;
}

std::int32_t cScriptEnv::AddFunction(cFuncDef* function) {
    m_Functions.push_back(function);
    return static_cast<std::int32_t>(m_Functions.size()) - 1;
}

void cScriptEnv::RemoveFunction(std::int32_t index) {
    if (index > 0 && static_cast<std::size_t>(index) < m_Functions.size()) {
        m_Functions[static_cast<std::size_t>(index)] = nullptr;
    }
}

std::int32_t cScriptEnv::AddType(cTypeDef* type) {
    if (!type) {
        return 0;
    }
    m_Types.push_back(type);
    const std::int32_t index = static_cast<std::int32_t>(m_Types.size()) - 1;
    type->SetIndex(index);
    return index;
}

void cScriptEnv::RemoveType(std::int32_t index) {
    if (index > 0 && static_cast<std::size_t>(index) < m_Types.size()) {
        m_Types[static_cast<std::size_t>(index)] = nullptr;
    }
}

} // namespace velmora::script

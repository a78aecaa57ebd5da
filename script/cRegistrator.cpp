#include "script/cRegistrator.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "script/cFuncDef.h"
#include "script/cNamespace.h"
#include "script/cNativeFunction.h"
#include "script/cScriptEnv.h"
#include "script/cScriptParser.h"
#include "script/cStringParser.h"
#include "script/cTypeDef.h"
#include "script/cVariable.h"

namespace velmora::script {

namespace {

const char* Text(const char* text) { return text ? text : ""; }

// How a value of a declared type travels to native code; false for values that must go by reference.
bool KindOf(const cTypeDef* type, bool byReference, eNativeKind& kind) {
    if (byReference) {
        kind = eNativeKind::Reference;
        return true;
    }
    switch (type->GetId()) {
    case TYPE_VOID: kind = eNativeKind::Void; return true;
    case TYPE_BOOL: kind = eNativeKind::Bool; return true;
    case TYPE_INT:
    case TYPE_ENUM:
    case TYPE_TYPE:
    case TYPE_FUNCTION: kind = eNativeKind::Int; return true;
    case TYPE_FLOAT: kind = eNativeKind::Float; return true;
    default: return false;
    }
}

} // namespace

cRegistrator::cRegistrator(cScriptEnv& env, cNamespace& root, cMemoryBlock& memory, std::uint32_t memoryBase,
                           bool environment)
    : m_Env(env), m_Root(root), m_Memory(memory), m_MemoryBase(memoryBase), m_Environment(environment) {}

bool cRegistrator::RegisterNamespace(const char* name) {
    std::string last;
    cNamespace* parent = cStringParser::CreateNamespace(&m_Root, Text(name), last);
    if (!cScriptParser::IsValidName(last) || !parent->AddNamespace(last)) {
        RaiseError("cStringParser::CreateNamespace : failed to create namespace '%s::%s'", parent->GetName().c_str(),
                   last.c_str());
    }
    return true;
}

bool cRegistrator::RegisterVariable(const char* type, const char* name, void* address) {
    if (!address) {
        RaiseError("cRegistrator::RegisterVariable( %s ) : NULL pointer to variable", Text(name));
    }
    sTypeText text;
    if (!cStringParser::ParseType(&m_Root, Text(type), text) || text.type->GetId() == TYPE_VOID ||
        text.type->GetId() == TYPE_UNKNOWN) {
        RaiseError("cRegistrator::RegisterVariable( %s ) : '%s' isn't a valid type", Text(name), Text(type));
    }
    std::string last;
    cNamespace* scope = cStringParser::CreateNamespace(&m_Root, Text(name), last);
    if (!cScriptParser::IsValidName(last)) {
        RaiseError("cRegistrator::RegisterVariable( %s ) : '%s' isn't a valid name", Text(name), last.c_str());
    }
    std::uint32_t flags = VAR_HOST | (m_Environment ? VAR_ENVIRONMENT : 0);
    flags |= text.isConst ? VAR_CONST : 0;
    flags |= text.isReference ? VAR_REFERENCE : 0;
    auto variable = std::make_unique<cVariable>(last, text.type, flags);
    sOperand location;
    location.base = BASE_ZERO;
    location.host = address;
    variable->SetLocation(location);
    if (!scope->AddVariable(std::move(variable))) {
        RaiseError("cRegistrator::RegisterVariable( %s ) : redefinition of '%s'", Text(name), last.c_str());
    }
    return true;
}

bool cRegistrator::RegisterFunction(const char*, const char* name, const char*, const cNativeFunction&) {
    LogWarning("cRegistrator::RegisterFunction( %s ) : not implemented yet\n", Text(name));
    return false;
}

cTypeDef* cRegistrator::RegisterClass(const char* name, std::int32_t size, const cNativeFunction* constructor,
                                      const char* parent) {
    std::string last;
    cNamespace* scope = cStringParser::CreateNamespace(&m_Root, Text(name), last);
    if (scope->HasSymbol(last)) {
        RaiseError("cRegistrator::RegisterClass : redefinition of '%s'", Text(name));
    }
    if (!cScriptParser::IsValidName(last)) {
        RaiseError("cRegistrator::RegisterClass : '%s' isn't a valid name", Text(name));
    }
    if (size < 0) {
        RaiseError("cRegistrator::RegisterClass : invalid size %d of '%s'", size, Text(name));
    }
    const cTypeDef* base = nullptr;
    if (parent && *parent) {
        sTypeText text;
        const bool known = cStringParser::ParseType(&m_Root, parent, text);
        if (text.isConst || text.isReference) {
            RaiseError("cRegistrator::RegisterClass : invalid parent type '%s'", parent);
        }
        if (!known) {
            RaiseError("cRegistrator::RegisterClass : '%s' isn't a valid type", parent);
        }
        if (!text.type->IsClass()) {
            RaiseError("cRegistrator::RegisterClass : '%s' isn't a valid type for inheritance", parent);
        }
        if (text.type->GetSize() > size) {
            RaiseError("cRegistrator::RegisterClass : '%s' is smaller than its parent '%s'", Text(name), parent);
        }
        base = text.type;
    }
    cTypeDef* type = scope->AddType(std::make_unique<cTypeDef>(last, TYPE_CLASS, size, eTypeKind::Class, base));
    m_Env.AddType(type);
    if (constructor) {
        RegisterClassMethod(type, "void", last.c_str(), "", *constructor);
    }
    return type;
}

bool cRegistrator::RegisterClassField(cTypeDef* handle, const char* type, const char* name, std::int32_t offset) {
    if (!handle) {
        RaiseError("cRegistrator::RegisterClassField : invalid class handle, field '%s'", Text(name));
    }
    if (!handle->IsClass()) {
        RaiseError("cRegistrator::RegisterClassField : '%s' isn't an object", handle->GetName().c_str());
    }
    if (handle->FindField(Text(name)) || handle->FindMethod(Text(name))) {
        RaiseError("cRegistrator::RegisterClassField : redefinition of class member '%s::%s'",
                   handle->GetName().c_str(), Text(name));
    }
    if (!cScriptParser::IsValidName(Text(name))) {
        RaiseError("cRegistrator::RegisterClassField : '%s' isn't a valid name", Text(name));
    }
    sTypeText text;
    if (!cStringParser::ParseType(&m_Root, Text(type), text) || text.isReference ||
        text.type->GetId() == TYPE_VOID || text.type->GetId() == TYPE_UNKNOWN) {
        RaiseError("cRegistrator::RegisterClassField : '%s' isn't a valid type", Text(type));
    }
    // A field outside the object would let scripts write past the objects they own.
    if (offset < 0 || static_cast<std::int64_t>(offset) + text.type->GetSize() > handle->GetSize()) {
        RaiseError("cRegistrator::RegisterClassField : field '%s::%s' lies outside the class",
                   handle->GetName().c_str(), Text(name));
    }
    handle->AddField(Text(name), text.type, text.isConst, offset);
    return true;
}

bool cRegistrator::RegisterClassMethod(cTypeDef* handle, const char* returnType, const char* name,
                                       const char* arguments, const cNativeFunction& entry) {
    if (!handle) {
        RaiseError("cRegistrator::RegisterClassMethod : invalid class handle, method '%s'", Text(name));
    }
    if (!handle->IsClass()) {
        RaiseError("cRegistrator::RegisterClassMethod : '%s' isn't an object", handle->GetName().c_str());
    }
    if (handle->HasOwnMember(Text(name)) || handle->FindField(Text(name))) {
        RaiseError("cRegistrator::RegisterClassMethod : redefinition of class member '%s::%s'",
                   handle->GetName().c_str(), Text(name));
    }
    if (!cScriptParser::IsValidName(Text(name))) {
        RaiseError("cRegistrator::RegisterClassMethod : '%s' isn't a valid name", Text(name));
    }
    sTypeText result;
    if (!cStringParser::ParseType(&m_Root, Text(returnType), result)) {
        RaiseError("cRegistrator::RegisterClassMethod : '%s' isn't a valid type", Text(returnType));
    }
    std::vector<sArgument> list;
    cStringParser::ParseArguments(&m_Root, Text(arguments), list);

    // The declaration and the binding must agree, or the trampoline would read the wrong bytes.
    eNativeKind resultKind = eNativeKind::Void;
    if (!KindOf(result.type, result.isReference, resultKind) ||
        (result.isReference && result.type->GetId() == TYPE_VOID)) {
        RaiseError("cRegistrator::RegisterClassMethod : '%s' can't be returned by value", Text(returnType));
    }
    std::vector<eNativeKind> kinds;
    for (const sArgument& argument : list) {
        eNativeKind kind = eNativeKind::Void;
        if (!KindOf(argument.type, argument.byReference, kind) || kind == eNativeKind::Void) {
            RaiseError("cRegistrator::RegisterClassMethod : argument '%s' of '%s::%s' must be passed by reference",
                       argument.name.c_str(), handle->GetName().c_str(), Text(name));
        }
        kinds.push_back(kind);
    }
    if (kinds != entry.GetArgumentKinds() || resultKind != entry.GetResultKind()) {
        RaiseError("cRegistrator::RegisterClassMethod : the native binding of '%s::%s' doesn't match its declaration",
                   handle->GetName().c_str(), Text(name));
    }

    auto function = std::make_unique<cFuncDef>(Text(name), result.type, result.isReference);
    for (const sArgument& argument : list) {
        function->AddArgument(argument);
    }
    function->SetNative(std::unique_ptr<cNativeFunction>(entry.Clone()));
    function->SetOwnerClass(handle);

    const std::int32_t slot = m_Memory.Allocate(4, 4);
    if (slot < 0) {
        RaiseError("cRegistrator::RegisterClassMethod : out of script memory for '%s::%s'", handle->GetName().c_str(),
                   Text(name));
    }
    const std::int32_t index = m_Env.AddFunction(function.get());
    function->SetIndex(index);
    std::memcpy(m_Memory.GetData() + slot, &index, 4);

    auto method = std::make_unique<cVariable>(Text(name), m_Env.GetFunctionType(),
                                              VAR_MEMBER | VAR_CONST | (m_Environment ? VAR_ENVIRONMENT : 0));
    sOperand location;
    location.base = m_MemoryBase;
    location.offset = slot;
    method->SetLocation(location);
    method->SetFunction(std::move(function));
    handle->AddMethod(std::move(method));
    return true;
}

cTypeDef* cRegistrator::RegisterEnum(const char* name) {
    std::string last;
    cNamespace* scope = cStringParser::CreateNamespace(&m_Root, Text(name), last);
    if (scope->HasSymbol(last)) {
        RaiseError("cRegistrator::RegisterEnum : redefinition of '%s'", Text(name));
    }
    if (!cScriptParser::IsValidName(last)) {
        RaiseError("cRegistrator::RegisterEnum : '%s' isn't a valid name", Text(name));
    }
    cTypeDef* type = scope->AddType(std::make_unique<cTypeDef>(last, TYPE_ENUM, 4, eTypeKind::Enum));
    m_Env.AddType(type);
    return type;
}

bool cRegistrator::RegisterEnumValue(cTypeDef*, const char* name, std::int32_t) {
    LogWarning("cRegistrator::RegisterEnumValue( %s ) : not implemented yet\n", Text(name));
    return false;
}

} // namespace velmora::script

#include "script/cNamespace.h"

#include <cstdio>
#include <cstring>

#include "script/cTypeDef.h"
#include "script/cVariable.h"
#include "script/sScriptString.h"

namespace velmora::script {

namespace {

std::vector<std::string> SplitQualified(const std::string& name) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = name.find("::", start);
        parts.push_back(name.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) {
            return parts;
        }
        start = at + 2;
    }
}

} // namespace

cNamespace::cNamespace(const std::string& name, cNamespace* parent, const cNamespace* lookupParent)
    : m_Name(name), m_Parent(parent), m_LookupParent(lookupParent ? lookupParent : parent) {}

cNamespace::~cNamespace() = default;

cNamespace* cNamespace::FindNamespace(const std::string& name) const {
    const auto it = m_Namespaces.find(name);
    return it == m_Namespaces.end() ? nullptr : it->second.get();
}

cNamespace* cNamespace::AddNamespace(const std::string& name) {
    if (cNamespace* existing = FindNamespace(name)) {
        return existing;
    }
    if (name.empty() || HasSymbol(name)) {
        return nullptr;
    }
    auto child = std::make_unique<cNamespace>(name, this);
    cNamespace* out = child.get();
    m_Namespaces.emplace(name, std::move(child));
    m_NamespaceOrder.push_back(out);
    return out;
}

cTypeDef* cNamespace::FindType(const std::string& name) const {
    const auto it = m_Types.find(name);
    return it == m_Types.end() ? nullptr : it->second.get();
}

cTypeDef* cNamespace::AddType(std::unique_ptr<cTypeDef> type) {
    if (!type || HasSymbol(type->GetName())) {
        return nullptr;
    }
    cTypeDef* out = type.get();
    m_Types.emplace(type->GetName(), std::move(type));
    m_TypeOrder.push_back(out);
    return out;
}

cVariable* cNamespace::FindVariable(const std::string& name) const {
    const auto it = m_Variables.find(name);
    return it == m_Variables.end() ? nullptr : it->second.get();
}

cVariable* cNamespace::AddVariable(std::unique_ptr<cVariable> variable) {
    if (!variable || HasSymbol(variable->GetName())) {
        return nullptr;
    }
    cVariable* out = variable.get();
    m_Variables.emplace(variable->GetName(), std::move(variable));
    m_VariableOrder.push_back(out);
    return out;
}

bool cNamespace::HasSymbol(const std::string& name) const {
    return m_Types.count(name) || m_Variables.count(name) || m_Namespaces.count(name);
}

cTypeDef* cNamespace::LookupType(const std::string& name) const {
    const std::vector<std::string> parts = SplitQualified(name);
    for (const cNamespace* scope = this; scope; scope = scope->m_LookupParent) {
        const cNamespace* at = scope;
        for (std::size_t i = 0; at && i + 1 < parts.size(); ++i) {
            at = at->FindNamespace(parts[i]);
        }
        if (at) {
            if (cTypeDef* type = at->FindType(parts.back())) {
                return type;
            }
        }
    }
    return nullptr;
}

cVariable* cNamespace::LookupVariable(const std::string& name) const {
    for (const cNamespace* scope = this; scope; scope = scope->m_LookupParent) {
        if (cVariable* variable = scope->FindVariable(name)) {
            return variable;
        }
    }
    return nullptr;
}

cNamespace* cNamespace::LookupNamespace(const std::string& name) const {
    for (const cNamespace* scope = this; scope; scope = scope->m_LookupParent) {
        if (cNamespace* child = scope->FindNamespace(name)) {
            return child;
        }
    }
    return nullptr;
}

void cNamespace::AddOperator(const sOperator& op) { m_Operators.push_back(op); }

std::vector<const sOperator*> cNamespace::FindOperators(const std::string& symbol) const {
    std::vector<const sOperator*> out;
    for (const sOperator& op : m_Operators) {
        if (op.symbol == symbol) {
            out.push_back(&op);
        }
    }
    return out;
}

std::string cNamespace::PrintVariableInfo(const cVariable& variable, const void* storage,
                                          const std::string& qualifier) {
    const cTypeDef* type = variable.GetType();
    char head[1024];
    std::snprintf(head, sizeof(head), "%s%s%s %s%s", variable.Has(VAR_CONST) ? "const " : "",
                  type ? type->GetName().c_str() : "unknown", variable.Has(VAR_REFERENCE) ? "&" : "",
                  qualifier.c_str(), variable.GetName().c_str());
    if (!storage || !type) {
        return std::string(head) + " = ?";
    }
    const auto* bytes = static_cast<const std::uint8_t*>(storage);
    char value[64];
    switch (type->GetId()) {
    case TYPE_BOOL: std::snprintf(value, sizeof(value), "= %s", bytes[0] ? "true" : "false"); break;
    case TYPE_INT:
    case TYPE_ENUM: {
        std::int32_t v = 0;
        std::memcpy(&v, bytes, 4);
        std::snprintf(value, sizeof(value), "= %d", v);
        break;
    }
    case TYPE_FLOAT: {
        float v = 0.0f;
        std::memcpy(&v, bytes, 4);
        std::snprintf(value, sizeof(value), "= %2.4f", static_cast<double>(v));
        break;
    }
    case TYPE_STRING: {
        const auto* text = static_cast<const sScriptString*>(storage);
        return std::string(head) + " = '" + std::string(text->text, text->Length()) + "'";
    }
    default: {
        std::uint32_t v = 0;
        const std::int32_t size = type->GetSize();
        std::memcpy(&v, bytes, size >= 4 ? 4 : (size > 0 ? static_cast<std::size_t>(size) : 0));
        std::snprintf(value, sizeof(value), "= 0x%x", v);
        break;
    }
    }
    return std::string(head) + " " + value;
}

} // namespace velmora::script

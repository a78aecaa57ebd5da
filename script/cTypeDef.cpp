#include "script/cTypeDef.h"

#include <cstddef>

#include "engine/core/cException.h"
#include "script/cVariable.h"

namespace velmora::script {

cTypeDef::cTypeDef(const std::string& name, std::int32_t id, std::int32_t size, eTypeKind kind,
                   const cTypeDef* parent)
    : m_Name(name), m_Id(id), m_Size(size), m_Kind(kind), m_Parent(parent) {
    m_NameString.Set(name.c_str());
}

cTypeDef::~cTypeDef() = default;

std::int32_t cTypeDef::GetAlignment() const {
    if (m_Kind == eTypeKind::Class) {
        return static_cast<std::int32_t>(alignof(std::max_align_t));
    }
    return m_Size >= 4 ? 4 : 1;
}

bool cTypeDef::IsInheritedFrom(const cTypeDef* base) const {
    for (const cTypeDef* type = this; type; type = type->m_Parent) {
        if (type == base) {
            return true;
        }
    }
    return false;
}

bool cTypeDef::HasOwnMember(const std::string& name) const {
    for (const sClassField& field : m_Fields) {
        if (field.name == name) {
            return true;
        }
    }
    for (const auto& method : m_Methods) {
        if (method->GetName() == name) {
            return true;
        }
    }
    return false;
}

void cTypeDef::AddField(const std::string& name, const cTypeDef* type, bool isConst, std::int32_t offset) {
    if (HasOwnMember(name)) {
        RaiseError("cTypeDef::AddField : failed to add class field");
    }
    m_Fields.push_back({name, type, isConst, offset});
}

cVariable* cTypeDef::AddMethod(std::unique_ptr<cVariable> method) {
    if (!method || HasOwnMember(method->GetName())) {
        RaiseError("cTypeDef::AddMethod : failed to add class method");
    }
    m_Methods.push_back(std::move(method));
    return m_Methods.back().get();
}

const sClassField* cTypeDef::FindField(const std::string& name) const {
    for (const cTypeDef* type = this; type; type = type->m_Parent) {
        for (const sClassField& field : type->m_Fields) {
            if (field.name == name) {
                return &field;
            }
        }
    }
    return nullptr;
}

cVariable* cTypeDef::FindMethod(const std::string& name) const {
    for (const cTypeDef* type = this; type; type = type->m_Parent) {
        for (const auto& method : type->m_Methods) {
            if (method->GetName() == name) {
                return method.get();
            }
        }
    }
    return nullptr;
}

} // namespace velmora::script

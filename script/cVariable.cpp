#include "script/cVariable.h"

#include <algorithm>
#include <cstring>

#include "script/cFuncDef.h"

namespace velmora::script {

cVariable::cVariable(const std::string& name, const cTypeDef* type, std::uint32_t flags)
    : m_Name(name), m_Type(type), m_Flags(flags) {}

cVariable::~cVariable() = default;

void cVariable::SetFunction(std::unique_ptr<cFuncDef> function) { m_Function = std::move(function); }

void cVariable::SetValue(const void* bytes, std::size_t size) {
    std::memset(m_Value, 0, sizeof(m_Value));
    std::memcpy(m_Value, bytes, std::min(size, sizeof(m_Value)));
    m_HasValue = true;
}

} // namespace velmora::script

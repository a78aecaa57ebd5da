#include "script/cFuncDef.h"

#include <cstddef>

#include "engine/core/cException.h"
#include "script/cNamespace.h"
#include "script/cNativeFunction.h"
#include "script/cTypeDef.h"
#include "script/cVariable.h"

namespace velmora::script {

static_assert(cFuncDef::kFrameAlignment >= alignof(std::max_align_t), "frames hold objects of any type");

cFuncDef::cFuncDef(const std::string& name, const cTypeDef* returnType, bool returnsReference)
    : m_Name(name), m_ReturnType(returnType), m_ReturnsReference(returnsReference) {}

cFuncDef::~cFuncDef() = default;

std::int32_t cFuncDef::ArgumentSize(bool byReference) {
    return byReference ? static_cast<std::int32_t>(sizeof(void*)) : 4;
}

void cFuncDef::AddArgument(const sArgument& argument) {
    m_Arguments.push_back(argument);
    m_ArgumentOffsets.push_back(m_ArgumentsSize);
    m_ArgumentsSize += ArgumentSize(argument.byReference);
}

std::string cFuncDef::DescribeArgument(std::size_t index) const {
    const sArgument& argument = m_Arguments[index];
    std::string text = argument.isConst ? "const " : "";
    text += argument.type ? argument.type->GetName() : "unknown";
    if (argument.byReference) {
        text += "&";
    }
    return text;
}

void cFuncDef::AddLocal(cVariable* variable) {
    if (!variable) {
        RaiseError("cFuncDef::AddLocal : NULL pointer to variable");
    }
    const cTypeDef* type = variable->GetType();
    const std::int32_t size = type ? type->GetSize() : 0;
    // Locals are at least 4-byte aligned; the locals area itself starts at kFrameAlignment.
    const std::int32_t alignment = type ? (type->GetAlignment() > 4 ? type->GetAlignment() : 4) : 4;
    sOperand location;
    location.base = BASE_LOCALS;
    location.offset = cTypeDef::Align(m_LocalsSize, alignment);
    variable->SetLocation(location);
    variable->AddFlags(VAR_LOCAL);
    m_Locals.push_back(variable);
    m_LocalsSize = cTypeDef::Align(location.offset + size, 4);
}

void cFuncDef::SetNative(std::unique_ptr<cNativeFunction> native) { m_Native = std::move(native); }

void cFuncDef::SetLocalScope(std::unique_ptr<cNamespace> scope) { m_LocalScope = std::move(scope); }

} // namespace velmora::script

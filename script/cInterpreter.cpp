#include "script/cInterpreter.h"

#include <cstring>

#include "engine/core/cException.h"
#include "script/cFuncDef.h"
#include "script/cScript.h"
#include "script/cTypeDef.h"

namespace velmora::script {

namespace {

// Marks the interpreter busy for the length of one call from the host.
class cRunningGuard {
public:
    explicit cRunningGuard(bool& running) : m_Running(running) { m_Running = true; }
    ~cRunningGuard() { m_Running = false; }
    cRunningGuard(const cRunningGuard&) = delete;
    cRunningGuard& operator=(const cRunningGuard&) = delete;

private:
    bool& m_Running;
};

} // namespace

cInterpreter::cInterpreter(std::int32_t stackSize, std::int32_t maxFrames)
    : m_Stack(static_cast<std::size_t>(stackSize > 0 ? stackSize : 0) + 16, 0),
      m_StackSize(stackSize > 0 ? stackSize : 0),
      m_Frames(static_cast<std::size_t>(maxFrames > 1 ? maxFrames : 1)) {}

sScriptValue cInterpreter::CallFunction(cScript& script, const cFuncDef* function, va_list arguments) {
    if (!function) {
        RaiseError("cInterpreter::CallFunction : NULL pointer to function");
    }
    return ExecuteFunction(script, *function, arguments);
}

sScriptValue cInterpreter::ExecuteFunction(cScript& script, const cFuncDef& function, va_list arguments) {
    if (m_Running) {
        RaiseError("cInterpreter::ExecuteFunction : script '%s' is already running", script.GetName().c_str());
    }
    if (function.GetArgumentsSize() > m_StackSize) {
        RaiseError("cScript::Execute : value stack overflow");
    }
    const std::vector<sArgument>& list = function.GetArguments();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const sArgument& argument = list[i];
        std::uint8_t* at = m_Stack.data() + function.GetArgumentOffset(i);
        const std::int32_t id = argument.type ? argument.type->GetId() : TYPE_UNKNOWN;
        if (!argument.byReference && id == TYPE_BOOL) {
            std::memset(at, 0, 4);
            at[0] = va_arg(arguments, int) != 0 ? 1 : 0;
        } else if (!argument.byReference && id == TYPE_INT) {
            const std::int32_t value = va_arg(arguments, int);
            std::memcpy(at, &value, 4);
        } else if (!argument.byReference && id == TYPE_FLOAT) {
            const float value = static_cast<float>(va_arg(arguments, double));
            std::memcpy(at, &value, 4);
        } else {
            RaiseError("cInterpreter::ExecuteFunction : unhandled argument type '%s'",
                       function.DescribeArgument(i).c_str());
        }
    }
    cRunningGuard guard(m_Running);
    std::memset(m_Result, 0, sizeof(m_Result));
    script.Execute(function);
    sScriptValue value;
    std::memcpy(&value.bits, m_Result, 4);
    return value;
}

} // namespace velmora::script

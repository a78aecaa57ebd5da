#pragma once
// The run-time stacks of one script and the entry from the host: the value
// stack (arguments pushed by callers, then each function's locals and
// operator temporaries) and the frame stack (loop and function frames), plus
// the 8-byte slot of the last call's result. cScript::Execute runs the
// instructions on them.

#include <cstdarg>
#include <cstdint>
#include <vector>

#include "script/IScript.h"

namespace velmora::script {

class cScript;
class cFuncDef;

// A frame: the start, end and condition indices, the kind (0 a loop frame, non-zero a function frame) and
// the current index (for the frame below the top: where execution resumes). Function frames also keep where
// their arguments begin and the caller's bases.
struct sFrame {
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::int32_t cond = -1;
    std::uint8_t kind = 0;
    std::int32_t current = 0;
    std::uint8_t* arguments = nullptr;
    std::uint8_t* savedFloor = nullptr;
    std::uintptr_t savedArguments = 0;
    std::uintptr_t savedLocals = 0;
    std::uintptr_t savedTemps = 0;
};

class cInterpreter {
public:
    // Raises std::bad_alloc when the stacks cannot be had.
    cInterpreter(std::int32_t stackSize, std::int32_t maxFrames);

    // Checks the function, then runs it; raises "cInterpreter::CallFunction : NULL pointer to function".
    sScriptValue CallFunction(cScript& script, const cFuncDef* function, va_list arguments);
    // Places the arguments ("bool" from an int, "int", "float" from a double; anything else raises
    // "cInterpreter::ExecuteFunction : unhandled argument type '%s'") and runs the function to its return.
    sScriptValue ExecuteFunction(cScript& script, const cFuncDef& function, va_list arguments);

    bool IsRunning() const { return m_Running; }
    std::uint8_t* GetStackBegin() { return m_Stack.data(); }
    std::uint8_t* GetStackEnd() { return m_Stack.data() + m_StackSize; }
    sFrame* GetFrames() { return m_Frames.data(); }
    std::int32_t GetMaxFrames() const { return static_cast<std::int32_t>(m_Frames.size()); }
    std::uint8_t* GetResult() { return m_Result; }

private:
    std::vector<std::uint8_t> m_Stack;
    std::int32_t m_StackSize;
    std::vector<sFrame> m_Frames;
    alignas(8) std::uint8_t m_Result[8] = {};
    bool m_Running = false;
};

} // namespace velmora::script

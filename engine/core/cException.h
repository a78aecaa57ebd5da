#pragma once
// The engine's one exception type and the routine that raises it.
//
// Severity contract of the engine:
//  - a recoverable condition is a warning: LogWarning(...) and work goes on;
//  - a fatal condition is raised with RaiseError(...) as cException; the
//    creation or open operation that owns the work catches it, logs its text
//    as a warning ("%s\n") and returns null / false;
//  - whatever escapes reaches the entry point, which shows it and shuts down
//    in order.
// Messages name the operation first: "cTerrain::Create : out of memory".

#include <cstddef>
#include "engine/core/PrintfFormat.h"

namespace velmora {

class cException {
public:
    static constexpr std::size_t kMaxText = 4095;

    // Copies at most kMaxText characters of text.
    explicit cException(const char* text);

    // The message text, always zero-terminated.
    const char* GetText() const { return m_Text; }

private:
    char m_Text[kMaxText + 1];
};

// Formats the message (printf-style, cut at 4095 characters) and throws it
// as cException. Never returns.
[[noreturn]] void RaiseError(const char* format, ...)
#if defined(__GNUC__)
    VELMORA_PRINTF_FORMAT(1, 2)
#endif
    ;

} // namespace velmora

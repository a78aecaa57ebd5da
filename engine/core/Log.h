#pragma once
// The two process-wide log routines. Each formats its message (printf-style,
// cut at 4095 characters), writes it to standard output and, when the
// process-wide log is open, to that HTML log: messages in grey, warnings in
// orange.
//
// Creation steps log "Creating x... " and then complete the line with
// LogMessage("succeeded\n") or with a LogWarning that says why it failed.

#include "engine/core/PrintfFormat.h"

namespace velmora {

class cLog;

// A normal progress message (grey).
void LogMessage(const char* format, ...)
#if defined(__GNUC__)
    VELMORA_PRINTF_FORMAT(1, 2)
#endif
    ;

// A non-fatal problem (orange).
void LogWarning(const char* format, ...)
#if defined(__GNUC__)
    VELMORA_PRINTF_FORMAT(1, 2)
#endif
    ;

// The process-wide log object; closed unless a host opens it.
cLog& GetProcessLog();

} // namespace velmora

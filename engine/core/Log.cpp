#include "engine/core/Log.h"

#include <cstdarg>
#include <cstdio>

#include "engine/core/cColor.h"
#include "engine/core/cLog.h"

namespace velmora {

namespace {

void Emit(const cColor& color, const char* format, va_list args) {
    char buffer[4096] = {};
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    std::printf("%s", buffer);
    std::fflush(stdout);
    GetProcessLog().PrintColored(color, "%s", buffer);
}

} // namespace

cLog& GetProcessLog() {
    static cLog log;
    return log;
}

void LogMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(cColorF(0.78f, 0.78f, 0.78f, 1.0f).ToColor(), format, args);
    va_end(args);
}

void LogWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(cColorF(1.0f, 0.78f, 0.25f, 1.0f).ToColor(), format, args);
    va_end(args);
}

} // namespace velmora

#include "engine/core/cException.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace velmora {

cException::cException(const char* text) {
    std::memset(m_Text, 0, sizeof(m_Text));
    if (text) {
        std::strncpy(m_Text, text, kMaxText);
    }
}

void RaiseError(const char* format, ...) {
    char buffer[4096] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    throw cException(buffer);
}

} // namespace velmora

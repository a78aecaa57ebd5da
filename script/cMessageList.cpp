#include "script/cMessageList.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "engine/core/cException.h"

namespace velmora::script {

namespace {
constexpr int kMessageSize = 4096;
} // namespace

void cMessageList::Add(std::int32_t line, eMessageLevel level, const char* message) {
    char text[kMessageSize + 256];
    std::snprintf(text, sizeof(text), "%s( %d ) %s : %s", m_SourceName.c_str(), line,
                  level == eMessageLevel::Error ? "error" : "warning", message);
    m_Messages.push_back({line, level, text});
    if (level == eMessageLevel::Error) {
        ++m_ErrorCount;
    }
}

void cMessageList::Warning(std::int32_t line, const char* format, ...) {
    char message[kMessageSize] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    Add(line, eMessageLevel::Warning, message);
}

void cMessageList::Error(std::int32_t line, const char* format, ...) {
    char message[kMessageSize] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    Add(line, eMessageLevel::Error, message);
}

void cMessageList::Fatal(const char* format, ...) {
    char message[kMessageSize] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    throw cException(message);
}

bool cMessageList::Contains(const std::string& text) const {
    return std::any_of(m_Messages.begin(), m_Messages.end(),
                       [&](const sMessage& m) { return m.text.find(text) != std::string::npos; });
}

void cMessageList::Clear() {
    m_Messages.clear();
    m_ErrorCount = 0;
}

void cMessageList::Sort() {
    std::stable_sort(m_Messages.begin(), m_Messages.end(),
                     [](const sMessage& a, const sMessage& b) { return a.line < b.line; });
}

void cMessageList::Print() const {
    for (const sMessage& message : m_Messages) {
        std::printf("%s\n", message.text.c_str());
    }
    std::fflush(stdout);
}

} // namespace velmora::script

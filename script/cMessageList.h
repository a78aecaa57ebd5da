#pragma once
// The diagnostics of one compilation: every message is formatted (at most
// 4096 characters), prefixed "%s( %d ) error : %s" or "%s( %d ) warning : %s"
// with the source name and the line, and appended with its line and level.
//  - warning: recorded;
//  - error: recorded and the error flag is set; compilation goes on so that
//    one pass reports many errors, but later stages do not run;
//  - fatal: the formatted text (without prefix) is raised as cException.

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::script {

enum class eMessageLevel { Warning, Error };

struct sMessage {
    std::int32_t line = 0;
    eMessageLevel level = eMessageLevel::Error;
    std::string text; // prefixed
};

class cMessageList {
public:
    // The name in the prefix: a file path, or "memory".
    void SetSourceName(const std::string& name) { m_SourceName = name; }
    const std::string& GetSourceName() const { return m_SourceName; }

    void Warning(std::int32_t line, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    void Error(std::int32_t line, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    [[noreturn]] void Fatal(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    bool HasErrors() const { return m_ErrorCount > 0; }
    std::int32_t GetErrorCount() const { return m_ErrorCount; }
    const std::vector<sMessage>& GetMessages() const { return m_Messages; }
    // True when a recorded message contains text.
    bool Contains(const std::string& text) const;

    // Forgets every message and the error flag.
    void Clear();
    // Orders the messages by line; messages of one line keep the order they were recorded in.
    void Sort();
    // Writes every message to the standard output, one line each.
    void Print() const;

private:
    void Add(std::int32_t line, eMessageLevel level, const char* message);

    std::string m_SourceName = "memory";
    std::vector<sMessage> m_Messages;
    std::int32_t m_ErrorCount = 0;
};

} // namespace velmora::script

#pragma once
// HTML log file: every message is appended inside a <pre> block, unescaped,
// wrapped in a <font color> tag, and flushed at once.

#include <cstdarg>
#include <cstdio>

#include "engine/core/ILog.h"

namespace velmora {

class cLog : public ILog {
public:
    cLog() = default;
    ~cLog() override;
    cLog(const cLog&) = delete;
    cLog& operator=(const cLog&) = delete;

    void Close() override;
    void Release() override;
    void Print(const char* format, ...) override;
    bool IsOpen() const override { return m_File != nullptr; }
    bool Open(const char* fileName) override;
    void PrintColored(const cColor& color, const char* format, ...) override;

    // PrintColored with a va_list, for the process-wide routines.
    void PrintColoredV(const cColor& color, const char* format, va_list args);

private:
    std::FILE* m_File = nullptr;
};

} // namespace velmora

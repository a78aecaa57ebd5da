#pragma once
// A log that writes an HTML page, one colour per message kind.

#include "engine/core/cColor.h"

namespace velmora {

class ILog {
public:
    // Closes the log as Close does.
    virtual ~ILog() = default;
    // Writes the closing lines and closes the file; nothing when closed.
    virtual void Close() = 0;
    // Deletes the object.
    virtual void Release() = 0;
    // Appends a message (printf-style, cut at 4095 characters) in the fixed grey; nothing when closed.
    virtual void Print(const char* format, ...) = 0;
    // True while a file is open.
    virtual bool IsOpen() const = 0;
    // Closes any open file, opens the named one and writes the page header; false when it cannot be opened.
    virtual bool Open(const char* fileName) = 0;
    // Appends a message in the given colour (alpha is not written); nothing when closed.
    virtual void PrintColored(const cColor& color, const char* format, ...) = 0;
};

} // namespace velmora

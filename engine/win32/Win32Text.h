#pragma once
// Text at the Win32 boundary: the engine's strings are UTF-8, the system's
// wide-character calls take and return UTF-16. Only engine/win32 and the
// Win32 application code include this header.

#include <string>

namespace velmora::win32 {

// UTF-16 of a UTF-8 string (invalid sequences become U+FFFD); empty for null.
std::wstring Widen(const char* text);
std::wstring Widen(const std::string& text);
// UTF-8 of a UTF-16 string; empty for null.
std::string Narrow(const wchar_t* text);
std::string Narrow(const std::wstring& text);
// The system's message for an error code (GetLastError's), in UTF-8 without the trailing line break;
// "error N" when the system has no text for it.
std::string ErrorText(unsigned long error);
// ErrorText of GetLastError().
std::string LastErrorText();

} // namespace velmora::win32

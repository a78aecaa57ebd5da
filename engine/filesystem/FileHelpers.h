#pragma once
// Stream helpers shared by the file classes: the length-prefixed string
// format, little-endian words and bounded formatting. Internal to the file
// system folder.

#include <cstdarg>
#include <cstdint>
#include <string>

#include "engine/filesystem/IFile.h"

namespace velmora::filehelpers {

// Size of the formatting buffer of Printf, terminator included.
constexpr int kPrintfBufferSize = 4096;

// Reads a 32-bit length and that many bytes (never more than the file still holds, so a damaged length cannot
// ask for gigabytes); out gets the text up to the first zero byte. Throws allocFailureText when the buffer cannot
// be allocated. Returns the bytes read.
std::int32_t ReadLengthPrefixed(IFile& file, std::string& out, const char* allocFailureText);

// Writes the 32-bit length of text and its characters; returns the bytes written.
std::int32_t WriteLengthPrefixed(IFile& file, const std::string& text);

// Reads 4 (2) bytes as a little-endian value; -1 (0xFFFF) when fewer bytes were read.
std::int32_t ReadInt32(IFile& file);
std::uint16_t ReadUInt16(IFile& file);

// Formats into buffer (kPrintfBufferSize bytes), truncating; returns the length of the text.
std::int32_t FormatText(char* buffer, const char* format, va_list args);

// Multiplies a Read/Write size and count into a byte count: 0 for non-positive arguments, at most INT32_MAX.
std::int64_t ByteCount(std::int32_t size, std::int32_t count);

} // namespace velmora::filehelpers

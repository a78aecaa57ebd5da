#include "engine/filesystem/FileHelpers.h"

#include <cstdio>
#include <limits>
#include <new>

#include "engine/core/cException.h"

namespace velmora::filehelpers {

std::int32_t ReadLengthPrefixed(IFile& file, std::string& out, const char* allocFailureText) {
    out.clear();
    std::uint8_t header[4] = {};
    const std::int32_t headerBytes = file.Read(header, 4, 1);
    if (headerBytes < 4) {
        return headerBytes;
    }
    std::int64_t length = static_cast<std::int32_t>(header[0] | (header[1] << 8) | (header[2] << 16) |
                                                    (static_cast<std::uint32_t>(header[3]) << 24));
    const std::int32_t position = file.Tell();
    const std::int64_t remaining = position < 0 ? 0 : std::int64_t(file.GetSize()) - position;
    if (length > remaining) {
        length = remaining;
    }
    if (length < 0) {
        length = 0;
    }
    char* buffer = new (std::nothrow) char[static_cast<std::size_t>(length) + 1];
    if (!buffer) {
        RaiseError("%s", allocFailureText);
    }
    const std::int32_t textBytes = file.Read(buffer, 1, static_cast<std::int32_t>(length));
    buffer[textBytes > 0 ? textBytes : 0] = '\0';
    out.assign(buffer);
    delete[] buffer;
    return headerBytes + textBytes;
}

std::int32_t WriteLengthPrefixed(IFile& file, const std::string& text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 4)) {
        return 0;
    }
    const auto length = static_cast<std::uint32_t>(text.size());
    const std::uint8_t header[4] = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                                    static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
    const std::int32_t headerBytes = file.Write(header, 4, 1);
    const std::int32_t textBytes = text.empty() ? 0 : file.Write(text.data(), 1, static_cast<std::int32_t>(length));
    return headerBytes + textBytes;
}

std::int32_t ReadInt32(IFile& file) {
    std::uint8_t bytes[4] = {};
    if (file.Read(bytes, 4, 1) < 4) {
        return -1;
    }
    return static_cast<std::int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                     (static_cast<std::uint32_t>(bytes[3]) << 24));
}

std::uint16_t ReadUInt16(IFile& file) {
    std::uint8_t bytes[2] = {};
    if (file.Read(bytes, 2, 1) < 2) {
        return 0xFFFF;
    }
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::int32_t FormatText(char* buffer, const char* format, va_list args) {
    buffer[0] = '\0';
    if (!format) {
        return 0;
    }
    const int length = std::vsnprintf(buffer, kPrintfBufferSize, format, args);
    if (length < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return length < kPrintfBufferSize ? length : kPrintfBufferSize - 1;
}

std::int64_t ByteCount(std::int32_t size, std::int32_t count) {
    if (size <= 0 || count <= 0) {
        return 0;
    }
    const std::int64_t bytes = std::int64_t(size) * count;
    return bytes > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max() : bytes;
}

} // namespace velmora::filehelpers

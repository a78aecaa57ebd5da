#include "engine/filesystem/cMemoryFile.h"

#include <cstdarg>
#include <cstring>
#include <limits>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/FileHelpers.h"

namespace velmora {

namespace {

std::int32_t Clamp(std::int64_t value, std::int32_t size) {
    if (value < 0) {
        return 0;
    }
    return value > size ? size : static_cast<std::int32_t>(value);
}

} // namespace

void cMemoryFile::Open(void* data, std::int32_t size) {
    Close();
    if (!data) {
        RaiseError("cMemoryFile::Open : NULL pointer");
    }
    m_Data = static_cast<std::uint8_t*>(data);
    m_Size = size > 0 ? size : 0;
    m_Position = 0;
}

void cMemoryFile::Close() {
    m_Data = nullptr;
    m_Size = 0;
    m_Position = 0;
}

void cMemoryFile::Release() { delete this; }

std::int32_t cMemoryFile::Seek(std::int32_t offset, std::int32_t origin) {
    if (!m_Data) {
        return 0;
    }
    switch (origin) {
    case SEEK_FROM_START: m_Position = Clamp(offset, m_Size); return 0;
    case SEEK_FROM_CURRENT: m_Position = Clamp(std::int64_t(m_Position) + offset, m_Size); return 0;
    case SEEK_FROM_END: m_Position = Clamp(std::int64_t(m_Size) + offset, m_Size); return 0;
    default: return -1;
    }
}

std::int32_t cMemoryFile::Read(void* buffer, std::int32_t size, std::int32_t count) {
    std::int64_t bytes = filehelpers::ByteCount(size, count);
    if (!m_Data || !buffer || bytes == 0) {
        return 0;
    }
    if (bytes > m_Size - m_Position) {
        bytes = m_Size - m_Position;
    }
    std::memcpy(buffer, m_Data + m_Position, static_cast<std::size_t>(bytes));
    m_Position += static_cast<std::int32_t>(bytes);
    return static_cast<std::int32_t>(bytes);
}

std::int32_t cMemoryFile::ReadString(std::string& out) {
    out.clear();
    if (!m_Data) {
        return 0;
    }
    return filehelpers::ReadLengthPrefixed(*this, out, "cHDDFile::ReadString : failed to allocate memory");
}

std::int32_t cMemoryFile::Write(const void* buffer, std::int32_t size, std::int32_t count) {
    std::int64_t bytes = filehelpers::ByteCount(size, count);
    if (!m_Data || !buffer || bytes == 0) {
        return 0;
    }
    if (bytes > m_Size - m_Position) {
        bytes = m_Size - m_Position;
    }
    std::memmove(m_Data + m_Position, buffer, static_cast<std::size_t>(bytes));
    m_Position += static_cast<std::int32_t>(bytes);
    return static_cast<std::int32_t>(bytes);
}

std::int32_t cMemoryFile::WriteString(const std::string& text) {
    if (!m_Data) {
        return 0;
    }
    return filehelpers::WriteLengthPrefixed(*this, text);
}

std::int32_t cMemoryFile::Printf(const char* format, ...) {
    if (!m_Data) {
        return 0;
    }
    char buffer[filehelpers::kPrintfBufferSize];
    va_list args;
    va_start(args, format);
    const std::int32_t length = filehelpers::FormatText(buffer, format, args);
    va_end(args);
    return Write(buffer, 1, length + 1);
}

std::int32_t cMemoryFile::Print(const char* text) {
    if (!m_Data || !text) {
        return 0;
    }
    const std::size_t length = std::strlen(text);
    if (length >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return 0;
    }
    return Write(text, 1, static_cast<std::int32_t>(length) + 1);
}

std::int32_t cMemoryFile::ReadInt() {
    if (!m_Data) {
        return -1;
    }
    return filehelpers::ReadInt32(*this);
}

std::uint16_t cMemoryFile::ReadShort() {
    if (!m_Data) {
        return 0xFFFF;
    }
    return filehelpers::ReadUInt16(*this);
}

std::uint8_t* cMemoryFile::ReadAll() {
    if (!m_Data) {
        return nullptr;
    }
    auto* buffer = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(m_Size) + 1];
    if (!buffer) {
        LogWarning("cMemoryFile::ReadAll : failed to allocate memory\n");
        return nullptr;
    }
    std::memcpy(buffer, m_Data, static_cast<std::size_t>(m_Size));
    buffer[m_Size] = 0;
    return buffer;
}

} // namespace velmora

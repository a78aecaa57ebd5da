#include "engine/filesystem/cHDDFile.h"

#include <cstdarg>
#include <cstring>
#include <limits>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/DiskFiles.h"
#include "engine/filesystem/FileHelpers.h"

namespace velmora {

cHDDFile::~cHDDFile() { Close(); }

bool cHDDFile::CanOpenForReading(const char* path) {
    if (!path) {
        return false;
    }
    std::FILE* probe = OpenDiskFile(path, "rb");
    if (!probe) {
        return false;
    }
    std::fclose(probe);
    return !IsDiskFolder(path);
}

void cHDDFile::Open(const char* path, const char* mode) {
    Close();
    if (!mode) {
        RaiseError("cHDDFile::Open : invalid access mode( NULL )\n");
    }
    if (!path) {
        RaiseError("cHDDFile::Open : invalid file name( NULL )");
    }
    std::FILE* file = OpenDiskFile(path, mode);
    if (!file) {
        RaiseError("cHDDFile::Open : failed to open '%s'\n", path);
    }
    // The C library opens folders for reading on some platforms; a folder is never a file here.
    if (IsDiskFolder(path)) {
        std::fclose(file);
        RaiseError("cHDDFile::Open : failed to open '%s'\n", path);
    }
    long size = 0;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    if (size > std::numeric_limits<std::int32_t>::max()) {
        std::fclose(file);
        RaiseError("cHDDFile::Open : '%s' is too large\n", path);
    }
    std::fseek(file, 0, SEEK_SET);
    m_File = file;
    m_Size = size > 0 ? static_cast<std::int32_t>(size) : 0;
    m_Name = path;
}

void cHDDFile::Close() {
    if (m_File) {
        std::fclose(m_File);
        m_File = nullptr;
    }
}

void cHDDFile::Release() { delete this; }

std::int32_t cHDDFile::Seek(std::int32_t offset, std::int32_t origin) {
    if (!m_File) {
        return 0;
    }
    int whence = SEEK_SET;
    switch (origin) {
    case SEEK_FROM_START: whence = SEEK_SET; break;
    case SEEK_FROM_CURRENT: whence = SEEK_CUR; break;
    case SEEK_FROM_END: whence = SEEK_END; break;
    default: return -1;
    }
    return std::fseek(m_File, offset, whence) == 0 ? 0 : -1;
}

std::int32_t cHDDFile::Read(void* buffer, std::int32_t size, std::int32_t count) {
    const std::int64_t bytes = filehelpers::ByteCount(size, count);
    if (!m_File || !buffer || bytes == 0) {
        return 0;
    }
    return static_cast<std::int32_t>(std::fread(buffer, 1, static_cast<std::size_t>(bytes), m_File));
}

std::int32_t cHDDFile::ReadString(std::string& out) {
    out.clear();
    if (!m_File) {
        return 0;
    }
    return filehelpers::ReadLengthPrefixed(*this, out, "cHDDFile::ReadString : failed to allocate memory");
}

std::int32_t cHDDFile::Write(const void* buffer, std::int32_t size, std::int32_t count) {
    const std::int64_t bytes = filehelpers::ByteCount(size, count);
    if (!m_File || !buffer || bytes == 0) {
        return 0;
    }
    return static_cast<std::int32_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(bytes), m_File));
}

std::int32_t cHDDFile::WriteString(const std::string& text) {
    if (!m_File) {
        return 0;
    }
    return filehelpers::WriteLengthPrefixed(*this, text);
}

std::int32_t cHDDFile::Printf(const char* format, ...) {
    if (!m_File) {
        return 0;
    }
    char buffer[filehelpers::kPrintfBufferSize];
    va_list args;
    va_start(args, format);
    const std::int32_t length = filehelpers::FormatText(buffer, format, args);
    va_end(args);
    return Write(buffer, 1, length);
}

std::int32_t cHDDFile::Print(const char* text) {
    if (!m_File || !text) {
        return 0;
    }
    const std::size_t length = std::strlen(text);
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return 0;
    }
    return Write(text, 1, static_cast<std::int32_t>(length));
}

std::int32_t cHDDFile::ReadInt() {
    if (!m_File) {
        return -1;
    }
    return filehelpers::ReadInt32(*this);
}

std::uint16_t cHDDFile::ReadShort() {
    if (!m_File) {
        return 0xFFFF;
    }
    return filehelpers::ReadUInt16(*this);
}

std::int32_t cHDDFile::Tell() {
    if (!m_File) {
        return -1;
    }
    const long position = std::ftell(m_File);
    if (position < 0 || position > std::numeric_limits<std::int32_t>::max()) {
        return -1;
    }
    return static_cast<std::int32_t>(position);
}

std::int32_t cHDDFile::Flush() {
    if (!m_File) {
        return 0;
    }
    return std::fflush(m_File) == 0 ? 0 : -1;
}

std::uint8_t* cHDDFile::ReadAll() {
    if (!m_File) {
        return nullptr;
    }
    auto* buffer = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(m_Size) + 1];
    if (!buffer) {
        LogWarning("cHDDFile::ReadAll : failed to allocate memory\n");
        return nullptr;
    }
    // The whole file, wherever the position stands; the position is kept.
    const long position = std::ftell(m_File);
    std::fseek(m_File, 0, SEEK_SET);
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(m_Size), m_File);
    std::fseek(m_File, position < 0 ? 0 : position, SEEK_SET);
    if (got != static_cast<std::size_t>(m_Size)) {
        LogWarning("cHDDFile::ReadAll : read %d of %d bytes from '%s'\n", static_cast<int>(got), m_Size,
                   m_Name.c_str());
        delete[] buffer;
        return nullptr;
    }
    buffer[m_Size] = 0;
    return buffer;
}

} // namespace velmora

#include "engine/filesystem/cZipFile.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/DiskFiles.h"
#include "engine/filesystem/FileHelpers.h"
#include "engine/filesystem/ZipArchiveAccess.h"

namespace velmora {

namespace {

// Deflate cannot expand data by more than about 1032:1; a stated size beyond this is a lie.
constexpr std::uint64_t kMaxDeflateRatio = 1032;
constexpr std::uint64_t kRatioSlack = 1024;
// The largest entry the engine reads: far above any content it loads, far below what a damaged size field can
// claim. Readers size their buffers by an entry's stated size, so this bounds what one entry can make them
// allocate.
constexpr std::uint64_t kMaxEntryBytes = 256u << 20;

// Bytes of the archive file; 0 when it cannot be measured (the checks that need it are then left out).
std::uint64_t ArchiveBytes(const char* path) {
    std::FILE* file = OpenDiskFile(path, "rb");
    if (!file) {
        return 0;
    }
    const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    std::fclose(file);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

} // namespace

cZipFile::~cZipFile() { Close(); }

void cZipFile::Release() { delete this; }

void cZipFile::Fail(const char* format, const char* a, const char* b) {
    Close();
    RaiseError(format, a, b);
}

void cZipFile::Open(const char* archive, const char* name, const cZipDirectory::sEntry* hint) {
    Close();
    const char* archiveText = archive ? archive : "";
    const char* nameText = name ? name : "";
    m_Archive = archive ? OpenZipArchive(archive) : nullptr;
    if (!m_Archive) {
        RaiseError("cZipFile::Open : failed to open archive '%s'", archiveText);
    }
    m_ArchivePath = archiveText;
    m_EntryName = nameText;

    char storedName[65536 + 1];
    bool located = false;
    if (hint && name) {
        unz64_file_pos position = {hint->directoryOffset, hint->fileNumber};
        located = unzGoToFilePos64(m_Archive, &position) == UNZ_OK &&
                  unzGetCurrentFileInfo64(m_Archive, nullptr, storedName, sizeof(storedName) - 1, nullptr, 0,
                                          nullptr, 0) == UNZ_OK &&
                  cZipDirectory::SameName(storedName, name);
    }
    if (!located && (!name || unzLocateFile(m_Archive, name, 2) != UNZ_OK)) {
        Fail("cZipFile::Open : failed to locate file '%s' in archive '%s'", nameText, archiveText);
    }
    if (unzGetCurrentFileInfo64(m_Archive, &m_Info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        Fail("cZipFile::Open : internal error, failed to get file info for '%s' in archive '%s'", nameText,
             archiveText);
    }
    if (m_Info.flag & 1) {
        Fail("cZipFile::Open : file '%s' in archive '%s' is encrypted", nameText, archiveText);
    }
    if (m_Info.uncompressed_size > kMaxEntryBytes) {
        const unsigned long long stated = m_Info.uncompressed_size;
        Close();
        RaiseError("cZipFile::Open : file '%s' in archive '%s' states %llu bytes, more than the %llu an entry may hold",
                   nameText, archiveText, stated, static_cast<unsigned long long>(kMaxEntryBytes));
    }
    const std::uint64_t archiveBytes = ArchiveBytes(archiveText);
    const bool storedMismatch = m_Info.compression_method == 0 && m_Info.compressed_size != m_Info.uncompressed_size;
    const bool deflateLie = m_Info.compression_method == Z_DEFLATED &&
                            m_Info.uncompressed_size > m_Info.compressed_size * kMaxDeflateRatio + kRatioSlack;
    const bool pastArchive = archiveBytes > 0 && m_Info.compressed_size > archiveBytes;
    if (storedMismatch || deflateLie || pastArchive) {
        Fail("cZipFile::Open : stated sizes of file '%s' in archive '%s' are damaged", nameText, archiveText);
    }
    if (unzOpenCurrentFile(m_Archive) != UNZ_OK) {
        Fail("cZipFile::Open : failed to open file '%s' in archive '%s'", nameText, archiveText);
    }
    m_EntryOpen = true;
    m_Position = 0;
    m_Damaged = false;
}

void cZipFile::Close() {
    if (m_Archive) {
        if (m_EntryOpen) {
            unzCloseCurrentFile(m_Archive);
        }
        unzClose(m_Archive);
    }
    m_Archive = nullptr;
    m_Info = {};
    m_EntryOpen = false;
    m_Position = 0;
    m_Damaged = false;
}

std::int32_t cZipFile::GetSize() const {
    return m_Archive ? static_cast<std::int32_t>(m_Info.uncompressed_size) : 0;
}

void cZipFile::ReportDamage(const char* format) {
    if (!m_Damaged) {
        LogWarning(format, m_EntryName.c_str(), m_ArchivePath.c_str());
    }
    m_Damaged = true;
}

void cZipFile::FinishEntry() {
    // The unzip layer compares the CRC when an entry read to its end is closed.
    const int result = unzCloseCurrentFile(m_Archive);
    m_EntryOpen = false;
    if (result == UNZ_CRCERROR) {
        ReportDamage("cZipFile::Read : CRC mismatch in file '%s' in archive '%s'\n");
    }
}

void cZipFile::RewindEntry() {
    if (m_EntryOpen) {
        unzCloseCurrentFile(m_Archive);
    }
    m_EntryOpen = unzOpenCurrentFile(m_Archive) == UNZ_OK;
    m_Position = 0;
    m_Damaged = false;
}

std::int32_t cZipFile::Seek(std::int32_t offset, std::int32_t origin) {
    if (!m_Archive) {
        return 0;
    }
    if (origin != SEEK_FROM_CURRENT) {
        RaiseError("cZipFile::Seek : unhandled seek origin");
    }
    if (offset <= 0) {
        return 0;
    }
    std::uint8_t scratch[4096];
    std::int32_t skipped = 0;
    while (skipped < offset) {
        const std::int32_t step = std::min<std::int32_t>(offset - skipped, sizeof(scratch));
        const std::int32_t got = Read(scratch, 1, step);
        skipped += got;
        if (got < step) {
            break;
        }
    }
    return skipped == offset ? 0 : -1;
}

std::int32_t cZipFile::Read(void* buffer, std::int32_t size, std::int32_t count) {
    std::int64_t wanted = filehelpers::ByteCount(size, count);
    if (!m_Archive || !buffer || wanted == 0 || !m_EntryOpen) {
        return 0;
    }
    const std::int64_t remaining = std::int64_t(GetSize()) - m_Position;
    if (wanted > remaining) {
        wanted = remaining;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t total = 0;
    while (total < wanted) {
        const int got = unzReadCurrentFile(m_Archive, out + total, static_cast<unsigned>(wanted - total));
        if (got < 0) {
            ReportDamage("cZipFile::Read : file '%s' in archive '%s' is damaged\n");
            break;
        }
        if (got == 0) {
            ReportDamage("cZipFile::Read : file '%s' in archive '%s' ends before its stated size\n");
            break;
        }
        total += got;
    }
    m_Position += static_cast<std::int32_t>(total);
    if (total < wanted) {
        // Nothing more can be trusted from this entry.
        unzCloseCurrentFile(m_Archive);
        m_EntryOpen = false;
    } else if (m_Position == GetSize()) {
        FinishEntry();
    }
    return static_cast<std::int32_t>(total);
}

std::int32_t cZipFile::ReadString(std::string& out) {
    out.clear();
    if (!m_Archive) {
        return 0;
    }
    return filehelpers::ReadLengthPrefixed(*this, out, "cZipFile::ReadString : failed to allocate memory");
}

std::int32_t cZipFile::Write(const void*, std::int32_t, std::int32_t) {
    if (!m_Archive) {
        return 0;
    }
    LogWarning("cZipFile::Write : invalid operaton\n");
    return 0;
}

std::int32_t cZipFile::WriteString(const std::string&) {
    if (!m_Archive) {
        return 0;
    }
    LogWarning("cZipFile::WriteString : invalid operaton\n");
    return 0;
}

std::int32_t cZipFile::Printf(const char*, ...) {
    if (!m_Archive) {
        return 0;
    }
    LogWarning("cZipFile::Printf : invalid operaton\n");
    return 0;
}

std::int32_t cZipFile::Print(const char*) {
    if (!m_Archive) {
        return 0;
    }
    LogWarning("cZipFile::Print : invalid operaton\n");
    return 0;
}

std::int32_t cZipFile::ReadInt() {
    if (!m_Archive) {
        return -1;
    }
    return filehelpers::ReadInt32(*this);
}

std::uint16_t cZipFile::ReadShort() {
    if (!m_Archive) {
        return 0xFFFF;
    }
    return filehelpers::ReadUInt16(*this);
}

std::int32_t cZipFile::Flush() {
    if (!m_Archive) {
        return 0;
    }
    LogWarning("cZipFile::Flush : invalid operation\n");
    return 0;
}

std::uint8_t* cZipFile::ReadAll() {
    if (!m_Archive) {
        return nullptr;
    }
    if (m_Position != 0 || !m_EntryOpen) {
        RewindEntry();
    }
    const std::int32_t size = GetSize();
    auto* buffer = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size) + 1];
    if (!buffer) {
        LogWarning("cZipFile::ReadAll : failed to allocate memory\n");
        return nullptr;
    }
    const std::int32_t got = Read(buffer, 1, size);
    if (got != size || m_Damaged) {
        delete[] buffer;
        return nullptr;
    }
    buffer[size] = 0;
    return buffer;
}

} // namespace velmora

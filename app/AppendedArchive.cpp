#include "app/AppendedArchive.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "engine/filesystem/IFileList.h"
#include "engine/filesystem/IFileSystem.h"

namespace brevonne {

using namespace velmora;

namespace {

// The smallest ZIP: one end-of-central-directory record.
constexpr std::int32_t kZipEndRecordSize = 22;
constexpr std::int32_t kCopyChunk = 1 << 20;

std::uint32_t ToUInt32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Puts the file system's root folder aside while absolute paths are opened, so that it is not
// put in front of them.
class cRootFolderScope {
public:
    explicit cRootFolderScope(IFileSystem& fs) : m_FileSystem(fs), m_Saved(fs.GetRootFolder()) {
        fs.SetRootFolder("");
    }
    ~cRootFolderScope() { m_FileSystem.SetRootFolder(m_Saved.c_str()); }
    cRootFolderScope(const cRootFolderScope&) = delete;
    cRootFolderScope& operator=(const cRootFolderScope&) = delete;

private:
    IFileSystem& m_FileSystem;
    std::string m_Saved;
};

// Releases a file when the scope ends.
class cFileHolder {
public:
    explicit cFileHolder(IFile* file) : m_File(file) {}
    ~cFileHolder() { Close(); }
    cFileHolder(const cFileHolder&) = delete;
    cFileHolder& operator=(const cFileHolder&) = delete;
    IFile* operator->() const { return m_File; }
    IFile& operator*() const { return *m_File; }
    void Close() {
        if (m_File) m_File->Release();
        m_File = nullptr;
    }

private:
    IFile* m_File;
};

void CopyArchive(IFileSystem& fs, IFile& exe, const std::string& exePath, const sAppendedArchive& archive,
                 const std::string& tempPath) {
    IFile* created = fs.OpenFile(tempPath.c_str(), "wb");
    if (!created) {
        const int error = errno;
        RaiseError("cScreensaver::ExtractData : failed to create '%s', %s", tempPath.c_str(), std::strerror(error));
    }
    cFileHolder out(created);
    if (exe.Seek(static_cast<std::int32_t>(archive.offset), SEEK_FROM_START) != 0) {
        RaiseError("cScreensaver::ExtractData : failed to read '%s'", exePath.c_str());
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kCopyChunk));
    std::int32_t left = archive.copySize;
    while (left > 0) {
        const std::int32_t chunk = left < kCopyChunk ? left : kCopyChunk;
        if (exe.Read(buffer.data(), 1, chunk) != chunk) {
            RaiseError("cScreensaver::ExtractData : failed to read '%s'", exePath.c_str());
        }
        errno = 0;
        if (out->Write(buffer.data(), 1, chunk) != chunk) {
            const int error = errno;
            RaiseError("cScreensaver::ExtractData : failed to write '%s', %s", tempPath.c_str(),
                       std::strerror(error ? error : EIO));
        }
        left -= chunk;
    }
    errno = 0;
    if (out->Flush() != 0) {
        const int error = errno;
        RaiseError("cScreensaver::ExtractData : failed to write '%s', %s", tempPath.c_str(),
                   std::strerror(error ? error : EIO));
    }
}

} // namespace

sAppendedArchive FindAppendedArchive(IFile& exe, const std::string& exePath) {
    sAppendedArchive archive;
    const std::int32_t size = exe.GetSize();
    std::uint8_t trailer[kTrailerSize];
    if (size < 4 || exe.Seek(-4, SEEK_FROM_END) != 0 || exe.Read(trailer + 12, 1, 4) != 4 ||
        ToUInt32(trailer + 12) != kArchiveMagic) {
        return archive;
    }
    archive.found = true;
    if (size < kTrailerSize || exe.Seek(-kTrailerSize, SEEK_FROM_END) != 0 || exe.Read(trailer, 1, 12) != 12) {
        RaiseError("cScreensaver::ExtractData : damaged archive offset in '%s'", exePath.c_str());
    }
    archive.offset = ToUInt32(trailer + 8);
    const std::int64_t archiveEnd = static_cast<std::int64_t>(size) - kTrailerSize;
    std::uint8_t signature[2] = {0, 0};
    if (static_cast<std::int64_t>(archive.offset) + kZipEndRecordSize > archiveEnd ||
        exe.Seek(static_cast<std::int32_t>(archive.offset), SEEK_FROM_START) != 0 || exe.Read(signature, 1, 2) != 2 ||
        signature[0] != 'P' || signature[1] != 'K') {
        RaiseError("cScreensaver::ExtractData : damaged archive offset %u in '%s'", archive.offset, exePath.c_str());
    }
    archive.copySize = size - static_cast<std::int32_t>(archive.offset) - 4;
    return archive;
}

std::string ExtractAppendedArchive(IFileSystem& fs, const std::string& exePath, const std::string& folder,
                                   unsigned long processNumber) {
    const std::string archivePath = GetArchiveCopyPath(folder, processNumber);
    const std::string tempPath = archivePath + ".tmp";
    {
        cRootFolderScope scope(fs);
        IFile* opened = fs.OpenFile(exePath.c_str(), "rb");
        if (!opened) RaiseError("cScreensaver::ExtractData : failed to open '%s'", exePath.c_str());
        cFileHolder exe(opened);
        const sAppendedArchive archive = FindAppendedArchive(*exe, exePath);
        if (!archive.found) {
            // Data is then found only as loose files below the root folder.
            return std::string();
        }
        try {
            CopyArchive(fs, *exe, exePath, archive, tempPath);
        } catch (const cException&) {
            fs.DeleteFile(tempPath.c_str());
            throw;
        }
        if (!fs.RenameFile(tempPath.c_str(), archivePath.c_str())) {
            const int error = errno;
            fs.DeleteFile(tempPath.c_str());
            RaiseError("cScreensaver::ExtractData : failed to create '%s', %s", archivePath.c_str(),
                       std::strerror(error));
        }
    }
    fs.AddArchive(archivePath.c_str(), 0);
    return archivePath;
}

std::string GetArchiveCopyPath(const std::string& folder, unsigned long processNumber) {
    return folder + "/.pk." + std::to_string(processNumber);
}

int RemoveStaleArchiveCopies(IFileSystem& fs, const std::string& folder, unsigned long processNumber,
                             const std::function<bool(unsigned long)>& isRunning) {
    cRootFolderScope scope(fs);
    IFileList* list = fs.ListFolder(folder.c_str(), "");
    if (!list) {
        return 0;
    }
    int removed = 0;
    for (const std::string& name : list->GetFiles()) {
        // ".pk.NUMBER" or ".pk.NUMBER.tmp", nothing else.
        const std::string prefix = ".pk.";
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        std::string number = name.substr(prefix.size());
        if (number.size() > 4 && number.compare(number.size() - 4, 4, ".tmp") == 0) {
            number.resize(number.size() - 4);
        }
        if (number.empty() || number.size() > 19 ||
            number.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const unsigned long owner = std::stoul(number);
        if (owner == processNumber || isRunning(owner)) continue;
        if (fs.DeleteFile((folder + "/" + name).c_str())) {
            ++removed;
        }
    }
    list->Release();
    return removed;
}

} // namespace brevonne

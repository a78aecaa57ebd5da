#pragma once
// Everything of the file system that does not depend on the platform: the
// root folder, the archive list and its search, disk, archive and memory
// files, renaming and deleting, and the listings built on the platform's
// folder enumeration. The platform class (cPosixFileSystem) supplies copying,
// folder creation and removal, folder enumeration and file stamps.
//
// Archive search: the archive list is ordered byte-wise by path, and that is
// the search order. The central directory of each archive is read once and
// cached until the archive file changes (size, modification time or identity).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/filesystem/IFileSystem.h"
#include "engine/filesystem/cZipDirectory.h"

namespace velmora {

class cCommonFileSystem : public IFileSystem {
public:
    cCommonFileSystem() = default;
    ~cCommonFileSystem() override = default;
    cCommonFileSystem(const cCommonFileSystem&) = delete;
    cCommonFileSystem& operator=(const cCommonFileSystem&) = delete;

    void SetRootFolder(const char* folder) override;
    const std::string& GetRootFolder() const override { return m_RootFolder; }
    IFile* OpenFile(void* data, std::int32_t size) override;
    IFile* OpenFile(const char* path, const char* mode) override;
    IFile* OpenFile(const char* name) override;
    IFile* OpenCompressedFile(const char* archive, const char* name) override;
    bool RenameFile(const char* from, const char* to) override;
    bool DeleteFile(const char* path) override;
    bool AddArchive(const char* archive, std::uint32_t value) override;
    bool RemoveArchive(const char* archive) override;
    IFileList* ListFolderTree(const char* folder, const char* filter) override;
    IFileList* ListFolder(const char* folder, const char* filter) override;
    bool FileExists(const char* name) override;

    // The archive list: path -> value given to AddArchive, in search order.
    const std::map<std::string, std::uint32_t>& GetArchives() const { return m_Archives; }
    // The cached central directory of an archive (read now if needed), or null when it cannot be opened.
    const cZipDirectory* GetArchiveDirectory(const std::string& archive);

    // True when a file name passes a listing filter: "*.*" and "" accept everything; otherwise the filter
    // without its first character must end the name (byte for byte, letter case counts).
    static bool PassesFilter(const std::string& name, const char* filter);

protected:
    // Identity of a file's current contents, for the directory cache.
    struct sFileStamp {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modified = 0; // nanoseconds
        bool operator==(const sFileStamp& o) const {
            return device == o.device && inode == o.inode && size == o.size && modified == o.modified;
        }
    };

    // Enumerates a folder's own entries as bare names (without "." and ".."), in the platform's order. Folders go
    // to folders; anything else, symbolic links included, to files. False when the folder cannot be enumerated.
    // An empty folder string means the current folder.
    virtual bool ReadFolder(const std::string& folder, std::vector<std::string>& files,
                            std::vector<std::string>& folders) = 0;
    // The stamp of a file; false when it does not exist.
    virtual bool GetFileStamp(const char* path, sFileStamp& stamp) = 0;

private:
    struct sCachedDirectory {
        sFileStamp stamp;
        bool readable = false;
        cZipDirectory directory;
    };

    IFile* OpenArchiveEntry(const char* archive, const char* name, const cZipDirectory::sEntry* hint);
    void ListTree(const std::string& folder, const std::string& prefix, const char* filter,
                  std::vector<std::string>& files, std::vector<std::string>& folders);

    std::string m_RootFolder;
    std::map<std::string, std::uint32_t> m_Archives;
    std::map<std::string, sCachedDirectory> m_Directories;
};

} // namespace velmora

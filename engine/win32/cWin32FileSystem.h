#pragma once
// The file system on Windows: folder operations with the wide-character
// Win32 calls (paths are UTF-8 and use '/') on top of the platform-neutral
// cCommonFileSystem. Warnings name this class.

#include "engine/filesystem/cCommonFileSystem.h"

namespace velmora {

class cWin32FileSystem : public cCommonFileSystem {
public:
    cWin32FileSystem() = default;
    ~cWin32FileSystem() override = default;

    // Copies the file's bytes and attributes. Fails (with a warning) when the source is not a file, when source
    // and destination are the same file, or with FS_NO_OVERWRITE when the destination exists.
    bool CopyFile(const char* from, const char* to, std::uint32_t flags) override;
    // Deletes a file; a link to a folder (a directory symbolic link or junction) is removed itself.
    bool DeleteFile(const char* path) override;
    bool EraseFolder(const char* folder, std::uint32_t flags) override;
    bool CreateFolder(const char* folder, std::uint32_t flags) override;

protected:
    // Links to folders are listed as files, never followed.
    bool ReadFolder(const std::string& folder, std::vector<std::string>& files,
                    std::vector<std::string>& folders) override;
    bool GetFileStamp(const char* path, sFileStamp& stamp) override;
};

} // namespace velmora

#pragma once
// The file system on POSIX systems: folder operations with POSIX calls on top
// of the platform-neutral cCommonFileSystem. Warnings name this class.

#include "engine/filesystem/cCommonFileSystem.h"

namespace velmora {

class cPosixFileSystem : public cCommonFileSystem {
public:
    cPosixFileSystem() = default;
    ~cPosixFileSystem() override = default;

    // Copies the file's bytes and permission bits. Fails (with a warning) when the source is not a regular file,
    // when source and destination are the same file, or with FS_NO_OVERWRITE when the destination exists.
    // A destination left incomplete by a failed copy is removed.
    bool CopyFile(const char* from, const char* to, std::uint32_t flags) override;
    bool EraseFolder(const char* folder, std::uint32_t flags) override;
    bool CreateFolder(const char* folder, std::uint32_t flags) override;

protected:
    bool ReadFolder(const std::string& folder, std::vector<std::string>& files,
                    std::vector<std::string>& folders) override;
    bool GetFileStamp(const char* path, sFileStamp& stamp) override;
};

} // namespace velmora

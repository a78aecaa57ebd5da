#include "engine/posix/cPosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "engine/core/Log.h"

namespace velmora {

namespace {

void CreateParents(const std::string& path) {
    for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        if (slash > 0) {
            ::mkdir(path.substr(0, slash).c_str(), 0777);
        }
    }
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies from to to; on failure errno holds the reason.
bool CopyContents(const char* from, const char* to, bool noOverwrite) {
    const int source = ::open(from, O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        return false;
    }
    struct stat sourceInfo = {};
    if (::fstat(source, &sourceInfo) != 0) {
        const int error = errno;
        ::close(source);
        errno = error;
        return false;
    }
    if (!S_ISREG(sourceInfo.st_mode)) {
        ::close(source);
        errno = S_ISDIR(sourceInfo.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // Copying a file onto itself would truncate it before it is read.
    struct stat targetInfo = {};
    if (::stat(to, &targetInfo) == 0 && targetInfo.st_dev == sourceInfo.st_dev &&
        targetInfo.st_ino == sourceInfo.st_ino) {
        ::close(source);
        errno = noOverwrite ? EEXIST : EINVAL;
        return false;
    }
    const int openFlags = O_WRONLY | O_CREAT | O_CLOEXEC | (noOverwrite ? O_EXCL : O_TRUNC);
    const int target = ::open(to, openFlags, sourceInfo.st_mode & 07777);
    if (target < 0) {
        const int error = errno;
        ::close(source);
        errno = error;
        return false;
    }
    std::unique_ptr<char[]> buffer(new char[1 << 16]);
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(source, buffer.get(), 1 << 16);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            break;
        }
        if (got == 0) {
            break;
        }
        if (!WriteAll(target, buffer.get(), static_cast<std::size_t>(got))) {
            ok = false;
            break;
        }
    }
    int error = errno;
    if (::close(target) != 0 && ok) {
        ok = false;
        error = errno;
    }
    ::close(source);
    if (!ok) {
        ::unlink(to);
        errno = error;
    }
    return ok;
}

} // namespace

bool cPosixFileSystem::CopyFile(const char* from, const char* to, std::uint32_t flags) {
    if (!from || !to) {
        LogWarning("cPosixFileSystem::CopyFile( %s, %s ) : %s\n", from ? from : "NULL", to ? to : "NULL",
                   std::strerror(EINVAL));
        return false;
    }
    if (flags & FS_CREATE_PATH) {
        CreateParents(to);
    }
    if (!CopyContents(from, to, (flags & FS_NO_OVERWRITE) != 0)) {
        LogWarning("cPosixFileSystem::CopyFile( %s, %s ) : %s\n", from, to, std::strerror(errno));
        return false;
    }
    return true;
}

bool cPosixFileSystem::EraseFolder(const char* folder, std::uint32_t flags) {
    // An empty name would address the file-system root once a '/' is appended.
    if (!folder || folder[0] == '\0') {
        LogWarning("cPosixFileSystem::EraseFolder( %s ) : %s\n", folder ? folder : "NULL", std::strerror(ENOENT));
        return false;
    }
    if (flags & (FS_RECURSIVE | FS_ERASE_FILES)) {
        std::string base = folder;
        if (base.back() != '/') {
            base += "/";
        }
        std::vector<std::string> files;
        std::vector<std::string> folders;
        if (ReadFolder(base, files, folders)) {
            if (flags & FS_RECURSIVE) {
                for (const std::string& sub : folders) {
                    EraseFolder((base + sub).c_str(), flags);
                }
            }
            if (flags & FS_ERASE_FILES) {
                for (const std::string& file : files) {
                    DeleteFile((base + file).c_str());
                }
            }
        }
    }
    if (::rmdir(folder) != 0) {
        LogWarning("cPosixFileSystem::EraseFolder( %s ) : %s\n", folder, std::strerror(errno));
        return false;
    }
    return true;
}

bool cPosixFileSystem::CreateFolder(const char* folder, std::uint32_t flags) {
    if (!folder) {
        return false;
    }
    if (flags & FS_CREATE_PARENTS) {
        CreateParents(folder);
        return true;
    }
    return ::mkdir(folder, 0777) == 0;
}

bool cPosixFileSystem::ReadFolder(const std::string& folder, std::vector<std::string>& files,
                                  std::vector<std::string>& folders) {
    files.clear();
    folders.clear();
    const std::string path = folder.empty() ? std::string(".") : folder;
    DIR* directory = ::opendir(path.c_str());
    if (!directory) {
        return false;
    }
    const std::string base = path.back() == '/' ? path : path + "/";
    while (const dirent* entry = ::readdir(directory)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
            continue;
        }
        bool isFolder = false;
#if defined(_DIRENT_HAVE_D_TYPE)
        if (entry->d_type == DT_DIR) {
            isFolder = true;
        } else if (entry->d_type == DT_UNKNOWN)
#endif
        {
            // Not followed: a link to a folder is listed as a file, so tree walks and erasing stay inside.
            struct stat info = {};
            isFolder = ::lstat((base + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        (isFolder ? folders : files).emplace_back(name);
    }
    ::closedir(directory);
    return true;
}

bool cPosixFileSystem::GetFileStamp(const char* path, sFileStamp& stamp) {
    struct stat info = {};
    if (!path || ::stat(path, &info) != 0) {
        return false;
    }
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    return true;
}

} // namespace velmora

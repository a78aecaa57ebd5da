// Disk access on POSIX systems, whose C library takes UTF-8 paths as they are.
#include "engine/filesystem/DiskFiles.h"

#include <sys/stat.h>

namespace velmora {

std::FILE* OpenDiskFile(const char* path, const char* mode) {
    return path && mode ? std::fopen(path, mode) : nullptr;
}

bool IsDiskFolder(const char* path) {
    struct stat info = {};
    return path && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

int RenameDiskFile(const char* from, const char* to) { return from && to ? std::rename(from, to) : -1; }

int RemoveDiskFile(const char* path) { return path ? std::remove(path) : -1; }

int SeekDiskFile(std::FILE* file, std::int64_t offset, int origin) {
    return file ? ::fseeko(file, static_cast<off_t>(offset), origin) : -1;
}

std::int64_t TellDiskFile(std::FILE* file) { return file ? static_cast<std::int64_t>(::ftello(file)) : -1; }

} // namespace velmora

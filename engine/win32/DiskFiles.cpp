// Disk access on Windows: the C library's wide-character functions, so that
// UTF-8 paths reach the system intact whatever the ANSI code page is.
#include "engine/filesystem/DiskFiles.h"

#include "engine/win32/Win32Api.h"

#include <cstdio>

#include "engine/win32/Win32Text.h"

namespace velmora {

std::FILE* OpenDiskFile(const char* path, const char* mode) {
    if (!path || !mode) {
        return nullptr;
    }
    return ::_wfopen(win32::Widen(path).c_str(), win32::Widen(mode).c_str());
}

bool IsDiskFolder(const char* path) {
    if (!path) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(win32::Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int RenameDiskFile(const char* from, const char* to) {
    if (!from || !to) {
        return -1;
    }
    return ::_wrename(win32::Widen(from).c_str(), win32::Widen(to).c_str());
}

int RemoveDiskFile(const char* path) {
    if (!path) {
        return -1;
    }
    return ::_wremove(win32::Widen(path).c_str()) == 0 ? 0 : -1;
}

int SeekDiskFile(std::FILE* file, std::int64_t offset, int origin) {
    return file ? ::_fseeki64(file, offset, origin) : -1;
}

std::int64_t TellDiskFile(std::FILE* file) { return file ? ::_ftelli64(file) : -1; }

} // namespace velmora

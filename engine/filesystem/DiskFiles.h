#pragma once
// C-library disk access by UTF-8 path on every platform. Where the system's
// narrow-character calls do not take UTF-8 (Windows), the platform folder
// (engine/posix, engine/win32) goes through the wide-character ones.

#include <cstdint>
#include <cstdio>

namespace velmora {

// fopen: a C stream for the path with a C-library mode ("rb", "wb", ...), or null.
std::FILE* OpenDiskFile(const char* path, const char* mode);
// True when the path names an existing folder.
bool IsDiskFolder(const char* path);
// rename: 0 on success.
int RenameDiskFile(const char* from, const char* to);
// remove: 0 on success, -1 on failure.
int RemoveDiskFile(const char* path);
// fseek and ftell with 64-bit positions (origins SEEK_SET, SEEK_CUR, SEEK_END): 0 and the position on
// success, -1 on failure.
int SeekDiskFile(std::FILE* file, std::int64_t offset, int origin);
std::int64_t TellDiskFile(std::FILE* file);

} // namespace velmora

#pragma once
// Opening ZIP archives for the unzip layer through the engine's disk access
// (DiskFiles.h), so that archive paths are UTF-8 on every platform: the unzip
// layer's own file functions pass the name to the C library's narrow fopen.

#include <minizip/unzip.h>

namespace velmora {

// unzOpen64 for a UTF-8 path; null when the file cannot be opened or is no archive.
unzFile OpenZipArchive(const char* path);

} // namespace velmora

#include "engine/filesystem/ZipArchiveAccess.h"

#include <cstdio>

#include "engine/filesystem/DiskFiles.h"

namespace velmora {

namespace {

voidpf ZCALLBACK OpenArchive(voidpf, const void* name, int mode) {
    const char* access = nullptr;
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ) {
        access = "rb";
    } else if (mode & ZLIB_FILEFUNC_MODE_EXISTING) {
        access = "r+b";
    } else if (mode & ZLIB_FILEFUNC_MODE_CREATE) {
        access = "wb";
    }
    return name && access ? OpenDiskFile(static_cast<const char*>(name), access) : nullptr;
}

uLong ZCALLBACK ReadArchive(voidpf, voidpf stream, void* buffer, uLong size) {
    return static_cast<uLong>(std::fread(buffer, 1, size, static_cast<std::FILE*>(stream)));
}

uLong ZCALLBACK WriteArchive(voidpf, voidpf stream, const void* buffer, uLong size) {
    return static_cast<uLong>(std::fwrite(buffer, 1, size, static_cast<std::FILE*>(stream)));
}

ZPOS64_T ZCALLBACK TellArchive(voidpf, voidpf stream) {
    return static_cast<ZPOS64_T>(TellDiskFile(static_cast<std::FILE*>(stream)));
}

long ZCALLBACK SeekArchive(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    int from = SEEK_SET;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_CUR: from = SEEK_CUR; break;
    case ZLIB_FILEFUNC_SEEK_END: from = SEEK_END; break;
    case ZLIB_FILEFUNC_SEEK_SET: from = SEEK_SET; break;
    default: return -1;
    }
    return SeekDiskFile(static_cast<std::FILE*>(stream), static_cast<std::int64_t>(offset), from) == 0 ? 0 : -1;
}

int ZCALLBACK CloseArchive(voidpf, voidpf stream) { return std::fclose(static_cast<std::FILE*>(stream)); }

int ZCALLBACK ArchiveError(voidpf, voidpf stream) { return std::ferror(static_cast<std::FILE*>(stream)); }

} // namespace

unzFile OpenZipArchive(const char* path) {
    if (!path) {
        return nullptr;
    }
    zlib_filefunc64_def functions = {};
    functions.zopen64_file = &OpenArchive;
    functions.zread_file = &ReadArchive;
    functions.zwrite_file = &WriteArchive;
    functions.ztell64_file = &TellArchive;
    functions.zseek64_file = &SeekArchive;
    functions.zclose_file = &CloseArchive;
    functions.zerror_file = &ArchiveError;
    functions.opaque = nullptr;
    return unzOpen2_64(path, &functions);
}

} // namespace velmora

// zip-cat <archive> <entry>: one archive entry on standard output, read
// through the file system exactly as the engine reads it.

#include <cstdio>
#include <vector>

#include "engine/filesystem/cZipFile.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "tools/velmora-tool/ToolOutput.h"
#include "tools/velmora-tool/Verbs.h"

namespace velmora::tool {

int RunZipCat(int argc, char** argv) {
    if (argc != 2) {
        return PrintVerbUsage(*FindVerb("zip-cat"));
    }
    std::FILE* out = TakeStandardOutput();
    if (!out) {
        std::perror("velmora-tool zip-cat");
        return 1;
    }
    cPlatformFileSystem fileSystem;
    IFile* file = fileSystem.OpenCompressedFile(argv[0], argv[1]);
    if (!file) {
        std::fprintf(stderr, "velmora-tool zip-cat: cannot read '%s' from '%s'\n", argv[1], argv[0]);
        return 1;
    }
    std::vector<char> buffer(1 << 16);
    std::int64_t total = 0;
    bool written = true;
    for (;;) {
        const std::int32_t got = file->Read(buffer.data(), 1, static_cast<std::int32_t>(buffer.size()));
        if (got <= 0) {
            break;
        }
        total += got;
        written = written && std::fwrite(buffer.data(), 1, static_cast<std::size_t>(got), out) ==
                                 static_cast<std::size_t>(got);
    }
    const auto* entry = dynamic_cast<const cZipFile*>(file);
    const bool damaged = (entry && entry->IsDamaged()) || total != file->GetSize();
    file->Release();
    written = std::fflush(out) == 0 && written;
    if (!written) {
        std::perror("velmora-tool zip-cat: writing standard output");
        return 1;
    }
    if (damaged) {
        std::fprintf(stderr, "velmora-tool zip-cat: '%s' in '%s' is damaged\n", argv[1], argv[0]);
        return 1;
    }
    return 0;
}

} // namespace velmora::tool

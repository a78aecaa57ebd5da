// zip-ls <archive>: the entries of an archive with their stated size, method
// and CRC, marking those the file system cannot hand out.

#include <cinttypes>
#include <cstdio>

#include "engine/filesystem/cZipDirectory.h"
#include "tools/velmora-tool/ToolOutput.h"
#include "tools/velmora-tool/Verbs.h"

namespace velmora::tool {

namespace {

const char* MethodName(std::uint32_t method) {
    switch (method) {
    case 0: return "stored";
    case 8: return "deflate";
    default: return "other";
    }
}

} // namespace

int RunZipLs(int argc, char** argv) {
    if (argc != 1) {
        return PrintVerbUsage(*FindVerb("zip-ls"));
    }
    std::FILE* out = TakeStandardOutput();
    if (!out) {
        std::perror("velmora-tool zip-ls");
        return 1;
    }
    cZipDirectory directory;
    if (!directory.Load(argv[0])) {
        std::fprintf(stderr, "velmora-tool zip-ls: failed to open archive '%s'\n", argv[0]);
        return 1;
    }
    std::fprintf(out, "%10s  %-7s  %-8s  %s\n", "Length", "Method", "CRC-32", "Name");
    std::uint64_t total = 0;
    for (const cZipDirectory::sEntry& entry : directory.GetEntries()) {
        const char* note = "";
        if (entry.shadowed) {
            note = "  (hidden by an earlier entry of the same name)";
        } else if (entry.flags & 1) {
            note = "  (encrypted, cannot be read)";
        } else if (entry.method != 0 && entry.method != 8) {
            note = "  (unsupported method, cannot be read)";
        }
        std::fprintf(out, "%10" PRIu64 "  %-7s  %08" PRIx32 "  %s%s\n", entry.uncompressedSize,
                     MethodName(entry.method), entry.crc, entry.name.c_str(), note);
        total += entry.uncompressedSize;
    }
    std::fprintf(out, "%10" PRIu64 "  %zu entries\n", total, directory.GetEntries().size());
    std::fflush(out);
    if (directory.IsDamaged()) {
        std::fprintf(stderr, "velmora-tool zip-ls: archive '%s' is damaged; only the entries above are readable\n",
                     argv[0]);
        return 1;
    }
    return 0;
}

} // namespace velmora::tool

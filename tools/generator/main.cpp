// brevonne-generate: makes the island's data tree from a seed, packs a data
// tree into a ZIP archive, and appends an archive to the bare executable.
//
//   brevonne-generate generate --root DIR [--seed N] [--preview DIR] [--copy SRC]
//   brevonne-generate pack --root DIR --zip FILE
//   brevonne-generate append --exe FILE --zip FILE --out FILE
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/generator/ArchivePacker.h"
#include "tools/generator/cIslandBuilder.h"

using namespace brevonne;

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: brevonne-generate generate --root DIR [--seed N] [--preview DIR] [--copy SRC]\n"
                 "       brevonne-generate pack --root DIR --zip FILE\n"
                 "       brevonne-generate append --exe FILE --zip FILE --out FILE\n");
    return 2;
}

const char* Option(int argc, char** argv, const char* name)
{
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    std::string mode = argv[1];
    std::string error;
    if (mode == "generate") {
        const char* root = Option(argc, argv, "--root");
        if (!root)
            return Usage();
        sBuildOptions o;
        o.root = root;
        if (const char* seed = Option(argc, argv, "--seed"))
            o.seed = static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10));
        if (const char* pv = Option(argc, argv, "--preview"))
            o.previewDir = pv;
        if (const char* copy = Option(argc, argv, "--copy"))
            o.copyFrom = copy;
        sBuildReport report;
        if (!BuildIsland(o, report, error)) {
            std::fprintf(stderr, "brevonne-generate: %s\n", error.c_str());
            return 1;
        }
        for (const std::string& f : report.pathFaults)
            std::fprintf(stderr, "brevonne-generate: warning: camera too close: %s\n", f.c_str());
        std::printf("brevonne-generate: %zu files, %zu plants\n", report.files.size(), report.instanceCount);
        return 0;
    }
    if (mode == "pack") {
        const char* root = Option(argc, argv, "--root");
        const char* zip = Option(argc, argv, "--zip");
        if (!root || !zip)
            return Usage();
        if (!PackDataTree(root, zip, error)) {
            std::fprintf(stderr, "brevonne-generate: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (mode == "append") {
        const char* exe = Option(argc, argv, "--exe");
        const char* zip = Option(argc, argv, "--zip");
        const char* out = Option(argc, argv, "--out");
        if (!exe || !zip || !out)
            return Usage();
        if (!AppendArchive(exe, zip, out, error)) {
            std::fprintf(stderr, "brevonne-generate: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    return Usage();
}

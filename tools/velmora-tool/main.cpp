// velmora-tool: the content authors' command-line tool.
//   velmora-tool <verb> [arguments...]

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "tools/velmora-tool/Verbs.h"

namespace velmora::tool {

const sVerb* FindVerb(const char* name) {
    for (const sVerb& verb : kVerbs) {
        if (name && std::strcmp(verb.name, name) == 0) {
            return &verb;
        }
    }
    return nullptr;
}

int PrintVerbUsage(const sVerb& verb) {
    std::fprintf(stderr, "usage: velmora-tool %s %s\n", verb.name, verb.arguments);
    return 2;
}

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: velmora-tool <verb> [arguments...]\n\nverbs:\n");
    for (const sVerb& verb : kVerbs) {
        std::fprintf(out, "  %-8s %-20s %s\n", verb.name, verb.arguments, verb.summary);
    }
}

} // namespace

} // namespace velmora::tool

int main(int argc, char** argv) {
    using namespace velmora::tool;
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0 ||
        std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const sVerb* verb = FindVerb(argv[1]);
    if (!verb) {
        std::fprintf(stderr, "velmora-tool: unknown verb '%s'\n\n", argv[1]);
        PrintUsage(stderr);
        return 2;
    }
    return verb->run(argc - 2, argv + 2);
}

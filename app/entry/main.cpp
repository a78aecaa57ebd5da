// brevonne3d: the island screensaver.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/ScreensaverMain.h"

namespace {

void PrintModes(std::FILE* out) {
    std::fprintf(out,
                 "usage: brevonne3d /S | /C | /P [-path FOLDER]\n"
                 "  /S            run the screensaver full screen (a key, a button or a mouse move ends it)\n"
                 "  /C            open the settings dialog\n"
                 "  /P            preview request: exits at once\n"
                 "  -path FOLDER  with /S: read the island data from loose files below FOLDER\n"
                 "  -bench FRAMES with /S: fly FRAMES frames with a fixed step and seed, print the figures, end\n"
                 "  -capture FRAME FILE\n"
                 "                with /S: write flight frame FRAME (from 1; 0 = the loading screen) to FILE as PNG\n"
                 "  -emptyscene   with /S: a scene without camera paths shows its sky instead of failing\n");
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        PrintModes(stdout);
        return 0;
    }
    if (args.empty()) {
        std::fprintf(stderr, "brevonne3d: no mode given; try /S to run the screensaver (--help lists the modes)\n");
        return 0;
    }
    return brevonne::ScreensaverMain(args);
}

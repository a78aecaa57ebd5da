// brevonne3d: the island screensaver.
#include <cstdio>
#include <string>
#include <vector>

#include "app/HostOptions.h"
#include "app/ScreensaverMain.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fprintf(stderr, "brevonne3d: no mode given; try /S to run the screensaver (--help lists the modes)\n");
        return 0;
    }
    return brevonne::ScreensaverMain(args);
}

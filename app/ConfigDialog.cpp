#include <cstdio>

#include "app/ScreensaverMain.h"

namespace brevonne {

void RunConfigDialog() { std::fprintf(stderr, "brevonne3d: the configuration dialog is not available yet\n"); }

} // namespace brevonne

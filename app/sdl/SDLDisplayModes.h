#pragma once
// The display modes SDL reports.

#include <vector>

#include "app/VideoModes.h"

namespace brevonne {

// Every mode of the display (0 = the first); empty when SDL's video
// subsystem is not running or the display is unknown.
std::vector<sDisplayMode> GetDisplayModes(int display = 0);

} // namespace brevonne

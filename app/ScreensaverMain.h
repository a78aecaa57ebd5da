#pragma once
// The screensaver's entry: mode dispatch and the run loop.

#include <string>
#include <vector>

namespace brevonne {

// Runs the screensaver for the program arguments (without the program name)
// and returns the process exit code.
int ScreensaverMain(const std::vector<std::string>& args);

// The configuration dialog; implemented by the settings module.
void RunConfigDialog();

} // namespace brevonne

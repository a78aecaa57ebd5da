#pragma once
// Process-wide strings of the screensaver shell.

#include <string>

namespace brevonne {

// The screensaver name (string resource 1); names the settings folder.
std::string& ScreensaverName();
// The working directory with a trailing '/': the file system's root folder.
std::string& WorkingDirectory();

} // namespace brevonne

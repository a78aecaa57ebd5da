#pragma once
// Desktop services the screensaver shell needs from the platform.

#include <string>

namespace brevonne {

// Shows a modal error box (no owner window); falls back to standard error
// when no display can show one. A null caption means the system's default.
void ShowErrorBox(const char* text, const char* caption);

// Tells the desktop whether a screensaver runs (its own blanker is suspended meanwhile).
void SetScreensaverRunning(bool running);

// The path of the running executable; empty when it cannot be found.
std::string GetExecutablePath();

} // namespace brevonne

#pragma once
// Desktop services the screensaver shell needs from the platform.

#include <cstdint>
#include <string>

namespace brevonne {

// Shows a modal error box (no owner window); falls back to standard error
// when no display can show one. A null caption means the system's default.
void ShowErrorBox(const char* text, const char* caption);

// Tells the desktop whether a screensaver runs (its own blanker is suspended meanwhile).
void SetScreensaverRunning(bool running);

// The path of the running executable; empty when it cannot be found.
std::string GetExecutablePath();

// The per-user folder the unpacked data archive goes to, without a trailing '/' (on Linux the
// cache folder: $XDG_CACHE_HOME or ~/.cache, plus "Quillmere"), created when missing. Empty when
// there is none or it cannot be created.
std::string GetArchiveFolder();

// A number that tells this process apart from the others running at the same time.
unsigned long GetProcessNumber();

// The largest resident memory the process has used so far, in bytes; 0 when unknown.
std::uint64_t GetPeakMemoryBytes();

// Seconds since the process started; negative when unknown.
double GetProcessUptime();

// True while the process with this number (see GetProcessNumber) runs.
bool IsProcessRunning(unsigned long number);

// Makes the system's requests to end the process (SIGTERM, SIGINT and SIGHUP on Linux) ask the
// run to stop instead, so that it ends as cleanly as after a key press.
void InstallStopHandlers();
// True once such a request came.
bool IsStopRequested();

} // namespace brevonne

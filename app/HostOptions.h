#pragma once
// The command line of the Linux screensaver hosts (XScreenSaver, MATE, Xfce):
//
//   --root               draw into the window in XSCREENSAVER_WINDOW (the root window without it)
//   --window-id ID       draw into window ID (wins over --root)
//   --window             draw into a window of its own, for trying the screensaver out
//   --fps                show the frames per second
//   --delay MICROSECONDS sleep this long after every frame (0: pace by the display)
//   --speed FACTOR       scale every camera path's speed
//   --sound, --no-sound  --quality low|medium|high  --shaders, --no-shaders
//   --help               print the usage and end
//
// Every option is also taken with a single dash. "-visual NAME" and "-install" are
// accepted and ignored, as the hosts may pass them for a window that already exists. The
// development options of the full-screen run (-path, -bench, -capture, -tour, -maxfps,
// -emptyscene) are skipped with their values here and read by ParseRunOptions. The settings
// record gives the defaults; what is given here overrides it for one run and is never stored.

#include <optional>
#include <string>
#include <vector>

namespace brevonne {

class cSettingsRecord;

// Where a host run draws.
enum class eHostWindow {
    None,     // not a host run
    Root,     // the host's window (XSCREENSAVER_WINDOW) or the root window
    WindowId, // a window named on the command line
    Own,      // a window of the screensaver's own
};

// The most microseconds "--delay" takes (ten seconds per frame).
constexpr long kMaxHostDelay = 10000000;
// The range "--speed" takes.
constexpr float kMinHostSpeed = 0.01f;
constexpr float kMaxHostSpeed = 100.0f;

struct sHostOptions {
    eHostWindow window = eHostWindow::None;
    // The X window to draw into (WindowId, and Root when the host named one); 0 = the root window.
    unsigned long windowId = 0;
    long delayMicroseconds = 0;
    float speed = 1.0f;
    std::optional<bool> showFPS;
    std::optional<bool> sound;
    std::optional<bool> shaders;
    std::optional<int> textureQuality;  // 0 Low, 1 Medium, 2 High
    bool help = false;
    // Why the command line was refused (an unknown option or a bad value); empty when it was not.
    std::string error;

    bool IsHosted() const { return window != eHostWindow::None; }
};

// True when the command line is one of a screensaver host: its first argument starts with "--", or
// is one of the options above with a single dash ("-s" and the like are no host's and do nothing).
bool IsHostCommandLine(const std::vector<std::string>& args);

// Reads a host command line. hostWindow is the value of XSCREENSAVER_WINDOW (null when unset),
// hex ("0x1a00004") or decimal. A command line without --root, --window-id or --window draws
// into a window of its own.
sHostOptions ParseHostOptions(const std::vector<std::string>& args, const char* hostWindow);

// Applies the options to the settings record of the run.
void ApplyHostOptions(const sHostOptions& options, cSettingsRecord& record);

// Parses a whole number the way the hosts print them; false for anything else.
bool ParseHostInteger(const std::string& text, long& value);
// Parses a number the way the hosts print them ("2" for 2.0, "0.5"); false for anything else.
bool ParseHostNumber(const std::string& text, double& value);

// The usage text of every mode and option.
const char* GetUsageText();

} // namespace brevonne

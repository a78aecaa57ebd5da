#include "app/HostOptions.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>

#include "app/CommandLine.h"
#include "app/cSettingsRecord.h"

namespace brevonne {

namespace {

// Development options of the full-screen run and how many values follow each.
struct sSkippedOption {
    const char* name;
    int values;
};
constexpr sSkippedOption kRunOptions[] = {
    {"-path", 1}, {"-bench", 1}, {"-capture", 2}, {"-tour", 2}, {"-tourframes", 1}, {"-maxfps", 1}, {"-emptyscene", 0},
};

// Every option of the hosts' command line, in its one-dash spelling.
constexpr const char* kHostOptionNames[] = {
    "-root", "-window", "-window-id", "-fps", "-no-fps", "-delay", "-speed", "-sound", "-no-sound",
    "-shaders", "-no-shaders", "-quality", "-help", "-h", "-visual", "-install",
};

// The option's name with one leading dash ("--root" and "-root" are the same option).
std::string OptionName(const std::string& arg) {
    if (arg.size() > 2 && arg[0] == '-' && arg[1] == '-') {
        return arg.substr(1);
    }
    return arg;
}

bool ParseWindowId(const std::string& text, unsigned long& id) {
    long value = 0;
    if (!ParseHostInteger(text, value) || value < 0 || static_cast<unsigned long>(value) > 0xFFFFFFFFul) {
        return false;
    }
    id = static_cast<unsigned long>(value);
    return true;
}

} // namespace

bool ParseHostInteger(const std::string& text, long& value) {
    if (text.empty() || text.size() > 20 || text[0] == ' ' || text[0] == '\t') {
        return false;
    }
    // Base 0 reads "0x..." as hex and plain digits as decimal; a leading zero would mean octal,
    // which no host prints, so such numbers are read as decimal.
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end == text.c_str() || *end != '\0') {
        // Whole numbers written as "20000.0" are taken too.
        double number = 0.0;
        if (!ParseHostNumber(text, number) || number != std::floor(number) || std::fabs(number) > 1e15) {
            return false;
        }
        value = static_cast<long>(number);
        return true;
    }
    value = parsed;
    return true;
}

bool ParseHostNumber(const std::string& text, double& value) {
    if (text.empty() || text.size() > 32) {
        return false;
    }
    // Hosts write a decimal point whatever the locale says.
    std::string local = text;
    const char* point = std::localeconv()->decimal_point;
    if (point && point[0] && point[0] != '.' && point[1] == '\0') {
        for (char& c : local) {
            if (c == '.') c = point[0];
        }
    }
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) {
            return false;  // no "inf", "nan", hex floats or blanks
        }
    }
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(local.c_str(), &end);
    if (errno != 0 || end == local.c_str() || *end != '\0' || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

bool IsHostCommandLine(const std::vector<std::string>& args) {
    if (args.empty() || args[0].size() < 2 || args[0][0] != '-') {
        return false;
    }
    // Two dashes are always the hosts' spelling; with one dash only the hosts' own options count,
    // so that the likes of "-s", which are no screensaver mode, still do nothing.
    if (args[0][1] == '-') {
        return args[0].size() > 2;
    }
    const std::string name = OptionName(args[0]);
    for (const char* option : kHostOptionNames) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

sHostOptions ParseHostOptions(const std::vector<std::string>& args, const char* hostWindow) {
    sHostOptions options;
    bool root = false;
    bool own = false;
    bool named = false;
    auto fail = [&options](const std::string& why) {
        if (options.error.empty()) options.error = why;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string name = OptionName(args[i]);
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> std::string { return hasValue ? args[++i] : std::string(); };
        if (name == "-root") {
            root = true;
        } else if (name == "-window") {
            own = true;
        } else if (name == "-window-id") {
            const std::string text = value();
            if (!ParseWindowId(text, options.windowId)) {
                fail("'--window-id' needs a window number, not '" + text + "'");
            }
            named = true;
        } else if (name == "-fps") {
            options.showFPS = true;
        } else if (name == "-no-fps") {
            options.showFPS = false;
        } else if (name == "-delay") {
            const std::string text = value();
            long delay = 0;
            if (!ParseHostInteger(text, delay) || delay < 0 || delay > kMaxHostDelay) {
                fail("'--delay' needs microseconds from 0 to " + std::to_string(kMaxHostDelay) + ", not '" + text +
                     "'");
            } else {
                options.delayMicroseconds = delay;
            }
        } else if (name == "-speed") {
            const std::string text = value();
            double speed = 0.0;
            if (!ParseHostNumber(text, speed) || speed < kMinHostSpeed || speed > kMaxHostSpeed) {
                fail("'--speed' needs a factor from 0.01 to 100, not '" + text + "'");
            } else {
                options.speed = static_cast<float>(speed);
            }
        } else if (name == "-sound") {
            options.sound = true;
        } else if (name == "-no-sound") {
            options.sound = false;
        } else if (name == "-shaders") {
            options.shaders = true;
        } else if (name == "-no-shaders") {
            options.shaders = false;
        } else if (name == "-quality") {
            const std::string text = value();
            if (EqualsIgnoringCase(text, "low")) {
                options.textureQuality = 0;
            } else if (EqualsIgnoringCase(text, "medium")) {
                options.textureQuality = 1;
            } else if (EqualsIgnoringCase(text, "high")) {
                options.textureQuality = 2;
            } else {
                fail("'--quality' needs low, medium or high, not '" + text + "'");
            }
        } else if (name == "-help" || name == "-h") {
            options.help = true;
        } else if (name == "-visual") {
            value();
        } else if (name == "-install") {
        } else {
            bool skipped = false;
            for (const sSkippedOption& option : kRunOptions) {
                if (EqualsIgnoringCase(args[i], option.name)) {
                    i += static_cast<std::size_t>(option.values);
                    skipped = true;
                    break;
                }
            }
            if (!skipped) {
                fail("unknown option '" + args[i] + "'");
            }
        }
    }
    if (named) {
        options.window = eHostWindow::WindowId;
    } else if (root) {
        options.window = eHostWindow::Root;
        if (hostWindow && *hostWindow && !ParseWindowId(hostWindow, options.windowId)) {
            fail(std::string("XSCREENSAVER_WINDOW holds no window number: '") + hostWindow + "'");
        }
    } else {
        (void)own;
        options.window = eHostWindow::Own;
    }
    return options;
}

void ApplyHostOptions(const sHostOptions& options, cSettingsRecord& record) {
    if (options.showFPS) record.showFPS = *options.showFPS;
    if (options.sound) record.soundEnabled = *options.sound;
    if (options.shaders) record.useShaders = *options.shaders;
    if (options.textureQuality) record.textureQuality = *options.textureQuality;
}

const char* GetUsageText() {
    return "usage: brevonne3d /S | /C | /P [-path FOLDER]\n"
           "       brevonne3d [--root | --window-id ID | --window] [options]\n"
           "  /S            run the screensaver full screen (a key, a button or a mouse move ends it)\n"
           "  /C            open the settings dialog\n"
           "  /P            preview request: exits at once\n"
           "Screensaver hosts (XScreenSaver, MATE, Xfce; every option also with one dash):\n"
           "  --root             draw into the window in XSCREENSAVER_WINDOW (else the root window)\n"
           "  --window-id ID     draw into window ID (hex or decimal)\n"
           "  --window           draw into a window of its own (the default)\n"
           "  --fps              show the frames per second\n"
           "  --delay USECS      sleep USECS microseconds after every frame (0: pace by the display)\n"
           "  --speed FACTOR     scale the camera's speed (default 1)\n"
           "  --sound | --no-sound        --shaders | --no-shaders\n"
           "  --quality low|medium|high   texture quality\n"
           "  The settings give the defaults; options apply to one run and are not stored.\n"
           "  SIGTERM, SIGINT or SIGHUP end a run.\n"
           "Development options:\n"
           "  -path FOLDER  read the island data from loose files below FOLDER\n"
           "  -bench FRAMES fly FRAMES frames with a fixed step and seed, print the figures, end\n"
           "  -capture FRAME FILE\n"
           "                write flight frame FRAME (from 1; 0 = the loading screen) to FILE as PNG\n"
           "  -tour SHOTS FOLDER\n"
           "                write SHOTS frames of every camera path to FOLDER as PNG, end\n"
           "  -tourframes N with -tour: N consecutive frames per shot, one flight step apart\n"
           "  -maxfps FPS   cap the frame rate at FPS (benchmarks are then paced too)\n"
           "  -emptyscene   a scene without camera paths shows its sky instead of failing\n";
}

} // namespace brevonne

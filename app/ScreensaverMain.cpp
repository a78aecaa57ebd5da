#include "app/ScreensaverMain.h"

#include <cstdio>
#include <memory>

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/Platform.h"
#include "app/Resources.h"
#include "app/cSettings.h"
#include "app/cScreensaver.h"
#include "engine/core/cException.h"

namespace brevonne {

namespace {
std::unique_ptr<cScreensaver> g_Screensaver;
}

int ScreensaverMain(const std::vector<std::string>& args) {
    const char* name = LoadStringResource(1);
    if (!name || !*name) {
        ShowErrorBox("Failed to load screensaver name", "Error");
        return -1;
    }
    const std::string copy = MakeCommandLineCopy(JoinArguments(args));
    const eMode mode = GetMode(copy);
    if (mode == eMode::Preview) {
        return 0;
    }
    ScreensaverName() = name;
    if (!g_Screensaver) {
        g_Screensaver = std::make_unique<cScreensaver>(copy, args);
    }

    int result = 0;
    bool running = false;
    try {
        if (mode == eMode::Config) {
            RunConfigDialog();
        } else if (mode == eMode::Run) {
            if (!g_Screensaver->Create()) {
                ShowErrorBox("Failed to initialize screensaver", nullptr);
                g_Screensaver.reset();
                return 1;
            }
            SetScreensaverRunning(true);
            running = true;
            for (;;) {
                const bool keepGoing = g_Screensaver->ProcessMessages();
                if (!g_Screensaver->Render() || !keepGoing) {
                    break;
                }
            }
            SetScreensaverRunning(false);
            running = false;
            // What Create had to switch off (no shaders, no sound) is stored switched off.
            GetSettings().WriteSettings();
            g_Screensaver->Destroy();
        }
    } catch (const velmora::cException& e) {
        if (g_Screensaver->IsUnattended()) {
            // Benchmark and capture runs have nobody to close a message box.
            std::fprintf(stderr, "Application raised an exception: %s\n", e.GetText());
            // A script waiting for the figures or the pictures learns that they never came.
            result = 1;
        } else {
            ShowErrorBox(e.GetText(), "Application raised an exception");
        }
        if (running) {
            SetScreensaverRunning(false);
        }
        try {
            g_Screensaver->Destroy();
        } catch (const velmora::cException&) {
        }
    }
    g_Screensaver.reset();
    return result;
}

} // namespace brevonne

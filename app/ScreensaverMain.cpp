#include "app/ScreensaverMain.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/CommandLine.h"
#include "app/HostOptions.h"
#include "app/IScreensaverWindow.h"
#include "app/Globals.h"
#include "app/Platform.h"
#include "app/Resources.h"
#include "app/cSettings.h"
#include "app/cLoadingScreen.h"
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
    eMode mode = GetMode(copy);
    sHostOptions host;
    if (mode == eMode::None && IsHostCommandLine(args)) {
        // A screensaver host's command line (XScreenSaver, MATE, Xfce), or a trial run in a window.
        host = ParseHostOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
        if (host.help) {
            std::fputs(GetUsageText(), stdout);
            return 0;
        }
        if (!host.error.empty()) {
            std::fprintf(stderr, "brevonne3d: %s\n%s", host.error.c_str(), GetUsageText());
            return 1;
        }
        mode = eMode::Run;
    }
    if (mode == eMode::Preview) {
        // Windows' settings page shows a live preview in the window it names; elsewhere the request
        // ends at once.
        if (!GetPreviewHost(copy, host)) {
            return 0;
        }
        mode = eMode::Run;
    }
    ScreensaverName() = name;
    if (mode == eMode::Run) {
        // A signal ends the run like a key press: the unpacked data is deleted and the display restored.
        InstallStopHandlers();
    }
    if (!g_Screensaver) {
        g_Screensaver = std::make_unique<cScreensaver>(copy, args, host);
    }
    // Nobody closes a message box in front of a host's window: errors go to standard error there.
    const bool quiet = host.IsHosted();

    int result = 0;
    bool running = false;
    try {
        if (mode == eMode::Config) {
            RunConfigDialog();
        } else if (mode == eMode::Run) {
            if (!g_Screensaver->Create()) {
                if (quiet) {
                    std::fprintf(stderr, "brevonne3d: Failed to initialize screensaver\n");
                } else {
                    ShowErrorBox("Failed to initialize screensaver", nullptr);
                }
                g_Screensaver.reset();
                return 1;
            }
            if (!host.IsHosted()) {
                SetScreensaverRunning(true);
                running = true;
            }
            for (;;) {
                const bool keepGoing = g_Screensaver->ProcessMessages();
                if (!keepGoing || !g_Screensaver->Render()) {
                    break;
                }
                g_Screensaver->WaitForNextFrame();
            }
            if (running) {
                SetScreensaverRunning(false);
                running = false;
            }
            // What Create had to switch off (no shaders, no sound) is stored switched off. A host's
            // options were for this run only: nothing is stored then.
            if (!host.IsHosted()) {
                GetSettings().WriteSettings();
            }
            g_Screensaver->Destroy();
        }
    } catch (const sLoadingStopped&) {
        // Stopped while the scene loaded: as after a key press, but for the settings, which the
        // run had no time to change.
        if (running) {
            SetScreensaverRunning(false);
        }
        g_Screensaver->Destroy();
    } catch (const velmora::cException& e) {
        if (g_Screensaver->IsUnattended() || quiet) {
            // Benchmark and capture runs have nobody to close a message box.
            std::fprintf(stderr, "Application raised an exception: %s\n", e.GetText());
            // A script waiting for the figures or the pictures learns that they never came.
            result = g_Screensaver->IsUnattended() ? 1 : 0;
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

#pragma once
// The window a run draws into, as the platform makes it: the full-screen
// window of "/S", a window that a screensaver host made, or a window of the
// screensaver's own; with the run's message pump and its frame pacing.

#include <memory>
#include <string>

#include "engine/sRendererDesc.h"

namespace velmora {
class IEngine;
}

namespace brevonne {

class cSettingsRecord;
struct sHostOptions;

class IScreensaverWindow {
public:
    virtual ~IScreensaverWindow() = default;
    // Opens the window: for the full-screen run in the settings' video mode, covering the desktop.
    // Fills the descriptor's renderer id and full-screen flag; false (with a warning) on failure.
    virtual bool Open(const cSettingsRecord& settings, velmora::sRendererDesc& desc) = 0;
    // The handle the engine attaches to (valid after Open).
    virtual velmora::tWindowHandle GetHandle() const = 0;
    // Once the engine is attached to the handle: where the window shows the frames through an output
    // viewport of the renderer (the Windows preview), it makes that viewport current here.
    virtual void Attached(velmora::IEngine& engine) { static_cast<void>(engine); }
    // After the engine attached: vertical sync where the device has it and a cap at the display's
    // refresh rate (frameRateCap > 0: at that rate instead), then delaySeconds after every frame.
    // Unpaced runs get only the delay.
    virtual void SetUpPacing(bool unpaced, int frameRateCap, double delaySeconds) = 0;
    // Takes every waiting message; false once the run is to end: input in the full-screen run, the
    // close button of a window of its own, a stop request, or the host's window gone.
    virtual bool ProcessMessages() = 0;
    // Sleeps until the next frame is due.
    virtual void WaitForNextFrame() = 0;
    // Lets go of the window once the engine is released: a window the run made is destroyed and the
    // display gets its own mode back; a host's window stays.
    virtual void Close() = 0;
};

// The platform's window for a run with these host options (none: the full-screen run).
std::unique_ptr<IScreensaverWindow> CreateScreensaverWindow(const sHostOptions& host);

// The host options of a preview request ("/P" and a window number, in the upper-cased command-line
// copy) on a platform that draws previews into the window named; false where the request draws
// nothing and ends at once.
bool GetPreviewHost(const std::string& commandLine, sHostOptions& host);

} // namespace brevonne

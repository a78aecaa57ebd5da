#pragma once
// The SDL window of a run: full screen for "/S" (in the settings' video mode),
// a host's X window drawn into through SDL, or a window of its own; the SDL
// message pump and the frame pacing (vertical sync, a cap at the display's
// refresh rate, a delay after every frame).

#include <memory>

#include "app/HostOptions.h"
#include "app/IScreensaverWindow.h"
#include "engine/core/cFramePacer.h"

struct SDL_Window;
union SDL_Event;

namespace brevonne {

class cX11HostWindow;

class cSDLScreensaverWindow : public IScreensaverWindow {
public:
    explicit cSDLScreensaverWindow(const sHostOptions& host);
    ~cSDLScreensaverWindow() override;
    cSDLScreensaverWindow(const cSDLScreensaverWindow&) = delete;
    cSDLScreensaverWindow& operator=(const cSDLScreensaverWindow&) = delete;

    bool Open(const cSettingsRecord& settings, velmora::sRendererDesc& desc) override;
    velmora::tWindowHandle GetHandle() const override { return m_Window; }
    void SetUpPacing(bool unpaced, int frameRateCap, double delaySeconds) override;
    bool ProcessMessages() override;
    void WaitForNextFrame() override { m_Pacer.Wait(); }
    void Close() override;

    // The window procedure: in the full-screen run a key or mouse button posts the quit message;
    // a window of its own ends with its close button, Escape or Q; a host's window leaves keys
    // and mouse to the host.
    void HandleEvent(const SDL_Event& event);

private:
    bool OpenFullscreen(const cSettingsRecord& settings, velmora::sRendererDesc& desc);
    bool OpenHostWindow(velmora::sRendererDesc& desc);
    bool OpenOwnWindow(velmora::sRendererDesc& desc);
    bool IsHosted() const { return m_Host.IsHosted(); }

    sHostOptions m_Host;
    SDL_Window* m_Window = nullptr;
    unsigned int m_WindowId = 0;
    std::unique_ptr<cX11HostWindow> m_HostWindow;
    velmora::cFramePacer m_Pacer;
    bool m_SDLStarted = false;
    bool m_QuitPosted = false;
};

} // namespace brevonne

#include "app/sdl/cSDLScreensaverWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "app/Platform.h"
#include "app/VideoModes.h"
#include "app/cSettingsRecord.h"
#include "app/sdl/SDLDisplayModes.h"
#include "app/sdl/cX11HostWindow.h"
#include "engine/core/Log.h"
#include "engine/sdl/SDLPlatform.h"

namespace brevonne {

using namespace velmora;

cSDLScreensaverWindow::cSDLScreensaverWindow(const sHostOptions& host) : m_Host(host) {}

cSDLScreensaverWindow::~cSDLScreensaverWindow() { Close(); }

bool cSDLScreensaverWindow::Open(const cSettingsRecord& settings, sRendererDesc& desc) {
    if (!m_SDLStarted) {
        if (IsHosted()) {
            // Otherwise SDL keeps the desktop's screensaver from starting, and a host that watches
            // for that (XScreenSaver's systemd helper) stops the very screensaver that runs us.
            SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        }
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            LogWarning("cSDLScreensaver::Create : failed to initialize video, %s\n", SDL_GetError());
            return false;
        }
        m_SDLStarted = true;
    }
    desc.rendererId = kRendererOpenGL;
    desc.fullscreen = IsHosted() ? 0 : 1;
    bool opened = false;
    switch (m_Host.window) {
    case eHostWindow::None:
        opened = OpenFullscreen(settings, desc);
        break;
    case eHostWindow::Root:
    case eHostWindow::WindowId:
        opened = OpenHostWindow(desc);
        break;
    case eHostWindow::Own:
        opened = OpenOwnWindow(desc);
        break;
    }
    if (opened) {
        m_WindowId = SDL_GetWindowID(m_Window);
    }
    return opened;
}

bool cSDLScreensaverWindow::OpenFullscreen(const cSettingsRecord& record, sRendererDesc& desc) {
    PrepareGLWindowAttributes(desc);
    // "Same as desktop" covers the desktop without a mode change; a stored
    // mode switches the display to the closest mode it really offers.
    SDL_DisplayMode desktop = {};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        desktop.w = 1024;
        desktop.h = 768;
    }
    SDL_DisplayMode mode = desktop;
    Uint32 fullscreen = SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (!record.sameAsDesktop) {
        const std::vector<sDisplayMode> modes = GetDisplayModes(0);
        const int chosen = ChooseDisplayMode(modes, record.width, record.height, record.bits);
        if (chosen >= 0 && SDL_GetDisplayMode(0, chosen, &mode) == 0) {
            fullscreen = SDL_WINDOW_FULLSCREEN;
        } else {
            LogWarning("cSDLScreensaver::Create : no display mode for %d x %d x %d, using the desktop\n",
                       static_cast<int>(record.width), static_cast<int>(record.height),
                       static_cast<int>(record.bits));
        }
    }
    m_Window = SDL_CreateWindow("", 0, 0, mode.w, mode.h, SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | fullscreen);
    if (!m_Window) {
        LogWarning("cSDLScreensaver::Create : failed to create window, %s\n", SDL_GetError());
        return false;
    }
    if (fullscreen == SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowDisplayMode(m_Window, &mode);
    }
    SDL_ShowWindow(m_Window);
    SDL_RaiseWindow(m_Window);
    SDL_SetWindowInputFocus(m_Window);
    SDL_WarpMouseInWindow(m_Window, 50, 50);
    return true;
}

bool cSDLScreensaverWindow::OpenHostWindow(sRendererDesc& desc) {
    m_HostWindow = std::make_unique<cX11HostWindow>();
    if (!m_HostWindow->Open(m_Host.windowId)) {
        return false;
    }
    // The context is made on the window's own visual (a compatibility context, which takes any
    // visual the window has, even the 32-bit ones some hosts make).
    PrepareGLWindowAttributes(desc);
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    const unsigned long window = m_HostWindow->GetWindow();
    m_Window = SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)));
    if (!m_Window) {
        LogWarning("cSDLScreensaver::Create : failed to draw into window 0x%lx, %s\n", window, SDL_GetError());
        return false;
    }
    // SDL asks for no events on a window it did not make: without these it never learns the size.
    m_HostWindow->SelectSizeEvents(m_Window);
    LogMessage("Drawing into window 0x%lx, %d x %d, depth %d\n", window, m_HostWindow->GetWidth(),
               m_HostWindow->GetHeight(), m_HostWindow->GetDepth());
    return true;
}

bool cSDLScreensaverWindow::OpenOwnWindow(sRendererDesc& desc) {
    PrepareGLWindowAttributes(desc);
    SDL_DisplayMode desktop = {};
    int width = 1280, height = 720;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        width = std::min(width, desktop.w * 3 / 4);
        height = std::min(height, desktop.h * 3 / 4);
    }
    m_Window = SDL_CreateWindow("Brevonne 3D", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
    if (!m_Window) {
        LogWarning("cSDLScreensaver::Create : failed to create window, %s\n", SDL_GetError());
        return false;
    }
    SDL_ShowWindow(m_Window);
    return true;
}

void cSDLScreensaverWindow::SetUpPacing(bool unpaced, int frameRateCap, double delaySeconds) {
    m_Pacer.SetStopCheck([] { return IsStopRequested(); });
    m_Pacer.SetDelay(delaySeconds);
    if (unpaced || !m_Window) {
        return;
    }
    // Adaptive vertical sync (a late frame is shown at once) where the driver has it, else plain.
    if (SDL_GL_SetSwapInterval(-1) != 0) {
        SDL_GL_SetSwapInterval(1);
    }
    // Without vertical sync (a software rasterizer, a driver that ignores it) frames would come as
    // fast as the machine draws them: the cap keeps them at the display's rate.
    int rate = frameRateCap;
    if (rate <= 0) {
        SDL_DisplayMode mode = {};
        const int display = SDL_GetWindowDisplayIndex(m_Window);
        if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 && mode.refresh_rate > 0) {
            rate = mode.refresh_rate;
        } else {
            rate = 60;
        }
    }
    m_Pacer.SetFrameRateLimit(rate);
    LogMessage("Frames paced at %d per second%s\n", rate, delaySeconds > 0.0 ? " with a delay" : "");
}

void cSDLScreensaverWindow::Close() {
    if (m_Window) {
        // The engine destroys the window it was attached to; destroy it here
        // only when it is still alive. A host's window stays: SDL only lets go of it.
        if (m_WindowId != 0 && SDL_GetWindowFromID(m_WindowId) == m_Window) {
            if (!IsHosted()) {
                // Leaving full screen gives the desktop its own mode back.
                SDL_SetWindowFullscreen(m_Window, 0);
            }
            SDL_DestroyWindow(m_Window);
        }
        m_Window = nullptr;
        m_WindowId = 0;
    }
    m_HostWindow.reset();
    if (m_SDLStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        m_SDLStarted = false;
    }
}

bool cSDLScreensaverWindow::ProcessMessages() {
    SDL_Event event;
    while (!m_QuitPosted && SDL_PollEvent(&event)) {
        HandleEvent(event);
    }
    if (IsStopRequested()) {
        m_QuitPosted = true;
    }
    if (m_HostWindow && !m_QuitPosted) {
        int width = 0, height = 0;
        if (!m_HostWindow->Poll(width, height)) {
            LogMessage("The window 0x%lx is gone\n", m_HostWindow->GetWindow());
            m_QuitPosted = true;
        }
    }
    return !m_QuitPosted;
}

void cSDLScreensaverWindow::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
        if (m_Host.window == eHostWindow::None) {
            m_QuitPosted = true;
        } else if (m_Host.window == eHostWindow::Own &&
                   (event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_q)) {
            m_QuitPosted = true;
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (m_Host.window == eHostWindow::None) {
            m_QuitPosted = true;
        }
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE && m_Host.window == eHostWindow::Own) {
            m_QuitPosted = true;
        }
        break;
    case SDL_QUIT:
        // The full-screen run swallows the desktop's close request (the Alt+F4 of other
        // systems) and a request to start the screensaver again; a window of our own closes.
        if (m_Host.window == eHostWindow::Own) {
            m_QuitPosted = true;
        }
        break;
    default:
        break;
    }
}

} // namespace brevonne

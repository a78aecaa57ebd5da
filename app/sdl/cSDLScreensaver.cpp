#include "app/sdl/cSDLScreensaver.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "app/ApplySettings.h"
#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/Platform.h"
#include "app/VideoModes.h"
#include "app/cSettings.h"
#include "app/sdl/SDLDisplayModes.h"
#include "app/sdl/cX11HostWindow.h"
#include "engine/EngineFactory.h"
#include "engine/IEngine.h"
#include "engine/IInput.h"
#include "engine/filesystem/IFileSystem.h"
#include "engine/core/Log.h"
#include "engine/sdl/SDLPlatform.h"
#include "scene/cSceneManager.h"
#include "video/IFont.h"
#include "video/IRenderer.h"

namespace brevonne {

using namespace velmora;

cSDLScreensaver::cSDLScreensaver(const std::string& commandLine, const std::vector<std::string>& args,
                                 const sHostOptions& host)
    : m_CommandLine(commandLine), m_Args(args), m_Host(host) {}

cSDLScreensaver::~cSDLScreensaver() {
    if (m_Engine || m_Window) {
        Destroy();
    }
}

void cSDLScreensaver::DrawBlankFrame() {
    if (!m_Renderer) {
        return;
    }
    m_Renderer->BeginFrame();
    m_Renderer->EndFrame();
}

bool cSDLScreensaver::Create() {
    // 1. Settings and the "-path" option; a host's options apply to this run only.
    cSettings& settings = GetSettings();
    settings.ReadSettings();
    if (IsHosted()) {
        ApplyHostOptions(m_Host, settings.GetRecord());
    }
    const std::string pathOption = FindPathOption(m_Args);
    if (!pathOption.empty()) {
        WorkingDirectory() = WithTrailingSlash(pathOption);
    }

    // 2-3. The window.
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
    sRendererDesc desc;
    desc.rendererId = kRendererOpenGL;
    desc.multisampling = 0;
    desc.depthFlags = kWithStencil | kDepth24;
    desc.fullscreen = IsHosted() ? 0 : 1;
    bool created = false;
    switch (m_Host.window) {
    case eHostWindow::None:
        created = CreateFullscreenWindow(desc);
        break;
    case eHostWindow::Root:
    case eHostWindow::WindowId:
        created = CreateHostWindow(desc);
        break;
    case eHostWindow::Own:
        created = CreateOwnWindow(desc);
        break;
    }
    if (!created) {
        return false;
    }
    m_WindowId = SDL_GetWindowID(m_Window);

    // 4. The engine attached to the window.
    m_Engine = velmora::CreateEngine(m_Window, desc);
    if (!m_Engine) {
        return false;
    }

    // 5. Engine files are found below the working directory.
    m_FileSystem = m_Engine->GetFileSystem();
    m_FileSystem->SetRootFolder(WorkingDirectory().c_str());

    // 6. The services the frame uses.
    m_Renderer = m_Engine->GetRenderer();
    m_SceneManager = m_Engine->GetSceneManager();
    m_ResourceManager = m_SceneManager ? m_SceneManager->GetResourceManager() : nullptr;
    m_Input = m_Engine->GetInput();
    m_SoundEngine = m_Engine->GetSoundEngine();

    // 7. No cursor over the flight; over a host's window the cursor is the host's.
    if (!IsHosted()) {
        m_Engine->ShowCursor(false);
    }

    // 8-11. Shader use, texture quality, sound and volume, render settings.
    ApplySettings(settings.GetRecord(), *m_Engine);
    SetUpPacing();
    return true;
}

bool cSDLScreensaver::CreateFullscreenWindow(sRendererDesc& desc) {
    const cSettingsRecord& record = GetSettings().GetRecord();
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

bool cSDLScreensaver::CreateHostWindow(sRendererDesc& desc) {
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

bool cSDLScreensaver::CreateOwnWindow(sRendererDesc& desc) {
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

void cSDLScreensaver::SetUpPacing() {
    m_Pacer.SetStopCheck([] { return IsStopRequested(); });
    m_Pacer.SetDelay(static_cast<double>(m_Host.delayMicroseconds) * 1e-6);
    if (m_Unpaced) {
        return;
    }
    // Adaptive vertical sync (a late frame is shown at once) where the driver has it, else plain.
    if (SDL_GL_SetSwapInterval(-1) != 0) {
        SDL_GL_SetSwapInterval(1);
    }
    // Without vertical sync (a software rasterizer, a driver that ignores it) frames would come as
    // fast as the machine draws them: the cap keeps them at the display's rate.
    int rate = m_FrameRateCap;
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
    LogMessage("Frames paced at %d per second%s\n", rate, m_Host.delayMicroseconds > 0 ? " with a delay" : "");
}

void cSDLScreensaver::WaitForNextFrame() { m_Pacer.Wait(); }

bool cSDLScreensaver::Destroy() {
    if (m_Engine) {
        if (!IsHosted()) {
            m_Engine->ShowCursor(true);
        }
        m_Engine->Release();
        m_Engine = nullptr;
        m_Renderer = nullptr;
        m_FileSystem = nullptr;
        m_Input = nullptr;
        m_SoundEngine = nullptr;
        m_SceneManager = nullptr;
        m_ResourceManager = nullptr;
        m_DefaultFont = nullptr;
        m_OverlayFont = nullptr;
    }
    bool ok = true;
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
    return ok;
}

bool cSDLScreensaver::Render() {
    if (!m_Engine || !m_Renderer) {
        return false;
    }
    m_Engine->Update();
    m_Renderer->BeginFrame();
    m_Renderer->SetProjection(0, 0, 0, 0.01, 1000.0, -1.0, -1.0);
    if (m_DefaultFont) {
        m_DefaultFont->Printf(100.0f, 10.0f, "%d x %d | fps: %2.2f", m_Engine->GetViewWidth(),
                              m_Engine->GetViewHeight(), m_Engine->GetFPS());
    }
    m_Renderer->EndFrame();
    return true;
}

bool cSDLScreensaver::ProcessMessages() {
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

void cSDLScreensaver::HandleEvent(const SDL_Event& event) {
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

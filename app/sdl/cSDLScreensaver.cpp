#include "app/sdl/cSDLScreensaver.h"

#include <SDL.h>

#include "app/ApplySettings.h"
#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/VideoModes.h"
#include "app/cSettings.h"
#include "app/sdl/SDLDisplayModes.h"
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

cSDLScreensaver::cSDLScreensaver(const std::string& commandLine, const std::vector<std::string>& args)
    : m_CommandLine(commandLine), m_Args(args) {}

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
    // 1. Settings and the "-path" option.
    cSettings& settings = GetSettings();
    settings.ReadSettings();
    const cSettingsRecord& record = settings.GetRecord();
    const std::string pathOption = FindPathOption(m_Args);
    if (!pathOption.empty()) {
        WorkingDirectory() = WithTrailingSlash(pathOption);
    }

    // 2-3. The full-screen window.
    if (!m_SDLStarted) {
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
    desc.fullscreen = 1;
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
    m_WindowId = SDL_GetWindowID(m_Window);
    SDL_ShowWindow(m_Window);
    SDL_RaiseWindow(m_Window);
    SDL_SetWindowInputFocus(m_Window);
    SDL_WarpMouseInWindow(m_Window, 50, 50);

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

    // 7. No cursor over the flight.
    m_Engine->ShowCursor(false);

    // 8-11. Shader use, texture quality, sound and volume, render settings.
    ApplySettings(settings.GetRecord(), *m_Engine);
    return true;
}

bool cSDLScreensaver::Destroy() {
    if (m_Engine) {
        m_Engine->ShowCursor(true);
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
        // only when it is still alive.
        if (m_WindowId != 0 && SDL_GetWindowFromID(m_WindowId) == m_Window) {
            // Leaving full screen gives the desktop its own mode back.
            SDL_SetWindowFullscreen(m_Window, 0);
            SDL_DestroyWindow(m_Window);
        }
        m_Window = nullptr;
        m_WindowId = 0;
    }
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
    while (SDL_PollEvent(&event)) {
        HandleEvent(event);
        if (m_QuitPosted) {
            return false;
        }
    }
    return !m_QuitPosted;
}

void cSDLScreensaver::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_MOUSEBUTTONDOWN:
        m_QuitPosted = true;
        break;
    case SDL_QUIT:
        // The desktop's close request (the Alt+F4 of other systems) and a
        // request to start the screensaver again are swallowed.
        break;
    default:
        break;
    }
}

} // namespace brevonne

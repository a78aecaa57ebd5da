#include "engine/sdl/cSDLEngine.h"

#include <SDL.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/Version.h"
#include "engine/core/cException.h"
#include "engine/core/cFramePacer.h"
#include "engine/sdl/SDLPlatform.h"
#include "engine/sdl/cSDLInput.h"
#include "gui/IGUIManager.h"
#include "scene/cSceneManager.h"
#include "video/IRenderer.h"

namespace velmora {

cSDLEngine::cSDLEngine() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0) {
        m_SDLVideo = true;
    } else {
        LogWarning("cSDLEngine::cSDLEngine : failed to initialize SDL video, %s\n", SDL_GetError());
    }

    m_Frequency = SDL_GetPerformanceFrequency();
    if (m_Frequency > 0) {
        m_HighResolution = true;
        m_StartCount = SDL_GetPerformanceCounter();
        m_SecondsPerTick = 1.0f / static_cast<float>(m_Frequency);
    } else {
        m_Frequency = 1000;
        m_StartCount = SDL_GetTicks();
        m_SecondsPerTick = 0.001f;
    }

    LogMessage("SDL engine created\n");
    struct utsname name;
    if (uname(&name) == 0) {
        LogMessage("OS: Linux %s %s\n", name.release, name.machine);
    } else {
        LogWarning("%s\n", "cSDLEngine::cSDLEngine : failed to read the system version");
    }
    struct sysinfo info;
    if (sysinfo(&info) == 0) {
        const unsigned long long unit = info.mem_unit ? info.mem_unit : 1;
        LogMessage("Memory: %lluK total, %lluK free\n\n", info.totalram * unit / 1024ULL,
                   (info.freeram + info.bufferram) * unit / 1024ULL);
    }

    m_FileSystem = CreatePlatformFileSystem();
    if (!m_FileSystem) {
        RaiseError("cSDLEngine::cSDLEngine : failed to allocate memory for file system");
    }
    m_Input = new cSDLInput();
}

cSDLEngine::~cSDLEngine() {
    // The scene's buffers, textures and queries belong to the renderer that goes with the window.
    if (m_SceneManager) {
        m_SceneManager->Clear();
    }
    if (m_Window) {
        DestroyWindow();
    }
    RestoreGammaRamp();
    DestroyServices();
    delete m_Input;
    m_Input = nullptr;
    DestroyPlatformFileSystem(m_FileSystem);
    m_FileSystem = nullptr;
    if (GetEngine() == this) {
        SetEngineGlobals(nullptr, nullptr, nullptr);
    }
    if (m_SDLVideo) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
    }
}

float cSDLEngine::GetTime() {
    if (m_HighResolution) {
        const std::uint64_t now = SDL_GetPerformanceCounter();
        return static_cast<float>(static_cast<double>(now - m_StartCount) * m_SecondsPerTick * 1000.0);
    }
    return ElapsedMilliseconds32(static_cast<std::uint32_t>(m_StartCount), SDL_GetTicks());
}

bool cSDLEngine::IsRendererSupported(int rendererId) const { return video::IsRendererAvailable(rendererId); }

bool cSDLEngine::IsWindowAlive() const {
    return m_Window && m_WindowId != 0 && SDL_GetWindowFromID(m_WindowId) == m_Window;
}

void cSDLEngine::CacheRects() {
    if (!m_Window) {
        return;
    }
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(m_Window, &x, &y);
    SDL_GetWindowSize(m_Window, &w, &h);
    m_ClientRect = {0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h)};
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(m_Window, &top, &left, &bottom, &right);
    m_WindowRect = {static_cast<float>(x - left), static_cast<float>(y - top), static_cast<float>(x + w + right),
                    static_cast<float>(y + h + bottom)};
}

bool cSDLEngine::AttachToWindow(const sRendererDesc& desc, tWindowHandle window) {
    if (IsWindowAlive()) {
        LogWarning("cSDLEngine::AttachToWindow : engine has already been attached\n");
        return false;
    }
    SDL_Window* sdlWindow = static_cast<SDL_Window*>(window);
    const std::uint32_t id = sdlWindow ? SDL_GetWindowID(sdlWindow) : 0;
    if (id == 0 || SDL_GetWindowFromID(id) != sdlWindow) {
        LogWarning("cSDLEngine::AttachToWindow : invalid window handle\n");
        return false;
    }
    LogMessage("Attaching to window...");
    if (desc.rendererId != kRendererDirect3D9 && desc.rendererId != kRendererOpenGL) {
        LogWarning("cSDLEngine::AttachToWindow : invalid renderer id( %d )\n", desc.rendererId);
        return false;
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(sdlWindow, &w, &h);
    m_Width = w;
    m_Height = h;
    m_RendererId = desc.rendererId;
    m_Window = sdlWindow;
    m_WindowId = id;
    m_OwnsWindow = false;
    m_Fullscreen = desc.fullscreen != 0;
    m_Refresh = 0;
    m_Attached = true;
    CacheRects();
    static_cast<cSDLInput*>(m_Input)->SetWindow(m_Window);
    SaveGammaRamp();
    LogMessage("succeeded\n");
    return CreateRenderer(desc);
}

bool cSDLEngine::CreateRenderer(const sRendererDesc& desc) {
    delete m_Renderer;
    m_Renderer = nullptr;
    // The renderer table says which backends this build has.
    if (!video::IsRendererAvailable(desc.rendererId)) {
        LogWarning("cSDLEngine::CreateRenderer : %s renderer isn't supported in this build\n",
                   GetRendererName(desc.rendererId));
        return false;
    }
    m_Renderer = video::CreateRenderer(desc, m_Window, m_Width, m_Height, m_Fullscreen);
    return m_Renderer != nullptr;
}

bool cSDLEngine::CreateWindow(const sRendererDesc& desc, int width, int height, bool fullscreen, int refresh,
                              int bits) {
    LogMessage("Creating window %dx%dx%d@%dHz( %s )... ", width, height, bits, refresh == -1 ? 60 : refresh,
               fullscreen ? "fullscreen" : "windowed");
    if (desc.rendererId != kRendererDirect3D9 && desc.rendererId != kRendererOpenGL) {
        LogWarning("cSDLEngine::CreateWindow : invalid renderer id( %d )\n", desc.rendererId);
        return false;
    }
    if (width < 1 || height < 1) {
        LogWarning("cSDLEngine::CreateWindow : invalid width or height( width = %d, height = %d )\n", width,
                   height);
        return false;
    }
    if (!m_SDLVideo) {
        LogWarning("cSDLEngine::CreateWindow : failed to register window class, %s", "no video subsystem\n");
        return false;
    }
    m_RendererId = desc.rendererId;
    m_Width = width;
    m_Height = height;
    m_Fullscreen = fullscreen;
    m_Refresh = refresh;
    m_Bits = bits;

    PrepareGLWindowAttributes(desc);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (fullscreen) {
        x = 0;
        y = 0;
        flags |= SDL_WINDOW_BORDERLESS;
    }
    m_Window = SDL_CreateWindow(GetVersionText(), x, y, width, height, flags);
    if (!m_Window) {
        LogWarning("cSDLEngine::CreateWindow : failed to create window, %s\n", SDL_GetError());
        return false;
    }
    m_WindowId = SDL_GetWindowID(m_Window);
    m_OwnsWindow = true;
    m_Attached = false;
    if (fullscreen && !ChangeVideoMode(bits, width, height, refresh)) {
        return false;
    }
    SDL_ShowWindow(m_Window);
    SDL_RaiseWindow(m_Window);
    CacheRects();
    static_cast<cSDLInput*>(m_Input)->SetWindow(m_Window);
    SaveGammaRamp();
    LogMessage("succeeded\n");
    return CreateRenderer(desc);
}

bool cSDLEngine::ChangeVideoMode(int bits, int width, int height, int refresh) {
    (void)bits; // SDL picks the pixel format closest to the desktop's
    SDL_DisplayMode wanted = {};
    wanted.w = width;
    wanted.h = height;
    wanted.refresh_rate = refresh > 0 ? refresh : 0;
    const int display = m_Window ? SDL_GetWindowDisplayIndex(m_Window) : 0;
    SDL_DisplayMode closest = {};
    if (!SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &wanted, &closest) ||
        SDL_SetWindowDisplayMode(m_Window, &closest) != 0 ||
        SDL_SetWindowFullscreen(m_Window, SDL_WINDOW_FULLSCREEN) != 0) {
        LogWarning("cSDLEngine::ChangeVideoMode : failed to change display settings, %s\n", SDL_GetError());
        return false;
    }
    return true;
}

void cSDLEngine::DestroyWindow() {
    LogMessage("Destroying window... ");
    if (!m_Window) {
        LogWarning("cSDLEngine::DestroyWindow : failed to destroy window, invalid window handle\n");
        return;
    }
    // The renderer's context belongs to this window.
    delete m_Renderer;
    m_Renderer = nullptr;
    if (m_Fullscreen && (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN) {
        // Leave the exclusive mode through a small mode first, as the desktop expects.
        ChangeVideoMode(-1, 640, 480, m_Refresh);
    }
    RestoreGammaRamp();
    static_cast<cSDLInput*>(m_Input)->SetWindow(nullptr);
    SDL_DestroyWindow(m_Window);
    m_Window = nullptr;
    m_WindowId = 0;
    m_Attached = false;
    m_OwnsWindow = false;
    LogMessage(" succeeded\n");
}

bool cSDLEngine::Restart(int, int, int, bool, int) {
    LogWarning("cSDLEngine::Restart : not implemented yet\n");
    return false;
}

int cSDLEngine::ProcessMessages() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        HandleEvent(event);
    }
    return 0;
}

void cSDLEngine::HandleEvent(const SDL_Event& event) {
    gui::IGUIManager* gui = GetGUIManager(false);
    switch (event.type) {
    case SDL_QUIT:
        m_QuitRequested = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            m_QuitRequested = true;
        }
        break;
    case SDL_KEYDOWN: {
        const int code = cSDLInput::ScancodeToKeyCode(event.key.keysym.scancode);
        static_cast<cSDLInput*>(m_Input)->SetLastKey(code);
        if (gui) {
            gui->OnKeyDown(code);
        }
        break;
    }
    case SDL_TEXTINPUT:
        if (gui) {
            for (const char* c = event.text.text; *c; ++c) {
                if (static_cast<signed char>(*c) > 31) {
                    gui->OnChar(static_cast<unsigned char>(*c));
                }
            }
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (gui) {
            const float x = static_cast<float>(event.button.x);
            const float y = static_cast<float>(m_Height - event.button.y);
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            if (event.button.button == SDL_BUTTON_LEFT) {
                down ? gui->OnLeftButtonDown(x, y) : gui->OnLeftButtonUp(x, y);
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                down ? gui->OnRightButtonDown(x, y) : gui->OnRightButtonUp(x, y);
            }
        }
        break;
    default:
        break;
    }
}

void cSDLEngine::Run() {
    if (m_RunStartSeconds < 0.0) {
        m_RunStartSeconds = GetTime() * 0.001;
    }
    LogMessage("Engine started\n\n");
    m_QuitRequested = false;
    // The limit sleeps between frames instead of spinning: a waiting loop costs no processor time.
    cFramePacer pacer;
    pacer.SetFrameRateLimit(m_FrameRateLimit);
    pacer.SetStopCheck([this] { return m_QuitRequested; });
    for (;;) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            HandleEvent(event);
            if (m_QuitRequested) {
                break;
            }
            continue;
        }
        Update();
        if (m_FrameCallback && !(*m_FrameCallback)()) {
            break;
        }
        pacer.Wait();
    }
    LogMessage("Engine stopped\n");
}

sWindowRect cSDLEngine::GetClientRect() {
    if (m_Attached) {
        CacheRects();
    }
    return m_ClientRect;
}

sWindowRect cSDLEngine::GetWindowRect() {
    if (m_Attached) {
        CacheRects();
    }
    return m_WindowRect;
}

cVector2 cSDLEngine::GetWindowPosition() {
    if (m_Fullscreen) {
        return cVector2(0.0f, 0.0f);
    }
    return cVector2(m_WindowRect.left, m_WindowRect.top);
}

void cSDLEngine::SetWindowCaption(const std::string& caption) {
    if (!m_Window) {
        LogWarning("cSDLEngine::SetWindowCaption : failed to set window caption, invalid window handle\n");
        return;
    }
    SDL_SetWindowTitle(m_Window, caption.c_str());
    m_Caption = caption;
}

void cSDLEngine::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void cSDLEngine::SaveGammaRamp() {
    if (m_GammaSaved || !m_Window) {
        return;
    }
    if (SDL_GetWindowGammaRamp(m_Window, m_SavedGamma[0], m_SavedGamma[1], m_SavedGamma[2]) == 0) {
        m_GammaSaved = true;
    }
}

bool cSDLEngine::ApplyGammaRamp(const unsigned short* red, const unsigned short* green, const unsigned short* blue) {
    if (!m_Window) {
        return false;
    }
    if (SDL_SetWindowGammaRamp(m_Window, red, green, blue) != 0) {
        LogWarning("cSDLEngine::SetGamma : failed to set gamma ramp, %s\n", SDL_GetError());
        return false;
    }
    return true;
}

void cSDLEngine::RestoreGammaRamp() {
    if (!m_GammaSaved || !m_Window || m_GammaRestoreDepth > 0) {
        return;
    }
    ++m_GammaRestoreDepth;
    SDL_SetWindowGammaRamp(m_Window, m_SavedGamma[0], m_SavedGamma[1], m_SavedGamma[2]);
    --m_GammaRestoreDepth;
}

void cSDLEngine::RefreshClientSize() {
    if (m_Attached && m_Window) {
        int w = 0, h = 0;
        SDL_GetWindowSize(m_Window, &w, &h);
        m_Width = w;
        m_Height = h;
    }
}

void cSDLEngine::CaptureInput() {
    if (m_Input) {
        m_Input->Capture(m_Width, m_Height);
    }
}

} // namespace velmora

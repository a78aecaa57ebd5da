#include "engine/win32/window/cWin32Engine.h"

#include <string>

#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/Version.h"
#include "engine/core/cException.h"
#include "engine/core/cFramePacer.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "engine/KeyCodes.h"
#include "engine/win32/Win32Text.h"
#include "engine/win32/window/cWin32Input.h"
#include "gui/IGUIManager.h"
#include "scene/cSceneManager.h"
#include "video/IRenderer.h"

// Last: <windows.h> defines macros (CreateWindow, CM_NONE, ...) that clash with the engine's names.
#include "engine/win32/Win32Api.h"
#undef CreateWindow

namespace velmora {

namespace {

const wchar_t* const kWindowClass = L"VelmorEngine";

LRESULT CALLBACK EngineWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* engine = dynamic_cast<cWin32Engine*>(GetEngine());
    if (engine && engine->GetWindow() == window &&
        engine->HandleMessage(window, message, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam))) {
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void LogSystem() {
    // GetVersionEx reports what the program's manifest claims; ntdll's RtlGetVersion tells the truth.
    using tRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto getVersion = ntdll ? reinterpret_cast<tRtlGetVersion>(
                                  reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                            : nullptr;
    if (getVersion && getVersion(&version) == 0) {
        LogMessage("OS: Windows %ld.%ld.%ld\n", static_cast<long>(version.dwMajorVersion),
                   static_cast<long>(version.dwMinorVersion), static_cast<long>(version.dwBuildNumber));
    } else {
        LogWarning("%s\n", win32::LastErrorText().c_str());
    }
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof(memory);
    if (GlobalMemoryStatusEx(&memory)) {
        LogMessage("Memory: %lldK total, %lldK free\n\n", static_cast<long long>(memory.ullTotalPhys / 1024),
                   static_cast<long long>(memory.ullAvailPhys / 1024));
    }
}

} // namespace

cWin32Engine::cWin32Engine() {
    LARGE_INTEGER frequency = {};
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
        m_HighResolution = true;
        m_Frequency = frequency.QuadPart;
        LARGE_INTEGER start = {};
        QueryPerformanceCounter(&start);
        m_StartCount = start.QuadPart;
        m_SecondsPerTick = 1.0f / static_cast<float>(m_Frequency);
    } else {
        m_Frequency = 1000;
        m_StartCount = GetTickCount();
        m_SecondsPerTick = 0.001f;
    }
    LogMessage("Win32 engine created\n");
    LogSystem();

    m_FileSystem = CreatePlatformFileSystem();
    if (!m_FileSystem) {
        RaiseError("cWin32Engine::cWin32Engine : failed to allocate memory for file system");
    }
    m_Input = new cWin32Input();

    if (HDC screen = GetDC(nullptr)) {
        m_GammaSaved = GetDeviceGammaRamp(screen, m_SavedGamma) != FALSE;
        ReleaseDC(nullptr, screen);
    }
}

cWin32Engine::~cWin32Engine() {
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
}

float cWin32Engine::GetTime() {
    if (m_HighResolution) {
        LARGE_INTEGER now = {};
        QueryPerformanceCounter(&now);
        return static_cast<float>(static_cast<double>(now.QuadPart - m_StartCount) * m_SecondsPerTick * 1000.0);
    }
    return ElapsedMilliseconds32(static_cast<std::uint32_t>(m_StartCount), GetTickCount());
}

bool cWin32Engine::IsRendererSupported(int rendererId) const { return video::IsRendererAvailable(rendererId); }

void cWin32Engine::CacheRects() {
    HWND window = static_cast<HWND>(m_Window);
    RECT client = {}, outer = {};
    if (window && ::GetClientRect(window, &client)) {
        m_ClientRect = {static_cast<float>(client.left), static_cast<float>(client.top),
                        static_cast<float>(client.right), static_cast<float>(client.bottom)};
    }
    if (window && ::GetWindowRect(window, &outer)) {
        m_WindowRect = {static_cast<float>(outer.left), static_cast<float>(outer.top),
                        static_cast<float>(outer.right), static_cast<float>(outer.bottom)};
    }
}

bool cWin32Engine::AttachToWindow(const sRendererDesc& desc, tWindowHandle window) {
    if (m_Window && IsWindow(static_cast<HWND>(m_Window))) {
        LogWarning("cWin32Engine::AttachToWindow : engine has already been attached\n");
        return false;
    }
    if (!window || !IsWindow(static_cast<HWND>(window))) {
        LogWarning("cWin32Engine::AttachToWindow : invalid window handle\n");
        return false;
    }
    LogMessage("Attaching to window...");
    if (desc.rendererId != kRendererDirect3D9 && desc.rendererId != kRendererOpenGL) {
        LogWarning("cWin32Engine::AttachToWindow : invalid renderer id( %d )\n", desc.rendererId);
        return false;
    }
    RECT client = {};
    ::GetClientRect(static_cast<HWND>(window), &client);
    m_Width = client.right - client.left;
    m_Height = client.bottom - client.top;
    m_RendererId = desc.rendererId;
    m_Window = window;
    m_Instance = nullptr;
    m_Fullscreen = desc.fullscreen != 0;
    m_Refresh = 0;
    m_Attached = true;
    CacheRects();
    static_cast<cWin32Input*>(m_Input)->SetWindow(m_Window);
    LogMessage("succeeded\n");
    return CreateRenderer(desc);
}

bool cWin32Engine::CreateRenderer(const sRendererDesc& desc) {
    delete m_Renderer;
    m_Renderer = nullptr;
    // The renderer table says which backends this build has.
    if (!video::IsRendererAvailable(desc.rendererId)) {
        if (desc.rendererId == kRendererOpenGL) {
            LogWarning("cWin32Engine::CreateRenderer : OpenGL renderer isn't supported in this build\n");
        }
        return false;
    }
    m_Renderer = video::CreateRenderer(desc, m_Window, m_Width, m_Height, m_Fullscreen);
    return m_Renderer != nullptr;
}

bool cWin32Engine::CreateWindow(const sRendererDesc& desc, int width, int height, bool fullscreen, int refresh,
                                int bits) {
    LogMessage("Creating window %dx%dx%d@%dHz( %s )... ", width, height, bits, refresh == -1 ? 60 : refresh,
               fullscreen ? "fullscreen" : "windowed");
    if (desc.rendererId != kRendererDirect3D9 && desc.rendererId != kRendererOpenGL) {
        LogWarning("cWin32Engine::CreateWindow : invalid renderer id( %d )\n", desc.rendererId);
        return false;
    }
    if (width < 1 || height < 1) {
        LogWarning("cWin32Engine::CreateWindow : invalid width or height( width = %d, height = %d )\n", width,
                   height);
        return false;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_Instance = instance;
    m_RendererId = desc.rendererId;
    m_Width = width;
    m_Height = height;
    m_Fullscreen = fullscreen;
    m_Refresh = refresh;
    m_Bits = bits;

    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = EngineWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kWindowClass;
    if (!m_ClassRegistered) {
        if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            LogWarning("cWin32Engine::CreateWindow : failed to register window class, %s", win32::LastErrorText().c_str());
            return false;
        }
        m_ClassRegistered = true;
    }
    const std::wstring title = win32::Widen(GetVersionText());
    HWND window = nullptr;
    if (fullscreen) {
        window = CreateWindowExW(0, kWindowClass, title.c_str(), WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                 instance, nullptr);
    } else {
        const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
        const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
        window = CreateWindowExW(0, kWindowClass, title.c_str(), WS_SYSMENU | WS_MINIMIZEBOX, x, y, width, height,
                                 nullptr, nullptr, instance, nullptr);
    }
    if (!window) {
        LogWarning("cWin32Engine::CreateWindow : failed to create window, %s", win32::LastErrorText().c_str());
        return false;
    }
    m_Window = window;
    m_Attached = false;
    if (fullscreen && !ChangeVideoMode(bits, width, height, refresh)) {
        return false;
    }
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
    CacheRects();
    static_cast<cWin32Input*>(m_Input)->SetWindow(m_Window);
    LogMessage("succeeded\n");
    return CreateRenderer(desc);
}

bool cWin32Engine::ChangeVideoMode(int bits, int width, int height, int refresh) {
    if (bits < 1) {
        HDC screen = GetDC(nullptr);
        bits = screen ? GetDeviceCaps(screen, BITSPIXEL) : 32;
        if (screen) ReleaseDC(nullptr, screen);
    }
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmBitsPerPel = static_cast<DWORD>(bits);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    // A refresh of -1 (or 0) leaves the rate to the driver.
    if (refresh > 0) {
        mode.dmDisplayFrequency = static_cast<DWORD>(refresh);
        mode.dmFields |= DM_DISPLAYFREQUENCY;
    }
    const LONG result = ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN);
    if (result != DISP_CHANGE_SUCCESSFUL) {
        SetLastError(static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        LogWarning("cWin32Engine::ChangeVideoMode : failed to change display settings, %s\n",
                   win32::LastErrorText().c_str());
        return false;
    }
    return true;
}

void cWin32Engine::DestroyWindow() {
    LogMessage("Destroying window... ");
    if (!m_Window) {
        LogWarning("cWin32Engine::DestroyWindow : failed to destroy window, invalid window handle\n");
        return;
    }
    // The renderer's device belongs to this window.
    delete m_Renderer;
    m_Renderer = nullptr;
    if (m_Fullscreen && !m_Attached) {
        ChangeVideoMode(-1, 640, 480, m_Refresh);
        // And back to the desktop's own mode.
        ChangeDisplaySettingsW(nullptr, 0);
    }
    static_cast<cWin32Input*>(m_Input)->SetWindow(nullptr);
    HWND window = static_cast<HWND>(m_Window);
    const bool destroyed = !IsWindow(window) || ::DestroyWindow(window);
    if (m_ClassRegistered) {
        UnregisterClassW(kWindowClass, static_cast<HINSTANCE>(m_Instance ? m_Instance : GetModuleHandleW(nullptr)));
        m_ClassRegistered = false;
    }
    if (destroyed) {
        LogMessage(" succeeded\n");
        m_Window = nullptr;
        m_Instance = nullptr;
    } else {
        LogWarning("cWin32Engine::DestroyWindow : %s", win32::LastErrorText().c_str());
        m_Window = nullptr;
    }
    m_Attached = false;
}

bool cWin32Engine::Restart(int, int, int, bool, int) {
    LogWarning("cWin32Engine::Restart : not implemented yet\n");
    return false;
}

int cWin32Engine::ProcessMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            m_QuitPosted = true;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

bool cWin32Engine::HandleMessage(void* window, unsigned int message, std::uintptr_t wParam, std::intptr_t) {
    gui::IGUIManager* gui = GetGUIManager(false);
    const cVector2& mouse = m_Input->GetMousePosition();
    switch (message) {
    case WM_CLOSE:
        PostQuitMessage(0);
        break;
    case WM_KEYDOWN: {
        const int code = VirtualKeyToKeyCode(static_cast<int>(wParam));
        m_Input->SetLastKey(code);
        if (gui) gui->OnKeyDown(code);
        break;
    }
    case WM_CHAR:
        if (gui && static_cast<signed char>(wParam) > 31) gui->OnChar(static_cast<unsigned char>(wParam));
        break;
    case WM_LBUTTONDOWN:
        if (gui) gui->OnLeftButtonDown(mouse.x, mouse.y);
        break;
    case WM_LBUTTONUP:
        if (gui) gui->OnLeftButtonUp(mouse.x, mouse.y);
        break;
    case WM_RBUTTONDOWN:
        if (gui) gui->OnRightButtonDown(mouse.x, mouse.y);
        break;
    case WM_RBUTTONUP:
        if (gui) gui->OnRightButtonUp(mouse.x, mouse.y);
        break;
    default:
        break;
    }
    (void)window;
    // Every message also gets the default handling.
    return false;
}

void cWin32Engine::Run() {
    if (m_RunStartSeconds < 0.0) {
        m_RunStartSeconds = GetTime() * 0.001;
    }
    LogMessage("Engine started\n\n");
    m_QuitPosted = false;
    // The limit sleeps between frames instead of spinning: a waiting loop costs no processor time.
    cFramePacer pacer;
    pacer.SetFrameRateLimit(m_FrameRateLimit);
    pacer.SetStopCheck([this] { return m_QuitPosted; });
    for (;;) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                m_QuitPosted = true;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
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

sWindowRect cWin32Engine::GetClientRect() {
    if (m_Attached) {
        CacheRects();
    }
    return m_ClientRect;
}

sWindowRect cWin32Engine::GetWindowRect() {
    if (m_Attached) {
        CacheRects();
    }
    return m_WindowRect;
}

cVector2 cWin32Engine::GetWindowPosition() {
    if (m_Fullscreen) {
        return cVector2(0.0f, 0.0f);
    }
    return cVector2(m_WindowRect.left, m_WindowRect.top);
}

void cWin32Engine::SetWindowCaption(const std::string& caption) {
    if (!m_Window) {
        LogWarning("cWin32Engine::SetWindowCaption : failed to set window caption, invalid window handle\n");
        return;
    }
    SetWindowTextW(static_cast<HWND>(m_Window), win32::Widen(caption).c_str());
    m_Caption = caption;
}

void cWin32Engine::ShowCursor(bool show) {
    // The system keeps a display counter: step it until it says what is asked for.
    if (show) {
        while (::ShowCursor(TRUE) < 0) {
        }
    } else {
        while (::ShowCursor(FALSE) >= 0) {
        }
    }
}

bool cWin32Engine::ApplyGammaRamp(const unsigned short* red, const unsigned short* green, const unsigned short* blue) {
    HDC screen = GetDC(nullptr);
    if (!screen) {
        return false;
    }
    WORD ramp[3][256];
    for (int i = 0; i < 256; ++i) {
        ramp[0][i] = red[i];
        ramp[1][i] = green[i];
        ramp[2][i] = blue[i];
    }
    const bool ok = SetDeviceGammaRamp(screen, ramp) != FALSE;
    ReleaseDC(nullptr, screen);
    return ok;
}

void cWin32Engine::RestoreGammaRamp() {
    if (!m_GammaSaved || m_GammaRestoreDepth > 0) {
        return;
    }
    ++m_GammaRestoreDepth;
    if (HDC screen = GetDC(nullptr)) {
        SetDeviceGammaRamp(screen, m_SavedGamma);
        ReleaseDC(nullptr, screen);
    }
    --m_GammaRestoreDepth;
}

void cWin32Engine::RefreshClientSize() {
    if (m_Attached && m_Window) {
        RECT client = {};
        if (::GetClientRect(static_cast<HWND>(m_Window), &client)) {
            m_Width = client.right - client.left;
            m_Height = client.bottom - client.top;
        }
    }
}

void cWin32Engine::CaptureInput() {
    if (m_Input) {
        m_Input->Capture(m_Width, m_Height);
    }
}

} // namespace velmora

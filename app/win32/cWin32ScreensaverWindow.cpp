#include "app/win32/cWin32ScreensaverWindow.h"

#include <cstdint>
#include <cstdlib>

#include "app/Platform.h"
#include "app/cSettingsRecord.h"
#include "app/win32/Win32StopRequest.h"
#include "engine/IEngine.h"
#include "engine/core/Log.h"
#include "video/IRenderer.h"

// Last: <windows.h> defines macros that clash with the engine's names.
#include "engine/win32/Win32Api.h"

namespace brevonne {

using namespace velmora;

namespace {

const wchar_t* const kWindowClass = L"SSWndClass";

LRESULT CALLBACK ScreensaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostQuitMessage(0);
        return 0;
    case WM_SYSCOMMAND:
        // The system asking to start the screensaver again, and Alt+F4, are swallowed.
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_CLOSE) {
            return 0;
        }
        break;
    case WM_ENDSESSION:
        // Logging off or shutting down ends the run as cleanly as a key press.
        if (wParam) {
            RequestStop();
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Window numbers on a command line are the 32 significant bits of a handle, which 64-bit Windows
// sign-extends.
HWND HandleFromNumber(unsigned long number) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(number)));
}

} // namespace

bool cWin32ScreensaverWindow::ParsePreviewHost(const std::string& commandLine, sHostOptions& host) {
    if (commandLine.compare(0, 2, "/P") != 0) {
        return false;
    }
    std::size_t at = 2;
    while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == ':')) {
        ++at;
    }
    std::size_t end = at;
    while (end < commandLine.size() && commandLine[end] >= '0' && commandLine[end] <= '9') {
        ++end;
    }
    if (end == at || end - at > 10 || (end < commandLine.size() && commandLine[end] != ' ')) {
        return false;
    }
    const unsigned long long number = std::strtoull(commandLine.c_str() + at, nullptr, 10);
    if (number == 0 || number > 0xFFFFFFFFull || !IsWindow(HandleFromNumber(static_cast<unsigned long>(number)))) {
        return false;
    }
    host = sHostOptions();
    host.window = eHostWindow::WindowId;
    host.windowId = static_cast<unsigned long>(number);
    // A preview beside the settings is seen, not heard.
    host.sound = false;
    return true;
}

cWin32ScreensaverWindow::cWin32ScreensaverWindow(const sHostOptions& host) : m_Host(host) {}

cWin32ScreensaverWindow::~cWin32ScreensaverWindow() { Close(); }

bool cWin32ScreensaverWindow::RegisterWindowClass() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_Instance = instance;
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ScreensaverWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(&windowClass)) {
        LogWarning("cWin32Screensaver::Create : failed to register window class\n");
        return false;
    }
    m_ClassRegistered = true;
    return true;
}

bool cWin32ScreensaverWindow::Open(const cSettingsRecord& settings, sRendererDesc& desc) {
    if (m_Host.window == eHostWindow::WindowId) {
        return OpenPreview(desc);
    }
    if (m_Host.IsHosted()) {
        LogWarning("cWin32Screensaver::Create : the screensaver hosts' options are for Linux\n");
        return false;
    }
    if (!RegisterWindowClass()) {
        return false;
    }
    HINSTANCE instance = static_cast<HINSTANCE>(m_Instance);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (!settings.sameAsDesktop && settings.width > 0 && settings.height > 0) {
        width = settings.width;
        height = settings.height;
    }
    HWND window = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) {
        LogWarning("cWin32Screensaver::Create : failed to create window\n");
        return false;
    }
    m_Window = window;
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
    SetCursorPos(50, 50);
    desc.rendererId = kRendererDirect3D9;
    desc.fullscreen = 1;
    return true;
}

bool cWin32ScreensaverWindow::OpenPreview(sRendererDesc& desc) {
    HWND parent = HandleFromNumber(m_Host.windowId);
    RECT client = {};
    if (!IsWindow(parent) || !::GetClientRect(parent, &client)) {
        LogWarning("cWin32Screensaver::Create : the preview window is gone\n");
        return false;
    }
    if (!RegisterWindowClass()) {
        return false;
    }
    // The device's own window is never shown: it gives the device the preview's size (and so the
    // depth buffer and the projection's aspect), the frames go to the page's window.
    const int width = client.right > 0 ? static_cast<int>(client.right) : 1;
    const int height = client.bottom > 0 ? static_cast<int>(client.bottom) : 1;
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, width, height, nullptr,
                                  nullptr, static_cast<HINSTANCE>(m_Instance), nullptr);
    if (!window) {
        LogWarning("cWin32Screensaver::Create : failed to create window\n");
        return false;
    }
    m_Window = window;
    m_PreviewParent = parent;
    desc.rendererId = kRendererDirect3D9;
    desc.fullscreen = 0;
    return true;
}

void cWin32ScreensaverWindow::Attached(IEngine& engine) {
    if (!m_PreviewParent) {
        return;
    }
    video::IRenderer* renderer = engine.GetRenderer();
    video::IViewport* output = renderer ? renderer->CreateViewport(m_PreviewParent) : nullptr;
    if (!output) {
        // Nobody would see the frames: the run ends at its first message check.
        LogWarning("cWin32Screensaver::Create : the preview window cannot be drawn into\n");
        m_QuitPosted = true;
        return;
    }
    // The viewport belongs to the renderer from here on and goes with it.
    renderer->SetViewport(output);
}

void cWin32ScreensaverWindow::SetUpPacing(bool unpaced, int frameRateCap, double delaySeconds) {
    m_Pacer.SetStopCheck([] { return IsStopRequested(); });
    m_Pacer.SetDelay(delaySeconds);
    if (unpaced) {
        return;
    }
    // The renderer presents on the vertical blank; the cap keeps a device that does not from
    // drawing as many frames as it can.
    int rate = frameRateCap;
    if (rate <= 0) {
        DEVMODEW mode = {};
        mode.dmSize = sizeof(mode);
        rate = EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1
                   ? static_cast<int>(mode.dmDisplayFrequency)
                   : 60;
    }
    m_Pacer.SetFrameRateLimit(rate);
    LogMessage("Frames paced at %d per second\n", rate);
}

bool cWin32ScreensaverWindow::ProcessMessages() {
    MSG message;
    while (!m_QuitPosted && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            m_QuitPosted = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (IsStopRequested()) {
        m_QuitPosted = true;
    }
    // The settings page destroys its preview window when it closes or shows another screensaver.
    if (m_PreviewParent && !IsWindow(static_cast<HWND>(m_PreviewParent))) {
        m_QuitPosted = true;
    }
    return !m_QuitPosted;
}

void cWin32ScreensaverWindow::Close() {
    // The registry's display mode comes back (a stored video mode may have changed it).
    if ((m_Window || m_ClassRegistered) && !m_PreviewParent) {
        ChangeDisplaySettingsW(nullptr, 0);
    }
    // The page's window is not ours to touch.
    m_PreviewParent = nullptr;
    if (m_Window) {
        if (IsWindow(static_cast<HWND>(m_Window))) {
            DestroyWindow(static_cast<HWND>(m_Window));
        }
        m_Window = nullptr;
    }
    if (m_ClassRegistered) {
        UnregisterClassW(kWindowClass, static_cast<HINSTANCE>(m_Instance));
        m_ClassRegistered = false;
        m_Instance = nullptr;
    }
}

} // namespace brevonne

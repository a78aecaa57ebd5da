#include "app/win32/cWin32ScreensaverWindow.h"

#include "app/Platform.h"
#include "app/cSettingsRecord.h"
#include "app/win32/Win32StopRequest.h"
#include "engine/core/Log.h"

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

} // namespace

cWin32ScreensaverWindow::cWin32ScreensaverWindow(const sHostOptions& host) : m_Host(host) {}

cWin32ScreensaverWindow::~cWin32ScreensaverWindow() { Close(); }

bool cWin32ScreensaverWindow::Open(const cSettingsRecord& settings, sRendererDesc& desc) {
    if (m_Host.IsHosted()) {
        LogWarning("cWin32Screensaver::Create : the screensaver hosts' options are for Linux\n");
        return false;
    }
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
    return !m_QuitPosted;
}

void cWin32ScreensaverWindow::Close() {
    // The registry's display mode comes back (a stored video mode may have changed it).
    if (m_Window || m_ClassRegistered) {
        ChangeDisplaySettingsW(nullptr, 0);
    }
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

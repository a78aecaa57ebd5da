#include "app/sdl/cX11HostWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>

#include "engine/core/Log.h"

namespace brevonne {

namespace {

std::atomic<unsigned long> g_ErrorCount{0};

// Xlib's own handler prints the error and ends the process. Errors that reach this one come
// from drawing into or asking about a window that is gone, which the next Poll notices.
extern "C" int CountXError(Display*, XErrorEvent*) {
    ++g_ErrorCount;
    return 0;
}

} // namespace

cX11HostWindow::~cX11HostWindow() {
    if (m_Display) {
        XCloseDisplay(m_Display);
    }
}

unsigned long cX11HostWindow::GetErrorCount() { return g_ErrorCount.load(); }

bool cX11HostWindow::Open(unsigned long window) {
    if (!m_Display) {
        m_Display = XOpenDisplay(nullptr);
        if (!m_Display) {
            velmora::LogWarning("cSDLScreensaver::Create : cannot open the X display\n");
            return false;
        }
        XSetErrorHandler(CountXError);
    }
    m_Window = window != 0 ? window : DefaultRootWindow(m_Display);
    if (!Poll(m_Width, m_Height)) {
        velmora::LogWarning("cSDLScreensaver::Create : there is no window 0x%lx\n", m_Window);
        return false;
    }
    return true;
}

void cX11HostWindow::SelectSizeEvents(SDL_Window* window) const {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || m_Window == 0 || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return;
    }
    Display* display = info.info.x11.display;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, m_Window, &attributes) == 0) {
        return;
    }
    XSelectInput(display, m_Window, attributes.your_event_mask | StructureNotifyMask);
    XFlush(display);
}

bool cX11HostWindow::Poll(int& width, int& height) {
    if (!m_Display || m_Window == 0) {
        return false;
    }
    // Errors of this request are answered before XGetWindowAttributes returns, so its result says
    // whether the window exists.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(m_Display, m_Window, &attributes) == 0) {
        return false;
    }
    m_Width = width = attributes.width;
    m_Height = height = attributes.height;
    m_Depth = attributes.depth;
    return true;
}

} // namespace brevonne

#pragma once
// A window that a screensaver host (XScreenSaver, MATE, Xfce) made for us,
// watched on a connection of our own: its size, and whether it still exists.
// While one is open, X errors are counted instead of ending the process, as
// drawing into a window that its owner destroyed raises a few of them.

#include <cstdint>

struct _XDisplay;
struct SDL_Window;

namespace brevonne {

class cX11HostWindow {
public:
    cX11HostWindow() = default;
    ~cX11HostWindow();
    cX11HostWindow(const cX11HostWindow&) = delete;
    cX11HostWindow& operator=(const cX11HostWindow&) = delete;

    // Opens the display and looks the window up; 0 means the screen's root window. False (with a
    // warning) when there is no display or no such window.
    bool Open(unsigned long window);
    // Asks the X server to send StructureNotify events (size changes) for the window to the
    // connection SDL reads `window`'s events from, on top of what it already selected there.
    void SelectSizeEvents(SDL_Window* window) const;
    // Re-reads the window; false once it is gone. width and height receive its size.
    bool Poll(int& width, int& height);

    unsigned long GetWindow() const { return m_Window; }
    int GetWidth() const { return m_Width; }
    int GetHeight() const { return m_Height; }
    // Depth of the window's visual.
    int GetDepth() const { return m_Depth; }
    // X errors seen since the first window was opened.
    static unsigned long GetErrorCount();

private:
    _XDisplay* m_Display = nullptr;
    unsigned long m_Window = 0;
    int m_Width = 0;
    int m_Height = 0;
    int m_Depth = 0;
};

} // namespace brevonne

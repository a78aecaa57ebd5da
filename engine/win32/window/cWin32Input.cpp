#include "engine/win32/window/cWin32Input.h"

#include "engine/KeyCodes.h"

#include "engine/win32/Win32Api.h"

namespace velmora {

bool cWin32Input::IsKeyDown(int code) const {
    const int key = KeyCodeToVirtualKey(code);
    if (key <= 0 || key > 255) {
        return false;
    }
    return (m_Keyboard[key] & 0x80) != 0;
}

void cWin32Input::SetMousePosition(int x, int y) {
    m_Mouse = cVector2(static_cast<float>(x), static_cast<float>(y));
    POINT point = {x, static_cast<LONG>(m_Height) - y};
    if (m_Window) {
        ClientToScreen(static_cast<HWND>(m_Window), &point);
    }
    SetCursorPos(point.x, point.y);
}

void cWin32Input::Capture(int width, int height) {
    m_Width = static_cast<float>(width);
    m_Height = static_cast<float>(height);
    BYTE state[256] = {};
    if (GetKeyboardState(state)) {
        for (int i = 0; i < 256; ++i) {
            m_Keyboard[i] = state[i];
        }
    }
    // The mouse buttons' state bytes follow the physical buttons only while the thread has input
    // focus; GetAsyncKeyState reads them in any case.
    for (const int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) {
        m_Keyboard[button] = (GetAsyncKeyState(button) & 0x8000) ? 0x80 : 0x00;
    }
    POINT cursor = {0, 0};
    if (GetCursorPos(&cursor)) {
        if (m_Window) {
            ScreenToClient(static_cast<HWND>(m_Window), &cursor);
        }
        m_Mouse = cVector2(static_cast<float>(cursor.x), m_Height - static_cast<float>(cursor.y));
    }
}

} // namespace velmora

#include "engine/sdl/cSDLInput.h"

#include <SDL.h>

namespace velmora {

namespace {

// SDL scancodes for the engine codes 0-86 (the mouse buttons 87-89 come from
// the button mask). Codes with two physical keys (Shift, Control, Alt) list both.
struct sKeyMap {
    int code;
    SDL_Scancode scancode;
};

const sKeyMap kKeyMap[] = {
    {0, SDL_SCANCODE_0}, {1, SDL_SCANCODE_1}, {2, SDL_SCANCODE_2}, {3, SDL_SCANCODE_3}, {4, SDL_SCANCODE_4},
    {5, SDL_SCANCODE_5}, {6, SDL_SCANCODE_6}, {7, SDL_SCANCODE_7}, {8, SDL_SCANCODE_8}, {9, SDL_SCANCODE_9},
    {10, SDL_SCANCODE_KP_0}, {11, SDL_SCANCODE_KP_1}, {12, SDL_SCANCODE_KP_2}, {13, SDL_SCANCODE_KP_3},
    {14, SDL_SCANCODE_KP_4}, {15, SDL_SCANCODE_KP_5}, {16, SDL_SCANCODE_KP_6}, {17, SDL_SCANCODE_KP_7},
    {18, SDL_SCANCODE_KP_8}, {19, SDL_SCANCODE_KP_9},
    {20, SDL_SCANCODE_A}, {21, SDL_SCANCODE_B}, {22, SDL_SCANCODE_C}, {23, SDL_SCANCODE_D}, {24, SDL_SCANCODE_E},
    {25, SDL_SCANCODE_F}, {26, SDL_SCANCODE_G}, {27, SDL_SCANCODE_H}, {28, SDL_SCANCODE_I}, {29, SDL_SCANCODE_J},
    {30, SDL_SCANCODE_K}, {31, SDL_SCANCODE_L}, {32, SDL_SCANCODE_M}, {33, SDL_SCANCODE_N}, {34, SDL_SCANCODE_O},
    {35, SDL_SCANCODE_P}, {36, SDL_SCANCODE_Q}, {37, SDL_SCANCODE_R}, {38, SDL_SCANCODE_S}, {39, SDL_SCANCODE_T},
    {40, SDL_SCANCODE_U}, {41, SDL_SCANCODE_V}, {42, SDL_SCANCODE_W}, {43, SDL_SCANCODE_X}, {44, SDL_SCANCODE_Y},
    {45, SDL_SCANCODE_Z},
    {46, SDL_SCANCODE_F1}, {47, SDL_SCANCODE_F2}, {48, SDL_SCANCODE_F3}, {49, SDL_SCANCODE_F4},
    {50, SDL_SCANCODE_F5}, {51, SDL_SCANCODE_F6}, {52, SDL_SCANCODE_F7}, {53, SDL_SCANCODE_F8},
    {54, SDL_SCANCODE_F9}, {55, SDL_SCANCODE_F10}, {56, SDL_SCANCODE_F11}, {57, SDL_SCANCODE_F12},
    {58, SDL_SCANCODE_ESCAPE}, {59, SDL_SCANCODE_TAB}, {60, SDL_SCANCODE_CAPSLOCK},
    {61, SDL_SCANCODE_LSHIFT}, {61, SDL_SCANCODE_RSHIFT}, {62, SDL_SCANCODE_LCTRL}, {62, SDL_SCANCODE_RCTRL},
    {63, SDL_SCANCODE_LGUI}, {64, SDL_SCANCODE_LALT}, {64, SDL_SCANCODE_RALT}, {65, SDL_SCANCODE_SPACE},
    {66, SDL_SCANCODE_RETURN}, {67, SDL_SCANCODE_BACKSPACE}, {68, SDL_SCANCODE_PAUSE},
    {69, SDL_SCANCODE_PRINTSCREEN}, {70, SDL_SCANCODE_SCROLLLOCK}, {71, SDL_SCANCODE_PAGEDOWN},
    {72, SDL_SCANCODE_PAGEUP}, {73, SDL_SCANCODE_HOME}, {74, SDL_SCANCODE_END}, {75, SDL_SCANCODE_INSERT},
    {76, SDL_SCANCODE_DELETE}, {77, SDL_SCANCODE_UP}, {78, SDL_SCANCODE_DOWN}, {79, SDL_SCANCODE_LEFT},
    {80, SDL_SCANCODE_RIGHT}, {81, SDL_SCANCODE_NUMLOCKCLEAR}, {82, SDL_SCANCODE_KP_DIVIDE},
    {83, SDL_SCANCODE_KP_MULTIPLY}, {84, SDL_SCANCODE_KP_MINUS}, {85, SDL_SCANCODE_KP_PLUS},
    {86, SDL_SCANCODE_KP_PERIOD},
};

} // namespace

int cSDLInput::ScancodeToKeyCode(int scancode) {
    for (const sKeyMap& entry : kKeyMap) {
        if (entry.scancode == scancode) {
            return entry.code;
        }
    }
    return kKeyNone;
}

bool cSDLInput::IsKeyDown(int code) const {
    if (code < 0 || code >= kKeyCount) {
        return false;
    }
    return m_Down[code];
}

void cSDLInput::SetMousePosition(int x, int y) {
    m_Mouse = cVector2(static_cast<float>(x), static_cast<float>(y));
    if (m_Window) {
        SDL_WarpMouseInWindow(m_Window, x, static_cast<int>(m_Height) - y);
    }
}

void cSDLInput::Capture(int width, int height) {
    m_Width = static_cast<float>(width);
    m_Height = static_cast<float>(height);

    int numKeys = 0;
    const Uint8* keys = SDL_GetKeyboardState(&numKeys);
    bool down[kKeyCount] = {};
    for (const sKeyMap& entry : kKeyMap) {
        if (keys && entry.scancode < numKeys && keys[entry.scancode]) {
            down[entry.code] = true;
        }
    }

    // The global cursor position works whether or not the window has the
    // mouse focus (a screensaver window may never receive it). While the
    // window has the focus its own position is used: X servers without raw
    // input events leave SDL's global position at its first value.
    int gx = 0, gy = 0;
    Uint32 buttons = SDL_GetGlobalMouseState(&gx, &gy);
    int wx = 0, wy = 0;
    if (m_Window && SDL_GetMouseFocus() == m_Window) {
        buttons = SDL_GetMouseState(&gx, &gy);
    } else if (m_Window) {
        SDL_GetWindowPosition(m_Window, &wx, &wy);
    }
    down[kKeyLeftButton] = (buttons & SDL_BUTTON_LMASK) != 0;
    down[kKeyRightButton] = (buttons & SDL_BUTTON_RMASK) != 0;
    down[kKeyMiddleButton] = (buttons & SDL_BUTTON_MMASK) != 0;
    for (int i = 0; i < kKeyCount; ++i) {
        m_Down[i] = down[i];
    }
    m_Mouse.x = static_cast<float>(gx - wx);
    m_Mouse.y = m_Height - static_cast<float>(gy - wy);
}

} // namespace velmora

#pragma once
// Keyboard and mouse snapshot read from SDL.

#include "engine/cCommonInput.h"

struct SDL_Window;

namespace velmora {

class cSDLInput : public cCommonInput {
public:
    cSDLInput() = default;

    bool IsKeyDown(int code) const override;
    void SetMousePosition(int x, int y) override;
    using cCommonInput::SetMousePosition;
    void Capture(int width, int height) override;

    // The window whose client area the mouse is measured in (null: none).
    void SetWindow(SDL_Window* window) { m_Window = window; }

    // Engine code of an SDL scancode; kKeyNone when it has none.
    static int ScancodeToKeyCode(int scancode);

private:
    SDL_Window* m_Window = nullptr;
    float m_Width = 0.0f;
    float m_Height = 0.0f;
    bool m_Down[kKeyCount] = {};
};

} // namespace velmora

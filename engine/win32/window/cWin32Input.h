#pragma once
// Keyboard and mouse snapshot read from Windows: the whole keyboard state and
// the cursor in the window's client coordinates (y counted from the bottom).

#include "engine/cCommonInput.h"

namespace velmora {

class cWin32Input : public cCommonInput {
public:
    cWin32Input() = default;

    bool IsKeyDown(int code) const override;
    void SetMousePosition(int x, int y) override;
    using cCommonInput::SetMousePosition;
    void Capture(int width, int height) override;

    // The window whose client area the mouse is measured in (null: the screen).
    void SetWindow(void* window) { m_Window = window; }

private:
    void* m_Window = nullptr;
    float m_Width = 0.0f;
    float m_Height = 0.0f;
    unsigned char m_Keyboard[256] = {};
};

} // namespace velmora

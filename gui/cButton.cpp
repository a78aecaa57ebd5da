#include "gui/cButton.h"

#include "engine/IInput.h"
#include "gui/cSkin.h"

namespace velmora::gui {

cButton::cButton() : cControl(CK_BUTTON, BE_COUNT) {}

bool cButton::OnMouseDown(float, float) {
    m_Pressed = true;
    RaiseEvent(BE_PRESS);
    return true;
}

void cButton::OnMouseUp(float, float, bool inside) {
    const bool wasPressed = m_Pressed;
    m_Pressed = false;
    RaiseEvent(BE_RELEASE);
    if (wasPressed && inside) RaiseEvent(BE_CLICK);
}

bool cButton::OnKeyDown(int code) {
    if (code != kKeySpace && code != kKeyEnter) return false;
    RaiseEvent(BE_CLICK);
    return true;
}

void cButton::Render(cSkin& skin) {
    const cRect r = GetScreenRect();
    // Held down, the button looks pressed only while the mouse is over it.
    const std::int32_t state = GetVisualState(m_Pressed && IsHovered());
    const bool small = m_Arrow >= 0;
    skin.DrawPiece(small ? SP_BUTTON_SMALL : SP_BUTTON, state, r);
    const float shift = state == 2 ? 1.0f : 0.0f;
    const cRect content(r.x1 + shift, r.y1 - shift, r.x2 + shift, r.y2 - shift);
    if (small) {
        skin.DrawArrow(m_Arrow, content, IsActive() ? cColor(255, 255, 255) : cColor(255, 255, 255, 110));
        return;
    }
    skin.PushClip(cRect(r.x1 + 3.0f, r.y1 + 2.0f, r.x2 - 3.0f, r.y2 - 2.0f));
    skin.DrawTextInRect(FONT_TEXT, content, GetCaption(), IsActive() ? cSkin::kText : cSkin::kTextDisabled, 1);
    skin.PopClip();
    if (HasFocus()) {
        skin.DrawFrame(cRect(r.x1 + 3.0f, r.y1 + 3.0f, r.x2 - 3.0f, r.y2 - 3.0f), cColor(38, 150, 160, 120));
    }
}

} // namespace velmora::gui

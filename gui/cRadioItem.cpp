#include "gui/cRadioItem.h"

#include "gui/cRadioGroup.h"
#include "gui/cSkin.h"

namespace velmora::gui {

cRadioItem::cRadioItem(cRadioGroup& group, std::int32_t index) : cControl(CK_RADIO_ITEM, 0), m_Group(group), m_Index(index) {}

bool cRadioItem::OnMouseDown(float, float) {
    m_Pressed = true;
    return true;
}

void cRadioItem::OnMouseUp(float, float, bool inside) {
    const bool wasPressed = m_Pressed;
    m_Pressed = false;
    if (wasPressed && inside) m_Group.SelectFromUser(m_Index);
}

void cRadioItem::Render(cSkin& skin) {
    const cRect r = GetScreenRect();
    const bool active = IsActive();
    const bool on = m_Group.GetSelected() == m_Index;
    const float cy = (r.y1 + r.y2) * 0.5f;
    const cColor tint = active && IsHovered() ? cColor(225, 246, 248) : cColor(255, 255, 255);
    skin.DrawPiece(SP_RADIO, (active ? 0 : 2) + (on ? 1 : 0), cRect(r.x1, cy - 8.0f, r.x1 + 16.0f, cy + 8.0f), tint);
    skin.PushClip(r);
    skin.DrawTextInRect(FONT_TEXT, cRect(r.x1 + 23.0f, r.y1, r.x2, r.y2), GetCaption(),
                        active ? cSkin::kText : cSkin::kTextDisabled);
    skin.PopClip();
    if (on && m_Group.HasFocus()) {
        const float width = skin.MeasureText(FONT_TEXT, GetCaption());
        skin.FillRect(cRect(r.x1 + 23.0f, cy - 10.0f, r.x1 + 23.0f + width, cy - 9.0f), cColor(38, 150, 160, 160));
    }
}

} // namespace velmora::gui

#include "gui/cCheckBox.h"

#include "engine/IInput.h"
#include "gui/GUIFileIO.h"
#include "gui/cSkin.h"

namespace velmora::gui {

cCheckBox::cCheckBox() : cControl(CK_CHECK_BOX, CBE_COUNT) {}

void cCheckBox::Toggle() {
    m_Checked = !m_Checked;
    RaiseEvent(CBE_CHANGE);
}

bool cCheckBox::OnMouseDown(float, float) {
    m_Pressed = true;
    return true;
}

void cCheckBox::OnMouseUp(float, float, bool inside) {
    const bool wasPressed = m_Pressed;
    m_Pressed = false;
    if (wasPressed && inside) Toggle();
}

bool cCheckBox::OnKeyDown(int code) {
    if (code != kKeySpace) return false;
    Toggle();
    return true;
}

void cCheckBox::Render(cSkin& skin) {
    const cRect r = GetScreenRect();
    const bool active = IsActive();
    const float cy = (r.y1 + r.y2) * 0.5f;
    const cRect box(r.x1, cy - 8.0f, r.x1 + 16.0f, cy + 8.0f);
    const cColor tint = active && IsHovered() ? cColor(225, 246, 248) : cColor(255, 255, 255);
    skin.DrawPiece(SP_CHECK, (active ? 0 : 2) + (m_Checked ? 1 : 0), box, tint);
    const cRect text(r.x1 + 23.0f, r.y1, r.x2, r.y2);
    skin.PushClip(r);
    skin.DrawTextInRect(FONT_TEXT, text, GetCaption(), active ? cSkin::kText : cSkin::kTextDisabled);
    skin.PopClip();
    if (HasFocus()) {
        const float width = skin.MeasureText(FONT_TEXT, GetCaption());
        skin.FillRect(cRect(text.x1, cy - 10.0f, text.x1 + width, cy - 9.0f), cColor(38, 150, 160, 160));
    }
}

void cCheckBox::WriteData(IFile* file) const { WriteBool(file, m_Checked); }

void cCheckBox::ReadData(IFile* file, std::int32_t) { m_Checked = ReadBool(file, "cCheckBox::ReadFromFile"); }

} // namespace velmora::gui

#include "gui/cThumb.h"

#include <cmath>

#include "gui/cSkin.h"

namespace velmora::gui {

cThumb::cThumb(std::int32_t style) : cControl(CK_THUMB, 0), m_Style(style) {}

bool cThumb::OnMouseDown(float x, float y) {
    const cRect r = GetScreenRect();
    m_Dragging = true;
    m_GrabX = x - r.x1;
    m_GrabY = y - r.y1;
    return true;
}

void cThumb::OnMouseMove(float x, float y) {
    if (m_Dragging && m_OnDrag) m_OnDrag(x - m_GrabX, y - m_GrabY);
}

void cThumb::OnMouseUp(float, float, bool) { m_Dragging = false; }

void cThumb::Render(cSkin& skin) {
    const cRect r = GetScreenRect();
    const bool active = IsActive();
    if (m_Style == STYLE_KNOB) {
        const float cx = std::floor((r.x1 + r.x2) * 0.5f), cy = std::floor((r.y1 + r.y2) * 0.5f);
        skin.DrawPiece(SP_THUMB, active && (m_Dragging || IsHovered()) ? 1 : 0, cRect(cx - 8.0f, cy - 8.0f, cx + 8.0f, cy + 8.0f),
                       active ? cColor(255, 255, 255) : cColor(200, 210, 214, 200));
        return;
    }
    skin.DrawPiece(SP_BUTTON_SMALL, GetVisualState(m_Dragging), r);
}

} // namespace velmora::gui

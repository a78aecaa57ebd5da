#include "gui/cGroupBox.h"

#include <cmath>

#include "gui/cSkin.h"

namespace velmora::gui {

cGroupBox::cGroupBox() : cContainer(CK_GROUP_BOX, 0) {}

void cGroupBox::DrawGroupFrame(cSkin& skin, const cRect& rect, const std::string& caption, bool active) {
    const float line = skin.GetLineHeight(FONT_TEXT);
    const float top = std::floor(rect.y2 - line * 0.5f);
    const cRect frame(rect.x1, rect.y1, rect.x2, top + 1.0f);
    const cColor tint = active ? cColor(255, 255, 255) : cColor(255, 255, 255, 150);
    if (caption.empty()) {
        skin.DrawPiece(SP_GROUP_FRAME, 0, frame, tint);
        return;
    }
    // The frame is drawn around the caption: below its band, then left and right of it.
    const float textX = rect.x1 + 12.0f;
    const float textRight = textX + skin.MeasureText(FONT_TEXT, caption);
    const float band = top - 4.0f;
    skin.PushClip(cRect(rect.x1, rect.y1, rect.x2, band));
    skin.DrawPiece(SP_GROUP_FRAME, 0, frame, tint);
    skin.PopClip();
    skin.PushClip(cRect(rect.x1, band, textX - 4.0f, rect.y2));
    skin.DrawPiece(SP_GROUP_FRAME, 0, frame, tint);
    skin.PopClip();
    skin.PushClip(cRect(textRight + 4.0f, band, rect.x2, rect.y2));
    skin.DrawPiece(SP_GROUP_FRAME, 0, frame, tint);
    skin.PopClip();
    skin.DrawTextInRect(FONT_TEXT, cRect(textX, top - line * 0.5f, rect.x2, top + line * 0.5f), caption,
                        active ? cSkin::kText : cSkin::kTextDisabled);
}

void cGroupBox::RenderBackground(cSkin& skin) { DrawGroupFrame(skin, GetScreenRect(), GetCaption(), IsActive()); }

void cGroupBox::WriteData(IFile* file) const { WriteChildren(file); }

void cGroupBox::ReadData(IFile* file, std::int32_t depth) { ReadChildren(file, depth); }

} // namespace velmora::gui

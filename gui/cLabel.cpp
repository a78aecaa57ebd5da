#include "gui/cLabel.h"

#include "gui/cSkin.h"

namespace velmora::gui {

cLabel::cLabel() : cControl(CK_LABEL, 0) {}

void cLabel::Render(cSkin& skin) {
    const cRect r = GetScreenRect();
    const cColor color = IsActive() ? cSkin::kText : cSkin::kTextDisabled;
    const std::string& text = GetCaption();
    skin.PushClip(r);
    if (text.find('\n') == std::string::npos) {
        skin.DrawTextInRect(FONT_TEXT, r, text, color);
    } else {
        const float line = skin.GetLineHeight(FONT_TEXT);
        float y = r.y2 - line;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = text.find('\n', start);
            skin.DrawText(FONT_TEXT, r.x1, y, text.substr(start, end == std::string::npos ? end : end - start), color);
            if (end == std::string::npos) break;
            start = end + 1;
            y -= line;
        }
    }
    skin.PopClip();
}

} // namespace velmora::gui

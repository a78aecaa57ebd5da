#pragma once
// A push button with a caption, or a small button with an arrow (the parts of scrolls and combo boxes).

#include "gui/IControls.h"
#include "gui/cControl.h"

namespace velmora::gui {

class cButton : public cControl, public virtual IButton {
public:
    cButton();

    bool IsPressed() const override { return m_Pressed; }
    // An arrow (eArrowDirection) drawn instead of the caption on the small button look; -1 for none.
    void SetArrow(std::int32_t direction) { m_Arrow = direction; }

    bool OnMouseDown(float x, float y) override;
    void OnMouseUp(float x, float y, bool inside) override;
    bool OnKeyDown(int code) override;
    // Parts leave the focus to their composite.
    bool CanFocus() const override { return !IsPart(); }
    void Render(cSkin& skin) override;

private:
    bool m_Pressed = false;
    std::int32_t m_Arrow = -1;
};

} // namespace velmora::gui

#pragma once
// The dragged part of sliders and scrolls. While held, every mouse move
// tells its owner where the thumb's lower-left corner would now lie.

#include "gui/cControl.h"

namespace velmora::gui {

class cThumb : public cControl {
public:
    // Round knob (sliders) or a small button stretched along the track (scrolls).
    enum eStyle : std::int32_t { STYLE_KNOB, STYLE_BAR };
    using tDragHandler = cFunctor<void, tTypeList<float, float>>;

    explicit cThumb(std::int32_t style);

    void SetDragHandler(const tDragHandler& handler) { m_OnDrag = handler; }
    bool IsDragging() const { return m_Dragging; }

    bool OnMouseDown(float x, float y) override;
    void OnMouseMove(float x, float y) override;
    void OnMouseUp(float x, float y, bool inside) override;
    void Render(cSkin& skin) override;

private:
    std::int32_t m_Style;
    tDragHandler m_OnDrag;
    bool m_Dragging = false;
    float m_GrabX = 0.0f, m_GrabY = 0.0f;
};

} // namespace velmora::gui

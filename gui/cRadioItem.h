#pragma once
// One choice of a radio group: a round button and its caption, at a rect relative to the group.

#include "gui/cControl.h"

namespace velmora::gui {

class cRadioGroup;

class cRadioItem : public cControl {
public:
    cRadioItem(cRadioGroup& group, std::int32_t index);

    std::int32_t GetIndex() const { return m_Index; }

    bool OnMouseDown(float x, float y) override;
    void OnMouseUp(float x, float y, bool inside) override;
    void Render(cSkin& skin) override;

private:
    cRadioGroup& m_Group;
    std::int32_t m_Index;
    bool m_Pressed = false;
};

} // namespace velmora::gui

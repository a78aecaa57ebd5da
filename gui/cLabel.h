#pragma once
// Text: one line centred vertically, or several lines (split at "\n") from the top.

#include "gui/IControls.h"
#include "gui/cControl.h"

namespace velmora::gui {

class cLabel : public cControl, public virtual ILabel {
public:
    cLabel();
    void Render(cSkin& skin) override;
};

} // namespace velmora::gui

#pragma once
// A frame with its caption set into the top edge, holding controls.

#include "gui/IControls.h"
#include "gui/cContainer.h"

namespace velmora::gui {

class cGroupBox : public cContainer, public virtual IGroupBox {
public:
    cGroupBox();

    bool HoldsUserControls() const override { return true; }
    void RenderBackground(cSkin& skin) override;

    // The frame of group boxes and radio groups over a screen rectangle.
    static void DrawGroupFrame(cSkin& skin, const cRect& rect, const std::string& caption, bool active);

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;
};

} // namespace velmora::gui

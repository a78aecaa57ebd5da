#pragma once
// A check box: the box at the left, the caption beside it.

#include "gui/IControls.h"
#include "gui/cControl.h"

namespace velmora::gui {

class cCheckBox : public cControl, public virtual ICheckBox {
public:
    cCheckBox();

    bool IsChecked() const override { return m_Checked; }
    void SetChecked(bool checked) override { m_Checked = checked; }

    bool OnMouseDown(float x, float y) override;
    void OnMouseUp(float x, float y, bool inside) override;
    bool OnKeyDown(int code) override;
    bool CanFocus() const override { return true; }
    void Render(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    void Toggle();

    bool m_Checked = false;
    bool m_Pressed = false;
};

} // namespace velmora::gui

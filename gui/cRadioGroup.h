#pragma once
// Exclusive choices ("item0", "item1", ... parts) in a captioned frame; Up / Down move the choice.

#include "gui/IControls.h"
#include "gui/cContainer.h"

namespace velmora::gui {

class cRadioGroup : public cContainer, public virtual IRadioGroup {
public:
    cRadioGroup();

    std::int32_t AddItem(const std::string& caption, const cRect& rect) override;
    std::int32_t GetItemCount() const override { return m_Count; }
    const std::string& GetItemCaption(std::int32_t index) const override;
    cRect GetItemRect(std::int32_t index) const override;
    std::int32_t GetSelected() const override { return m_Selected; }
    void SetSelected(std::int32_t index) override;

    // Picks an item as the user does (raising RE_SELECT when the choice changed).
    void SelectFromUser(std::int32_t index);

    bool OnMouseDown(float x, float y) override;
    bool OnKeyDown(int code) override;
    bool CanFocus() const override { return true; }
    void RenderBackground(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    cControl* GetItem(std::int32_t index) const;

    std::int32_t m_Count = 0;
    std::int32_t m_Selected = -1;
};

} // namespace velmora::gui

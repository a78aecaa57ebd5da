#pragma once
// A drop-down choice: a read-only "edit_Selected" field showing the choice, a "button_Drop" button, and the
// "list_Items" list that opens below them as the window's popup. A click on the field or the button opens or
// closes the list; a row picked in the list becomes the choice (CE_SELECT). Up / Down change the choice,
// Enter or Space open the list, Escape closes it.

#include "gui/IControls.h"
#include "gui/cContainer.h"

namespace velmora::gui {

class cButton;
class cEdit;
class cListBox;

class cComboBox : public cContainer, public virtual IComboBox {
public:
    // Rows the open list shows at most.
    static constexpr std::int32_t kDropRows = 6;

    cComboBox();

    std::int32_t AddItem(const std::string& text) override;
    void ClearItems() override;
    std::int32_t GetItemCount() const override;
    const std::string& GetItem(std::int32_t index) const override;
    std::int32_t GetSelected() const override { return m_Selected; }
    void SetSelected(std::int32_t index) override;
    bool IsDropped() const override { return m_Dropped; }
    void SetDropped(bool dropped) override;

    void Layout() override;
    bool OnMouseDown(float x, float y) override;
    bool OnKeyDown(int code) override;
    bool CanFocus() const override { return true; }
    void OnPopupClosed() override;
    // Draws the field and the button; the open list is drawn by the window above everything.
    void Render(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    void OnDropPressed(IControl* sender);
    void OnListSelect(IControl* sender);
    void SelectFromUser(std::int32_t index);

    cEdit* m_Edit = nullptr;
    cButton* m_Button = nullptr;
    cListBox* m_List = nullptr;
    std::int32_t m_Selected = -1;
    bool m_Dropped = false;
};

} // namespace velmora::gui

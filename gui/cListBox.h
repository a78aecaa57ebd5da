#pragma once
// A list of text rows with one selection and a "verticalScroll" part shown when the rows overflow. A press
// selects the row under the mouse (and dragging follows it); Up, Down, Home, End, Page Up and Page Down move
// the selection. As the drop-down part of a combo box (popup mode) the row under the mouse is highlighted and
// chosen on release.

#include <vector>

#include "gui/IControls.h"
#include "gui/cContainer.h"

namespace velmora::gui {

class cScroll;

class cListBox : public cContainer, public virtual IListBox {
public:
    cListBox();

    std::int32_t AddItem(const std::string& text) override;
    bool RemoveItem(std::int32_t index) override;
    void ClearItems() override;
    std::int32_t GetItemCount() const override { return static_cast<std::int32_t>(m_Items.size()); }
    const std::string& GetItem(std::int32_t index) const override;
    std::int32_t GetSelected() const override { return m_Selected; }
    void SetSelected(std::int32_t index) override;

    void SetPopupMode(bool popup) { m_PopupMode = popup; }
    // Height of one row.
    float GetRowHeight() const;
    // Scrolls so the row is visible.
    void ShowRow(std::int32_t index);
    // The row at a screen y, or -1.
    std::int32_t RowAt(float y) const;

    void Layout() override;
    bool OnMouseDown(float x, float y) override;
    void OnMouseMove(float x, float y) override;
    void OnMouseUp(float x, float y, bool inside) override;
    bool OnKeyDown(int code) override;
    bool CanFocus() const override { return !IsPart(); }
    void RenderBackground(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    std::int32_t GetVisibleRows() const;
    cRect GetRowArea() const;
    void SelectFromUser(std::int32_t index, bool always);

    std::vector<std::string> m_Items;
    std::int32_t m_Selected = -1;
    std::int32_t m_First = 0;
    std::int32_t m_Hot = -1;
    bool m_Tracking = false;
    bool m_PopupMode = false;
    cScroll* m_Scroll = nullptr;
};

} // namespace velmora::gui

#include "gui/cComboBox.h"

#include <algorithm>

#include "engine/IInput.h"
#include "gui/GUIFileIO.h"
#include "gui/cButton.h"
#include "gui/cEdit.h"
#include "gui/cListBox.h"
#include "gui/cSkin.h"
#include "gui/cWindow.h"

namespace velmora::gui {

cComboBox::cComboBox() : cContainer(CK_COMBO_BOX, CE_COUNT) {
    m_Edit = AddPart(std::make_unique<cEdit>(), "edit_Selected");
    m_Button = AddPart(std::make_unique<cButton>(), "button_Drop");
    m_List = AddPart(std::make_unique<cListBox>(), "list_Items");
    m_Edit->SetReadOnly(true);
    m_Button->SetArrow(ARROW_DOWN);
    m_Button->SetEventHandler(BE_PRESS, tEventHandler(this, &cComboBox::OnDropPressed));
    m_List->SetPopupMode(true);
    m_List->SetVisible(false);
    m_List->SetEventHandler(LE_SELECT, tEventHandler(this, &cComboBox::OnListSelect));
}

std::int32_t cComboBox::AddItem(const std::string& text) { return m_List->AddItem(text); }

void cComboBox::ClearItems() {
    m_List->ClearItems();
    SetSelected(-1);
}

std::int32_t cComboBox::GetItemCount() const { return m_List->GetItemCount(); }

const std::string& cComboBox::GetItem(std::int32_t index) const { return m_List->GetItem(index); }

void cComboBox::SetSelected(std::int32_t index) {
    m_Selected = index >= 0 && index < GetItemCount() ? index : -1;
    m_Edit->SetText(m_Selected >= 0 ? GetItem(m_Selected) : std::string());
    m_List->SetSelected(m_Selected);
}

void cComboBox::SelectFromUser(std::int32_t index) {
    if (index < 0 || index >= GetItemCount()) return;
    const bool changed = index != m_Selected;
    SetSelected(index);
    if (changed) RaiseEvent(CE_SELECT);
}

void cComboBox::SetDropped(bool dropped) {
    cWindow* window = FindWindow();
    if (dropped && (!window || GetItemCount() == 0 || !IsShown() || !IsActive())) return;
    if (dropped == m_Dropped) return;
    m_Dropped = dropped;
    m_List->SetVisible(dropped);
    Layout();
    if (dropped) {
        m_List->SetSelected(m_Selected);
        window->SetPopup(m_List);
    } else if (window && window->GetPopup() == m_List) {
        window->SetPopup(nullptr);
    }
}

void cComboBox::OnPopupClosed() {
    m_Dropped = false;
    m_List->SetVisible(false);
}

void cComboBox::OnDropPressed(IControl*) { SetDropped(!m_Dropped); }

void cComboBox::OnListSelect(IControl*) {
    const std::int32_t index = m_List->GetSelected();
    SetDropped(false);
    SelectFromUser(index);
}

void cComboBox::Layout() {
    if (!m_List) return;
    const cRect local = GetRect().Normalized();
    const float w = local.x2 - local.x1, h = local.y2 - local.y1;
    const float side = std::min(h, w * 0.5f);
    m_Edit->SetRect(cRect(0.0f, 0.0f, w - side + 1.0f, h));
    m_Button->SetRect(cRect(w - side, 0.0f, w, h));
    const auto rows = static_cast<float>(std::clamp(GetItemCount(), 1, kDropRows));
    const float listHeight = rows * m_List->GetRowHeight() + 4.0f;
    m_List->SetRect(cRect(0.0f, -listHeight - 1.0f, w, -1.0f));
}

bool cComboBox::OnMouseDown(float, float) {
    SetDropped(!m_Dropped);
    return true;
}

bool cComboBox::OnKeyDown(int code) {
    switch (code) {
    case kKeyUp: SelectFromUser(std::max(0, m_Selected - 1)); return true;
    case kKeyDown: SelectFromUser(std::min(GetItemCount() - 1, m_Selected + 1)); return true;
    case kKeyEnter:
    case kKeySpace: SetDropped(!m_Dropped); return true;
    case kKeyEscape:
        if (!m_Dropped) return false;
        SetDropped(false);
        return true;
    default: return false;
    }
}

void cComboBox::Render(cSkin& skin) {
    if (!IsVisible()) return;
    Layout();
    m_Edit->Render(skin);
    m_Button->Render(skin);
    if (HasFocus()) skin.DrawFrame(m_Edit->GetScreenRect(), cColor(38, 150, 160, 200));
}

void cComboBox::WriteData(IFile* file) const {
    WriteInt32(file, GetItemCount());
    for (std::int32_t i = 0; i < GetItemCount(); ++i) WriteText(file, GetItem(i));
    WriteInt32(file, m_Selected);
}

void cComboBox::ReadData(IFile* file, std::int32_t) {
    const char* who = "cComboBox::ReadFromFile";
    const std::int32_t count = ReadCount(file, who);
    m_List->ClearItems();
    for (std::int32_t i = 0; i < count; ++i) m_List->AddItem(ReadText(file, who));
    SetSelected(ReadInt32(file, who));
}

} // namespace velmora::gui

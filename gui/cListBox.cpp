#include "gui/cListBox.h"

#include <algorithm>
#include <cmath>

#include "engine/IInput.h"
#include "gui/GUIFileIO.h"
#include "gui/cGUIManager.h"
#include "gui/cScroll.h"
#include "gui/cSkin.h"
#include "gui/cWindow.h"

namespace velmora::gui {

namespace {
constexpr float kScrollWidth = 16.0f;
constexpr float kInset = 2.0f;
const std::string kNoItem;
} // namespace

cListBox::cListBox() : cContainer(CK_LIST_BOX, LE_COUNT) {
    m_Scroll = AddPart(std::make_unique<cScroll>(), "verticalScroll");
    m_Scroll->SetVisible(false);
}

std::int32_t cListBox::AddItem(const std::string& text) {
    if (m_Items.size() >= static_cast<std::size_t>(kMaxFileCount)) return -1;
    m_Items.push_back(text);
    Layout();
    return static_cast<std::int32_t>(m_Items.size()) - 1;
}

bool cListBox::RemoveItem(std::int32_t index) {
    if (index < 0 || index >= GetItemCount()) return false;
    m_Items.erase(m_Items.begin() + index);
    if (m_Selected == index) m_Selected = -1;
    else if (m_Selected > index) --m_Selected;
    Layout();
    return true;
}

void cListBox::ClearItems() {
    m_Items.clear();
    m_Selected = -1;
    m_Hot = -1;
    Layout();
}

const std::string& cListBox::GetItem(std::int32_t index) const {
    return index >= 0 && index < GetItemCount() ? m_Items[static_cast<std::size_t>(index)] : kNoItem;
}

void cListBox::SetSelected(std::int32_t index) {
    m_Selected = index >= 0 && index < GetItemCount() ? index : -1;
    if (m_Selected >= 0) ShowRow(m_Selected);
}

float cListBox::GetRowHeight() const { return std::floor(GetLayoutSkin().GetLineHeight(FONT_TEXT) + 4.0f); }

std::int32_t cListBox::GetVisibleRows() const {
    const float height = GetRect().GetHeight() - 2.0f * kInset;
    return std::max(1, static_cast<std::int32_t>(height / GetRowHeight()));
}

cRect cListBox::GetRowArea() const {
    const cRect r = GetScreenRect();
    const float right = m_Scroll->IsVisible() ? r.x2 - kScrollWidth : r.x2;
    return cRect(r.x1 + kInset, r.y1 + kInset, right - kInset, r.y2 - kInset);
}

void cListBox::Layout() {
    if (!m_Scroll) return;
    const cRect local = GetRect().Normalized();
    const std::int32_t rows = GetVisibleRows();
    const bool overflow = GetItemCount() > rows;
    if (m_Scroll->IsVisible() != overflow) m_Scroll->SetVisible(overflow);
    const float w = local.x2 - local.x1, h = local.y2 - local.y1;
    m_Scroll->SetRect(cRect(w - kScrollWidth, 0.0f, w, h));
    m_Scroll->SetRange(0, std::max(0, GetItemCount() - rows));
    m_Scroll->SetPageSize(rows);
    m_First = overflow ? m_Scroll->GetPosition() : 0;
}

void cListBox::ShowRow(std::int32_t index) {
    Layout();
    const std::int32_t rows = GetVisibleRows();
    if (index < m_First) m_Scroll->SetPosition(index);
    if (index >= m_First + rows) m_Scroll->SetPosition(index - rows + 1);
    Layout();
}

std::int32_t cListBox::RowAt(float y) const {
    const cRect area = GetRowArea();
    if (y > area.y2 || y < area.y1) return -1;
    const auto row = static_cast<std::int32_t>(std::floor((area.y2 - y) / GetRowHeight()));
    const std::int32_t index = m_First + row;
    return index >= 0 && index < GetItemCount() ? index : -1;
}

void cListBox::SelectFromUser(std::int32_t index, bool always) {
    if (index < 0 || index >= GetItemCount()) return;
    const bool changed = index != m_Selected;
    SetSelected(index);
    if (changed || always) RaiseEvent(LE_SELECT);
}

bool cListBox::OnMouseDown(float, float y) {
    Layout();
    m_Tracking = true;
    const std::int32_t row = RowAt(y);
    if (m_PopupMode) m_Hot = row;
    else SelectFromUser(row, false);
    return true;
}

void cListBox::OnMouseMove(float, float y) {
    if (!m_Tracking) return;
    const cRect area = GetRowArea();
    const float clamped = std::clamp(y, area.y1 + 1.0f, area.y2 - 1.0f);
    if (m_PopupMode) m_Hot = RowAt(y);
    else SelectFromUser(RowAt(clamped), false);
}

void cListBox::OnMouseUp(float, float y, bool inside) {
    m_Tracking = false;
    if (m_PopupMode && inside) SelectFromUser(RowAt(y), true);
}

bool cListBox::OnKeyDown(int code) {
    const std::int32_t count = GetItemCount();
    if (count == 0) return false;
    const std::int32_t rows = GetVisibleRows();
    std::int32_t target = m_Selected;
    switch (code) {
    case kKeyUp: target = m_Selected < 0 ? 0 : m_Selected - 1; break;
    case kKeyDown: target = m_Selected + 1; break;
    case kKeyHome: target = 0; break;
    case kKeyEnd: target = count - 1; break;
    case kKeyPageUp: target = m_Selected - rows; break;
    case kKeyPageDown: target = m_Selected + rows; break;
    default: return false;
    }
    SelectFromUser(std::clamp(target, 0, count - 1), false);
    return true;
}

void cListBox::RenderBackground(cSkin& skin) {
    const cRect r = GetScreenRect();
    const bool active = IsActive();
    skin.DrawPiece(m_PopupMode ? SP_PANEL : SP_LOWERED, 0, r, active ? cColor(255, 255, 255) : cColor(238, 241, 242));
    if (HasFocus()) skin.DrawFrame(r, cColor(38, 150, 160, 200));
    // In a drop-down list the row under the mouse is highlighted.
    std::int32_t hot = -1;
    if (m_PopupMode && IsHovered()) {
        const cWindow* window = FindWindow();
        float mx = 0.0f, my = 0.0f;
        if (window && window->GetManagerImpl() && window->GetManagerImpl()->GetMousePosition(mx, my)) hot = RowAt(my);
    }
    if (m_Tracking && m_PopupMode) hot = m_Hot;
    const cRect area = GetRowArea();
    const float height = GetRowHeight();
    skin.PushClip(area);
    for (std::int32_t i = m_First; i < GetItemCount(); ++i) {
        const float top = area.y2 - static_cast<float>(i - m_First) * height;
        if (top < area.y1) break;
        const cRect row(area.x1, top - height, area.x2, top);
        cColor text = active ? cSkin::kText : cSkin::kTextDisabled;
        // A drop-down list marks the row under the mouse strongly and the current choice lightly.
        const bool strong = m_PopupMode ? i == hot : i == m_Selected;
        if (strong) {
            skin.FillRect(row, active ? cSkin::kSelection : cColor(196, 206, 211));
            text = cSkin::kSelectionText;
        } else if (m_PopupMode && i == m_Selected) {
            skin.FillRect(row, cSkin::kHover);
        }
        skin.DrawTextInRect(FONT_TEXT, cRect(row.x1 + 6.0f, row.y1, row.x2, row.y2), m_Items[static_cast<std::size_t>(i)],
                            text);
    }
    skin.PopClip();
}

void cListBox::WriteData(IFile* file) const {
    WriteInt32(file, GetItemCount());
    for (const std::string& item : m_Items) WriteText(file, item);
    WriteInt32(file, m_Selected);
}

void cListBox::ReadData(IFile* file, std::int32_t) {
    const char* who = "cListBox::ReadFromFile";
    const std::int32_t count = ReadCount(file, who);
    m_Items.clear();
    for (std::int32_t i = 0; i < count; ++i) m_Items.push_back(ReadText(file, who));
    SetSelected(ReadInt32(file, who));
}

} // namespace velmora::gui

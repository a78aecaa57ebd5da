#include "gui/cRadioGroup.h"

#include <algorithm>

#include "engine/IInput.h"
#include "gui/GUIFileIO.h"
#include "gui/cGroupBox.h"
#include "gui/cRadioItem.h"
#include "gui/cSkin.h"

namespace velmora::gui {

namespace {
const std::string kNoCaption;
} // namespace

cRadioGroup::cRadioGroup() : cContainer(CK_RADIO_GROUP, RE_COUNT) {}

std::int32_t cRadioGroup::AddItem(const std::string& caption, const cRect& rect) {
    if (m_Count >= kMaxFileCount) return -1;
    auto item = std::make_unique<cRadioItem>(*this, m_Count);
    item->SetCaption(caption);
    item->SetRect(rect);
    AddPart(std::move(item), "item" + std::to_string(m_Count));
    return m_Count++;
}

cControl* cRadioGroup::GetItem(std::int32_t index) const {
    return index >= 0 && index < m_Count ? FindChild("item" + std::to_string(index)) : nullptr;
}

const std::string& cRadioGroup::GetItemCaption(std::int32_t index) const {
    const cControl* item = GetItem(index);
    return item ? item->GetCaption() : kNoCaption;
}

cRect cRadioGroup::GetItemRect(std::int32_t index) const {
    const cControl* item = GetItem(index);
    return item ? item->GetRect() : cRect();
}

void cRadioGroup::SetSelected(std::int32_t index) { m_Selected = index >= 0 && index < m_Count ? index : -1; }

void cRadioGroup::SelectFromUser(std::int32_t index) {
    if (index < 0 || index >= m_Count || index == m_Selected) return;
    m_Selected = index;
    RaiseEvent(RE_SELECT);
}

bool cRadioGroup::OnMouseDown(float, float) {
    // A click between the items only takes the focus.
    return true;
}

bool cRadioGroup::OnKeyDown(int code) {
    if (m_Count == 0) return false;
    if (code == kKeyUp || code == kKeyLeft) {
        SelectFromUser(std::max(0, m_Selected - 1));
        return true;
    }
    if (code == kKeyDown || code == kKeyRight) {
        SelectFromUser(std::min(m_Count - 1, m_Selected + 1));
        return true;
    }
    return false;
}

void cRadioGroup::RenderBackground(cSkin& skin) {
    if (!GetCaption().empty()) cGroupBox::DrawGroupFrame(skin, GetScreenRect(), GetCaption(), IsActive());
}

void cRadioGroup::WriteData(IFile* file) const {
    WriteInt32(file, m_Count);
    for (std::int32_t i = 0; i < m_Count; ++i) {
        const cRect r = GetItemRect(i);
        WriteText(file, GetItemCaption(i));
        WriteFloat(file, r.x1);
        WriteFloat(file, r.y1);
        WriteFloat(file, r.x2);
        WriteFloat(file, r.y2);
    }
    WriteInt32(file, m_Selected);
}

void cRadioGroup::ReadData(IFile* file, std::int32_t) {
    const char* who = "cRadioGroup::ReadFromFile";
    const std::int32_t count = ReadCount(file, who, 4096);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string caption = ReadText(file, who);
        cRect r;
        r.x1 = ReadFloat(file, who);
        r.y1 = ReadFloat(file, who);
        r.x2 = ReadFloat(file, who);
        r.y2 = ReadFloat(file, who);
        AddItem(caption, r);
    }
    SetSelected(ReadInt32(file, who));
}

} // namespace velmora::gui

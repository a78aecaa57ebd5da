#include "gui/cTabBox.h"

#include <algorithm>
#include <cmath>

#include "engine/IInput.h"
#include "gui/GUIFileIO.h"
#include "gui/cSkin.h"

namespace velmora::gui {

namespace {
const std::string kNoCaption;
constexpr std::int32_t kMaxPages = 256;
} // namespace

cTabBox::cTabBox() : cContainer(CK_TAB_BOX, TE_COUNT) {}

IContainer* cTabBox::AddPage(const std::string& caption) {
    if (GetPageCount() >= kMaxPages) return nullptr;
    auto page = std::make_unique<cContainer>(CK_CONTAINER, 0);
    page->SetHoldsUserControls(true);
    cContainer* raw = AddPart(std::move(page), "page" + std::to_string(m_Pages.size()));
    m_Pages.push_back(raw);
    m_Captions.push_back(caption);
    if (m_Active < 0) m_Active = 0;
    Layout();
    return raw;
}

IContainer* cTabBox::GetPage(std::int32_t index) {
    return index >= 0 && index < GetPageCount() ? m_Pages[static_cast<std::size_t>(index)] : nullptr;
}

const std::string& cTabBox::GetPageCaption(std::int32_t index) const {
    return index >= 0 && index < GetPageCount() ? m_Captions[static_cast<std::size_t>(index)] : kNoCaption;
}

void cTabBox::SetActivePage(std::int32_t index) {
    if (index < 0 || index >= GetPageCount()) return;
    m_Active = index;
    Layout();
}

void cTabBox::SelectFromUser(std::int32_t index) {
    if (index < 0 || index >= GetPageCount() || index == m_Active) return;
    SetActivePage(index);
    RaiseEvent(TE_PAGE);
}

void cTabBox::Layout() {
    const cRect local = GetRect().Normalized();
    const float w = local.x2 - local.x1, h = local.y2 - local.y1;
    for (std::size_t i = 0; i < m_Pages.size(); ++i) {
        m_Pages[i]->SetRect(cRect(0.0f, 0.0f, w, std::max(0.0f, h - kHeaderHeight)));
        const bool show = static_cast<std::int32_t>(i) == m_Active;
        if (m_Pages[i]->IsVisible() != show) m_Pages[i]->SetVisible(show);
    }
}

cRect cTabBox::GetHeaderRect(std::int32_t index) const {
    const cRect r = GetScreenRect();
    const cSkin& skin = GetLayoutSkin();
    float x = r.x1 + 2.0f;
    for (std::int32_t i = 0; i < index; ++i) {
        x += std::floor(skin.MeasureText(FONT_TEXT, m_Captions[static_cast<std::size_t>(i)]) + 28.0f) - 1.0f;
    }
    const float width = std::floor(skin.MeasureText(FONT_TEXT, GetPageCaption(index)) + 28.0f);
    const float top = index == m_Active ? r.y2 : r.y2 - 3.0f;
    return cRect(x, r.y2 - kHeaderHeight - 1.0f, x + width, top);
}

std::int32_t cTabBox::HeaderAt(float x, float y) const {
    for (std::int32_t i = 0; i < GetPageCount(); ++i) {
        if (GetHeaderRect(i).Contains(x, y)) return i;
    }
    return -1;
}

bool cTabBox::OnMouseDown(float x, float y) {
    SelectFromUser(HeaderAt(x, y));
    return true;
}

bool cTabBox::OnKeyDown(int code) {
    if (code == kKeyLeft) {
        SelectFromUser(m_Active - 1);
        return true;
    }
    if (code == kKeyRight) {
        SelectFromUser(m_Active + 1);
        return true;
    }
    return false;
}

void cTabBox::RenderBackground(cSkin& skin) {
    const cRect r = GetScreenRect();
    const bool active = IsActive();
    const cColor tint = active ? cColor(255, 255, 255) : cColor(240, 242, 243);
    skin.DrawPiece(SP_PANEL, 0, cRect(r.x1, r.y1, r.x2, r.y2 - kHeaderHeight), tint);
    const cColor text = active ? cSkin::kText : cSkin::kTextDisabled;
    // Inactive headers first, then the active one over the panel's top edge.
    for (std::int32_t pass = 0; pass < 2; ++pass) {
        for (std::int32_t i = 0; i < GetPageCount(); ++i) {
            const bool current = i == m_Active;
            if (current != (pass == 1)) continue;
            const cRect header = GetHeaderRect(i);
            skin.DrawPiece(current ? SP_TAB_ACTIVE : SP_TAB, 0, header, tint);
            skin.DrawTextInRect(FONT_TEXT, cRect(header.x1, header.y1 + (current ? 1.0f : 0.0f), header.x2, header.y2),
                                GetPageCaption(i), text, 1);
            if (current && HasFocus()) {
                const float width = skin.MeasureText(FONT_TEXT, GetPageCaption(i));
                const float cx = (header.x1 + header.x2) * 0.5f;
                skin.FillRect(cRect(cx - width * 0.5f, header.y1 + 4.0f, cx + width * 0.5f, header.y1 + 5.0f),
                              cColor(38, 150, 160, 160));
            }
        }
    }
}

void cTabBox::Render(cSkin& skin) {
    if (!IsVisible()) return;
    Layout();
    RenderBackground(skin);
    if (cContainer* page = m_Active >= 0 ? m_Pages[static_cast<std::size_t>(m_Active)] : nullptr) {
        skin.PushClip(page->GetScreenRect());
        page->Render(skin);
        skin.PopClip();
    }
}

void cTabBox::WriteData(IFile* file) const {
    WriteInt32(file, GetPageCount());
    for (std::size_t i = 0; i < m_Pages.size(); ++i) {
        WriteText(file, m_Captions[i]);
        m_Pages[i]->WriteChildren(file);
    }
    WriteInt32(file, m_Active);
}

void cTabBox::ReadData(IFile* file, std::int32_t depth) {
    const char* who = "cTabBox::ReadFromFile";
    const std::int32_t count = ReadCount(file, who, kMaxPages);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string caption = ReadText(file, who);
        auto* page = static_cast<cContainer*>(dynamic_cast<cContainer*>(AddPage(caption)));
        page->ReadChildren(file, depth + 1);
    }
    SetActivePage(ReadInt32(file, who));
}

} // namespace velmora::gui

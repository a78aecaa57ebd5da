#include "gui/cPropertyGrid.h"

#include <cmath>

#include "gui/GUIFileIO.h"
#include "gui/cEdit.h"
#include "gui/cLabel.h"
#include "gui/cSkin.h"

namespace velmora::gui {

namespace {
const std::string kNoName;
} // namespace

cPropertyGrid::cPropertyGrid() : cContainer(CK_PROPERTY_GRID, PE_COUNT) {
    m_Grid = AddPart(std::make_unique<cContainer>(CK_CONTAINER, 0), "PropertyGrid");
}

const cPropertyGrid::sRow* cPropertyGrid::FindRow(const std::string& name) const {
    for (const sRow& row : m_Rows) {
        if (row.name == name) return &row;
    }
    return nullptr;
}

void cPropertyGrid::SetProperty(const std::string& name, const std::string& value) {
    if (const sRow* row = FindRow(name)) {
        row->edit->SetText(value);
        return;
    }
    if (GetPropertyCount() >= kMaxProperties) return;
    auto label = std::make_unique<cLabel>();
    label->SetCaption(name);
    auto edit = std::make_unique<cEdit>();
    edit->SetFrameless(true);
    edit->SetText(value);
    edit->SetEventHandler(EE_CHANGE, tEventHandler(this, &cPropertyGrid::OnValueEdited));
    sRow row{name, nullptr, nullptr};
    row.label = m_Grid->AddPart(std::move(label), "label_" + name);
    row.edit = m_Grid->AddPart(std::move(edit), "edit_" + name);
    m_Rows.push_back(row);
    Layout();
}

const std::string* cPropertyGrid::GetProperty(const std::string& name) const {
    const sRow* row = FindRow(name);
    return row ? &row->edit->GetText() : nullptr;
}

bool cPropertyGrid::RemoveProperty(const std::string& name) {
    for (auto it = m_Rows.begin(); it != m_Rows.end(); ++it) {
        if (it->name != name) continue;
        cLabel* label = it->label;
        cEdit* edit = it->edit;
        m_Rows.erase(it);
        m_Grid->DestroyChild(label);
        m_Grid->DestroyChild(edit);
        Layout();
        return true;
    }
    return false;
}

const std::string& cPropertyGrid::GetPropertyName(std::int32_t index) const {
    return index >= 0 && index < GetPropertyCount() ? m_Rows[static_cast<std::size_t>(index)].name : kNoName;
}

void cPropertyGrid::OnValueEdited(IControl*) { RaiseEvent(PE_CHANGE); }

void cPropertyGrid::Layout() {
    if (!m_Grid) return;
    const cRect local = GetRect().Normalized();
    const float w = local.x2 - local.x1, h = local.y2 - local.y1;
    m_Grid->SetRect(cRect(1.0f, 1.0f, w - 1.0f, h - 1.0f));
    const float gridW = w - 2.0f, gridH = h - 2.0f;
    const float split = std::floor(gridW * 0.42f);
    for (std::size_t i = 0; i < m_Rows.size(); ++i) {
        const float top = gridH - static_cast<float>(i) * kRowHeight;
        m_Rows[i].label->SetRect(cRect(6.0f, top - kRowHeight, split - 4.0f, top));
        m_Rows[i].edit->SetRect(cRect(split + 1.0f, top - kRowHeight + 1.0f, gridW, top));
    }
}

void cPropertyGrid::RenderBackground(cSkin& skin) {
    const cRect r = GetScreenRect();
    const bool active = IsActive();
    skin.DrawPiece(SP_LOWERED, 0, r, active ? cColor(255, 255, 255) : cColor(238, 241, 242));
    const cRect grid = m_Grid->GetScreenRect();
    const float split = grid.x1 + std::floor((grid.x2 - grid.x1) * 0.42f);
    skin.PushClip(grid);
    for (std::size_t i = 0; i < m_Rows.size(); ++i) {
        const float top = grid.y2 - static_cast<float>(i) * kRowHeight;
        if (top < grid.y1) break;
        skin.FillRect(cRect(grid.x1, top - kRowHeight, split, top), cColor(236, 242, 244));
        skin.FillRect(cRect(grid.x1, top - kRowHeight, grid.x2, top - kRowHeight + 1.0f), cSkin::kLine);
    }
    if (!m_Rows.empty()) {
        const float bottom = std::max(grid.y1, grid.y2 - static_cast<float>(m_Rows.size()) * kRowHeight);
        skin.FillRect(cRect(split, bottom, split + 1.0f, grid.y2), cSkin::kLine);
    }
    skin.PopClip();
}

void cPropertyGrid::WriteData(IFile* file) const {
    WriteInt32(file, GetPropertyCount());
    for (const sRow& row : m_Rows) {
        WriteText(file, row.name);
        WriteText(file, row.edit->GetText());
    }
}

void cPropertyGrid::ReadData(IFile* file, std::int32_t) {
    const char* who = "cPropertyGrid::ReadFromFile";
    const std::int32_t count = ReadCount(file, who, kMaxProperties);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string name = ReadText(file, who);
        SetProperty(name, ReadText(file, who));
    }
}

} // namespace velmora::gui

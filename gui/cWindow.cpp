#include "gui/cWindow.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "engine/IInput.h"
#include "engine/core/EngineGlobals.h"
#include "gui/GUIFileIO.h"
#include "gui/cGUIManager.h"
#include "gui/cSkin.h"

namespace velmora::gui {

cWindow::cWindow(cGUIManager* manager) : cContainer(CK_WINDOW, WE_COUNT), m_Manager(manager) {}

cWindow::~cWindow() {
    m_Focus = m_Capture = m_Hover = m_Popup = nullptr;
}

void cWindow::SetDockingThreshold(float pixels) {
    m_DockingThreshold = std::isfinite(pixels) ? std::clamp(pixels, 0.0f, 1000.0f) : kDefaultDockingThreshold;
}

IGUIManager* cWindow::GetManager() const { return m_Manager; }

cRect cWindow::GetCaptionRect() const {
    const cRect r = GetScreenRect();
    return cRect(r.x1, r.y2 - cSkin::kCaptionHeight, r.x2, r.y2);
}

void cWindow::SetFocusControl(cControl* control) {
    if (control == m_Focus) return;
    cControl* old = m_Focus;
    m_Focus = control;
    if (old) old->OnFocusChanged(false);
    if (control && m_Focus == control) control->OnFocusChanged(true);
}

void cWindow::FocusNext(bool backwards) {
    std::vector<cControl*> order;
    std::function<void(const cContainer&)> collect = [&](const cContainer& container) {
        for (const std::unique_ptr<cControl>& child : container.GetChildren()) {
            if (!child->IsVisible() || !child->IsEnabled()) continue;
            if (!child->IsPart() && child->CanFocus()) order.push_back(child.get());
            if (const auto* inner = dynamic_cast<const cContainer*>(child.get())) collect(*inner);
        }
    };
    collect(*this);
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), m_Focus);
    std::ptrdiff_t index = at == order.end() ? (backwards ? 0 : -1) : at - order.begin();
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    index = ((backwards ? index - 1 : index + 1) % count + count) % count;
    SetFocusControl(order[static_cast<std::size_t>(index)]);
}

void cWindow::SetPopup(cControl* popup) {
    if (popup == m_Popup) return;
    cControl* old = m_Popup;
    m_Popup = popup;
    if (old && old->GetParentContainer()) old->GetParentContainer()->OnPopupClosed();
}

void cWindow::ForgetControl(cControl* control, bool removed) {
    (void)removed;
    if (!control) return;
    if (m_Popup && m_Popup->IsInside(control)) SetPopup(nullptr);
    if (m_Focus && m_Focus->IsInside(control)) SetFocusControl(nullptr);
    if (m_Capture && m_Capture->IsInside(control)) m_Capture = nullptr;
    if (m_Hover && m_Hover->IsInside(control)) SetHover(nullptr);
    if (control == this) m_Dragging = false;
}

void cWindow::Deactivate() {
    SetPopup(nullptr);
    SetFocusControl(nullptr);
}

bool cWindow::IsUnder(float x, float y) const {
    if (ContainsPoint(x, y)) return true;
    return m_Popup && m_Popup->IsShown() && m_Popup->ContainsPoint(x, y);
}

bool cWindow::HandleLeftButtonDown(float x, float y) {
    if (!IsVisible()) return false;
    // A new press ends whatever an earlier one left behind (a release the window never heard of).
    m_Dragging = false;
    m_Capture = nullptr;
    cControl* target = nullptr;
    if (m_Popup && m_Popup->IsShown() && m_Popup->ContainsPoint(x, y)) {
        target = m_Popup->HitTest(x, y);
    } else {
        // A click beside an open list closes it, unless it lands on the list's owner, which toggles it.
        const cControl* owner = m_Popup ? m_Popup->GetParentContainer() : nullptr;
        if (m_Popup && !(owner && owner->ContainsPoint(x, y))) SetPopup(nullptr);
        if (!ContainsPoint(x, y)) return false;
        target = HitTest(x, y);
    }
    // A disabled window still covers what lies behind it.
    if (!IsEnabled()) return true;
    cGUIManager* manager = m_Manager;
    if (manager) manager->ActivateWindow(this);
    RaiseEvent(WE_ACTIVATE);
    if (manager && m_Manager != manager) return true;  // a handler destroyed the window

    for (cControl* c = target; c && c != this; c = c->GetParentContainer()) {
        if (!c->IsActive()) continue;
        if (!c->OnMouseDown(x, y)) continue;
        if (c->FindWindow() != this) return true;  // gone while pressed
        m_Capture = c;
        cControl* focus = c;
        while (focus && focus != this && !focus->CanFocus()) focus = focus->GetParentContainer();
        SetFocusControl(focus != this ? focus : nullptr);
        return true;
    }
    SetFocusControl(nullptr);
    if (IsDragable() && (!HasCaptionBar() || GetCaptionRect().Contains(x, y))) {
        const cRect r = GetRect().Normalized();
        m_Dragging = true;
        m_GrabX = x - r.x1;
        m_GrabY = y - r.y1;
    }
    return true;
}

bool cWindow::HandleLeftButtonUp(float x, float y) {
    if (m_Dragging) {
        m_Dragging = false;
        RaiseEvent(WE_MOVE);
        return true;
    }
    if (m_Capture) {
        cControl* control = m_Capture;
        m_Capture = nullptr;
        control->OnMouseUp(x, y, control->IsShown() && control->ContainsPoint(x, y));
        return true;
    }
    return IsVisible() && IsUnder(x, y);
}

bool cWindow::HandleRightButtonDown(float x, float y) { return IsVisible() && IsEnabled() && IsUnder(x, y); }

bool cWindow::HandleRightButtonUp(float x, float y) { return IsVisible() && IsEnabled() && IsUnder(x, y); }

void cWindow::HandleMouseMove(float x, float y) {
    if (m_Dragging) {
        const cRect r = GetRect().Normalized();
        const float nx = x - m_GrabX, ny = y - m_GrabY;
        cRect moved(nx, ny, nx + (r.x2 - r.x1), ny + (r.y2 - r.y1));
        if (m_Dockable && m_Manager) moved = m_Manager->Dock(this, moved);
        SetRect(moved);
        return;
    }
    if (m_Capture) m_Capture->OnMouseMove(x, y);
}

void cWindow::SetHover(cControl* control) {
    if (control == m_Hover) return;
    for (cControl* c = m_Hover; c; c = c->GetParentContainer()) c->SetHovered(false);
    m_Hover = control;
    for (cControl* c = m_Hover; c; c = c->GetParentContainer()) c->SetHovered(true);
}

void cWindow::UpdateHover(float x, float y, bool inside) {
    if (!inside || !IsVisible()) {
        SetHover(nullptr);
        return;
    }
    if (m_Popup && m_Popup->IsShown() && m_Popup->ContainsPoint(x, y)) {
        SetHover(m_Popup->HitTest(x, y));
    } else {
        SetHover(HitTest(x, y));
    }
}

bool cWindow::HandleKeyDown(int code, bool active) {
    if (!IsVisible() || !IsEnabled()) return false;
    if (m_Focus && m_Focus->IsShown() && m_Focus->IsActive() && m_Focus->OnKeyDown(code)) return true;
    if (m_Popup && code == kKeyEscape) {
        SetPopup(nullptr);
        return true;
    }
    if (active && code == kKeyTab) {
        IInput* input = GetInput();
        FocusNext(input && input->IsKeyDown(kKeyShift));
        return m_Focus != nullptr;
    }
    return false;
}

bool cWindow::HandleChar(int character) {
    if (!IsVisible() || !IsEnabled()) return false;
    return m_Focus && m_Focus->IsShown() && m_Focus->IsActive() && m_Focus->OnChar(character);
}

void cWindow::Update(float seconds) { cContainer::Update(seconds); }

void cWindow::RenderBackground(cSkin& skin) {
    const cRect r = GetScreenRect();
    const bool enabled = IsEnabled();
    skin.DrawPiece(SP_WINDOW_BODY, 0, r, enabled ? cColor(255, 255, 255) : cColor(236, 238, 240));
    if (!HasCaptionBar()) return;
    const bool focused = m_Manager && m_Manager->GetFocusedWindow() == this;
    const cColor tint = !enabled ? cColor(190, 198, 202) : focused ? cColor(255, 255, 255) : cColor(178, 206, 210);
    const cRect caption = GetCaptionRect();
    skin.DrawPiece(SP_WINDOW_CAPTION, 0, caption, tint);
    skin.PushClip(cRect(caption.x1 + 6.0f, caption.y1, caption.x2 - 6.0f, caption.y2));
    skin.DrawTextInRect(FONT_CAPTION, cRect(caption.x1 + 12.0f, caption.y1, caption.x2 - 8.0f, caption.y2), GetCaption(),
                        enabled ? cSkin::kCaptionText : cColor(235, 240, 242));
    skin.PopClip();
}

void cWindow::Render(cSkin& skin) {
    if (!IsVisible()) return;
    cContainer::Render(skin);
    if (m_Popup && m_Popup->IsShown()) {
        // A soft shadow lifts the popup above the window.
        const cRect r = m_Popup->GetScreenRect();
        skin.FillRect(cRect(r.x1 + 3.0f, r.y1 - 3.0f, r.x2 + 3.0f, r.y2 - 3.0f), cColor(0, 0, 0, 28));
        skin.FillRect(cRect(r.x1 + 2.0f, r.y1 - 2.0f, r.x2 + 2.0f, r.y2 - 2.0f), cColor(0, 0, 0, 28));
        m_Popup->Render(skin);
    }
}

void cWindow::WriteData(IFile* file) const {
    WriteFloat(file, m_DockingThreshold);
    WriteBool(file, m_Dockable);
    WriteChildren(file);
}

void cWindow::ReadData(IFile* file, std::int32_t depth) {
    SetDockingThreshold(ReadFloat(file, "cWindow::ReadFromFile"));
    m_Dockable = ReadBool(file, "cWindow::ReadFromFile");
    ReadChildren(file, depth);
}

} // namespace velmora::gui

#include "gui/cControl.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "gui/GUIFileIO.h"
#include "gui/cContainer.h"
#include "gui/cGUIManager.h"
#include "gui/cGUIScript.h"
#include "gui/cScriptEventHandler.h"
#include "gui/cSkin.h"
#include "gui/cWindow.h"

namespace velmora::gui {

namespace {

float Sane(float v) {
    if (!std::isfinite(v)) return 0.0f;
    return std::clamp(v, -cControl::kMaxCoordinate, cControl::kMaxCoordinate);
}

} // namespace

cControl::cControl(std::int32_t kind, std::int32_t eventCount)
    : m_Kind(kind), m_Handlers(static_cast<std::size_t>(std::max(0, eventCount))) {}

cControl::~cControl() {
    if (m_ScriptRef) cGUIScript::Detach(m_ScriptRef, this);
}

const char* cControl::GetClassName() const { return GetControlClassName(m_Kind); }

IContainer* cControl::GetParent() const { return m_Parent; }

IWindow* cControl::GetParentWindow() {
    cWindow* window = FindWindow();
    if (!window) {
        RaiseError("cControl::GetParentWindow : control '%s' has no parent", m_Name.c_str());
    }
    return window;
}

cWindow* cControl::FindWindow() const {
    for (const cControl* c = this; c; c = c->m_Parent) {
        if (c->m_Kind == CK_WINDOW) {
            return const_cast<cWindow*>(static_cast<const cWindow*>(c));
        }
    }
    return nullptr;
}

const cControl* cControl::GetRoot() const {
    const cControl* c = this;
    while (c->m_Parent) c = c->m_Parent;
    return c;
}

bool cControl::IsInside(const cControl* other) const {
    for (const cControl* c = this; c; c = c->m_Parent) {
        if (c == other) return true;
    }
    return false;
}

void cControl::SetRect(const cRect& rect) {
    m_Rect = cRect(Sane(rect.x1), Sane(rect.y1), Sane(rect.x2), Sane(rect.y2));
    Layout();
}

void cControl::Layout() {}

const cSkin& cControl::GetLayoutSkin() const {
    static const cSkin kNoFonts;
    const cWindow* window = FindWindow();
    cGUIManager* manager = window ? window->GetManagerImpl() : nullptr;
    return manager ? manager->GetSkin() : kNoFonts;
}

cRect cControl::GetScreenRect() const {
    const cRect local = m_Rect.Normalized();
    if (!m_Parent) return local;
    const cRect parent = m_Parent->GetScreenRect();
    return cRect(parent.x1 + local.x1, parent.y1 + local.y1, parent.x1 + local.x2, parent.y1 + local.y2);
}

void cControl::SetVisible(bool visible) {
    m_Visible = visible;
    if (!visible) {
        if (cWindow* window = FindWindow()) window->ForgetControl(this, false);
    }
}

void cControl::SetEnabled(bool enabled) {
    m_Enabled = enabled;
    if (!enabled) {
        if (cWindow* window = FindWindow()) window->ForgetControl(this, false);
    }
}

bool cControl::IsShown() const {
    for (const cControl* c = this; c; c = c->m_Parent) {
        if (!c->m_Visible) return false;
    }
    return true;
}

bool cControl::IsActive() const {
    for (const cControl* c = this; c; c = c->m_Parent) {
        if (!c->m_Enabled) return false;
    }
    return true;
}

bool cControl::ContainsPoint(float x, float y) const { return GetScreenRect().Contains(x, y); }

bool cControl::SetEventHandler(std::int32_t index, const tEventHandler& handler) {
    if (index < 0 || index >= GetEventCount()) {
        LogWarning("%s( %s )::SetEventHandler : invalid event index %d\n", GetClassName(), m_Name.c_str(), index);
        return false;
    }
    m_Handlers[static_cast<std::size_t>(index)] = handler;
    return true;
}

bool cControl::SetEventHandler(std::int32_t index, const char* scriptFunction) {
    if (index < 0 || index >= GetEventCount()) {
        LogWarning("%s( %s )::SetEventHandler : invalid event index %d\n", GetClassName(), m_Name.c_str(), index);
        return false;
    }
    if (!scriptFunction || !*scriptFunction) {
        m_Handlers[static_cast<std::size_t>(index)].Reset();
        return true;
    }
    cGUIScript* script = FindScript();
    if (!script) {
        LogWarning("%s( %s )::SetEventHandler : no script for handler '%s'\n", GetClassName(), m_Name.c_str(),
                   scriptFunction);
        return false;
    }
    m_Handlers[static_cast<std::size_t>(index)] =
        tEventHandler(new cScriptEventHandler(script->GetScript(), scriptFunction));
    return true;
}

void cControl::RaiseEvent(std::int32_t index) {
    if (index < 0 || index >= GetEventCount()) return;
    const tEventHandler handler = m_Handlers[static_cast<std::size_t>(index)];
    if (handler) handler(this);
}

bool cControl::HasFocus() const {
    const cWindow* window = FindWindow();
    return window && window->GetFocusControl() == this;
}

void cControl::SetFocus() {
    cWindow* window = FindWindow();
    if (window && CanFocus() && IsShown() && IsActive()) window->SetFocusControl(this);
}

cGUIScript* cControl::FindScript() const {
    const cWindow* window = FindWindow();
    cGUIManager* manager = window ? window->GetManagerImpl() : nullptr;
    return manager ? manager->GetGUIScript() : nullptr;
}

cControl* cControl::HitTest(float x, float y) { return m_Visible && ContainsPoint(x, y) ? this : nullptr; }

bool cControl::OnMouseDown(float, float) { return false; }
void cControl::OnMouseUp(float, float, bool) {}
void cControl::OnMouseMove(float, float) {}
bool cControl::OnKeyDown(int) { return false; }
bool cControl::OnChar(int) { return false; }
void cControl::OnFocusChanged(bool) {}
void cControl::OnPopupClosed() {}
void cControl::Update(float) {}
void cControl::Render(cSkin&) {}

std::int32_t cControl::GetVisualState(bool pressed) const {
    if (!IsActive()) return 3;
    if (pressed) return 2;
    return m_Hovered ? 1 : 0;
}

void cControl::WriteToFile(IFile* file) const {
    WriteFloat(file, m_Rect.x1);
    WriteFloat(file, m_Rect.y1);
    WriteFloat(file, m_Rect.x2);
    WriteFloat(file, m_Rect.y2);
    WriteBool(file, m_Visible);
    WriteBool(file, m_Enabled);
    WriteBool(file, m_Dragable);
    WriteText(file, m_Caption);
    WriteData(file);
}

void cControl::ReadFromFile(IFile* file, std::int32_t depth) {
    const char* who = "cControl::ReadFromFile";
    cRect rect;
    rect.x1 = ReadFloat(file, who);
    rect.y1 = ReadFloat(file, who);
    rect.x2 = ReadFloat(file, who);
    rect.y2 = ReadFloat(file, who);
    SetRect(rect);
    m_Visible = ReadBool(file, who);
    m_Enabled = ReadBool(file, who);
    m_Dragable = ReadBool(file, who);
    m_Caption = ReadText(file, who);
    ReadData(file, depth);
}

void cControl::WriteData(IFile*) const {}
void cControl::ReadData(IFile*, std::int32_t) {}

} // namespace velmora::gui

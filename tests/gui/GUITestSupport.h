#pragma once
// Helpers shared by the GUI tests: a manager with a script environment of its
// own over a scratch file system, the log a piece of work writes, and input
// helpers that click and type like a user.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "gui/IControls.h"
#include "gui/IGUIManager.h"
#include "gui/cGUIManager.h"
#include "engine/IInput.h"
#include "script/IScript.h"
#include "script/IScriptEnv.h"
#include "video/GPUTestSupport.h"

namespace guitest {

using namespace velmora;
using namespace velmora::gui;

// What the action logs (the engine logs to standard output).
inline std::string Logged(const std::function<void()>& action) { return vtest::Captured(action); }

// A point inside a control, relative to its lower-left corner on screen.
inline void Click(IGUIManager& manager, IControl* control, float dx = 4.0f, float dy = 4.0f) {
    const cRect r = control->GetScreenRect();
    manager.OnLeftButtonDown(r.x1 + dx, r.y1 + dy);
    manager.OnLeftButtonUp(r.x1 + dx, r.y1 + dy);
}

inline void Type(IGUIManager& manager, const std::string& text) {
    for (const char c : text) manager.OnChar(static_cast<unsigned char>(c));
}

// A manager (with or without a script environment) whose files live in a scratch folder.
class cGUITest : public ::testing::Test {
protected:
    explicit cGUITest(bool withScript = true) : m_WithScript(withScript) {}

    void SetUp() override {
        testing::internal::CaptureStdout();
        m_Manager.reset(new cGUIManager(m_WithScript ? script::CreateScriptEnv() : nullptr));
        testing::internal::GetCapturedStdout();
    }
    void TearDown() override {
        testing::internal::CaptureStdout();
        m_Manager.reset();
        testing::internal::GetCapturedStdout();
    }

    // A dialog made quietly.
    IWindow* Dialog(const char* name, const cRect& rect, std::uint32_t flags = DF_NONE) {
        IWindow* window = nullptr;
        Logged([&] { window = m_Manager->CreateDialog(name, flags); });
        if (window) window->SetRect(rect);
        return window;
    }
    template <class T>
    T* Add(IContainer* container, const char* name, const cRect& rect) {
        T* control = nullptr;
        Logged([&] { control = AddControl<T>(container, name); });
        if (control) control->SetRect(rect);
        return control;
    }
    // Loads dialog text written to the scratch folder; the log goes to *log when given.
    bool LoadText(const std::string& text, std::string* log = nullptr, const char* name = "dialog.txt") {
        m_Files.Write(name, text);
        bool ok = false;
        const std::string out = Logged([&] { ok = m_Manager->LoadGUI(name); });
        if (log) *log = out;
        return ok;
    }

    bool m_WithScript;
    vtest::cScratchFiles m_Files;
    std::unique_ptr<cGUIManager> m_Manager;
};

} // namespace guitest

namespace guitest {

// A canonical text of a control and what it holds: kind, name, rectangle, flags, caption and the kind's own
// data. Two trees read back from files are the same when their descriptions are.
inline std::string Describe(IControl* control, const std::string& indent = "") {
    char rect[160];
    const cRect r = control->GetRect();
    std::snprintf(rect, sizeof(rect), "(%.4f %.4f %.4f %.4f)", r.x1, r.y1, r.x2, r.y2);
    std::string out = indent + control->GetClassName() + " '" + control->GetName() + "' " + rect +
                      (control->IsVisible() ? " visible" : " hidden") + (control->IsEnabled() ? " enabled" : " disabled") +
                      " caption='" + control->GetCaption() + "'";
    if (auto* w = ControlCast<IWindow>(control)) {
        out += " dock=" + std::to_string(w->GetDockingThreshold()) + (w->IsDockable() ? "/on" : "/off") +
               (w->IsDragable() ? " dragable" : "");
    }
    if (auto* c = ControlCast<ICheckBox>(control)) out += c->IsChecked() ? " checked" : " unchecked";
    if (auto* e = ControlCast<IEdit>(control)) {
        out += " text='" + e->GetText() + "'" + (e->IsTextOnly() ? " textonly" : "") +
               (e->IsNumberOnly() ? " numberonly" : "") + (e->IsMultiline() ? " multiline" : "") +
               (e->IsReadOnly() ? " readonly" : "");
    }
    if (auto* i = ControlCast<IImage>(control)) out += " texture='" + i->GetTextureName() + "'";
    if (auto* l = ControlCast<IListBox>(control)) {
        for (std::int32_t k = 0; k < l->GetItemCount(); ++k) out += " [" + l->GetItem(k) + "]";
        out += " sel=" + std::to_string(l->GetSelected());
    }
    if (auto* c = ControlCast<IComboBox>(control)) {
        for (std::int32_t k = 0; k < c->GetItemCount(); ++k) out += " [" + c->GetItem(k) + "]";
        out += " sel=" + std::to_string(c->GetSelected());
    }
    if (auto* g = ControlCast<IRadioGroup>(control)) {
        for (std::int32_t k = 0; k < g->GetItemCount(); ++k) {
            const cRect ir = g->GetItemRect(k);
            std::snprintf(rect, sizeof(rect), "(%.4f %.4f %.4f %.4f)", ir.x1, ir.y1, ir.x2, ir.y2);
            out += " [" + g->GetItemCaption(k) + rect + "]";
        }
        out += " sel=" + std::to_string(g->GetSelected());
    }
    if (auto* s = ControlCast<ISlider>(control)) {
        out += " slider=" + std::to_string(s->GetMinimum()) + ".." + std::to_string(s->GetMaximum()) + "/" +
               std::to_string(s->GetStep()) + "@" + std::to_string(s->GetValue());
    }
    if (auto* s = ControlCast<IScroll>(control)) {
        out += " scroll=" + std::to_string(s->GetMinimum()) + ".." + std::to_string(s->GetMaximum()) + "/" +
               std::to_string(s->GetPageSize()) + "@" + std::to_string(s->GetPosition());
    }
    if (auto* p = ControlCast<IPropertyGrid>(control)) {
        for (std::int32_t k = 0; k < p->GetPropertyCount(); ++k) {
            const std::string& name = p->GetPropertyName(k);
            out += " {" + name + "=" + *p->GetProperty(name) + "}";
        }
    }
    out += "\n";
    if (auto* t = ControlCast<ITabBox>(control)) {
        out += indent + " active=" + std::to_string(t->GetActivePage()) + "\n";
        for (std::int32_t k = 0; k < t->GetPageCount(); ++k) {
            out += indent + " page '" + t->GetPageCaption(k) + "'\n";
            IContainer* page = t->GetPage(k);
            for (std::int32_t i = 0; i < page->GetControlCount(); ++i) out += Describe(page->GetControl(i), indent + "  ");
        }
        return out;
    }
    // Users' controls inside windows and group boxes (parts of composite controls are described above).
    if (ControlCast<IWindow>(control) || ControlCast<IGroupBox>(control)) {
        auto* container = ControlCast<IContainer>(control);
        for (std::int32_t i = 0; i < container->GetControlCount(); ++i) {
            out += Describe(container->GetControl(i), indent + "  ");
        }
    }
    return out;
}

inline std::string Describe(IGUIManager& manager) {
    std::string out;
    for (std::int32_t i = 0; i < manager.GetWindowCount(); ++i) out += Describe(manager.GetWindow(i));
    return out;
}

} // namespace guitest

#include "gui/cContainer.h"

#include <cstring>
#include <deque>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "gui/GUIFileIO.h"
#include "gui/cControlFactory.h"
#include "gui/cGUIManager.h"
#include "gui/cGUIScript.h"
#include "gui/cSkin.h"
#include "gui/cWindow.h"

namespace velmora::gui {

namespace {

// The users' controls below a container (not its parts), depth first.
template <class F>
void ForEachUserControl(const cContainer& container, F&& visit) {
    for (const std::unique_ptr<cControl>& child : container.GetChildren()) {
        if (!child->IsPart() && container.HoldsUserControls()) visit(child.get());
        if (const auto* inner = dynamic_cast<const cContainer*>(child.get())) ForEachUserControl(*inner, visit);
    }
}

} // namespace

cContainer::cContainer(std::int32_t kind, std::int32_t eventCount) : cControl(kind, eventCount) {}

cContainer::~cContainer() {
    // Children must not look up through a container that is going away.
    for (std::unique_ptr<cControl>& child : m_Children) child->SetParentContainer(nullptr);
    m_Children.clear();
}

IControl* cContainer::AddControl(std::int32_t kind, const char* name) {
    cWindow* window = FindWindow();
    const cControl* root = window ? static_cast<const cControl*>(window) : GetRoot();
    LogMessage("Creating %s '%s::%s'... ", GetControlLogWord(kind), root->GetName().c_str(), name ? name : "");
    if (!name || !*name || std::strstr(name, "::")) {
        LogWarning("invalid control name\n");
        return nullptr;
    }
    if (!HoldsUserControls()) {
        LogWarning("%s( %s ) holds no controls\n", GetClassName(), GetName().c_str());
        return nullptr;
    }
    if (!IsCatalogueKind(kind)) {
        LogWarning("unknown control kind %d\n", kind);
        return nullptr;
    }
    const auto* scope = dynamic_cast<const cContainer*>(root);
    if ((scope ? scope : this)->FindUserControl(name)) {
        LogWarning("control with the same name found\n");
        return nullptr;
    }
    std::unique_ptr<cControl> control;
    try {
        control = cControlFactory::CreateControl(kind, name);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        return nullptr;
    }
    cControl* raw = control.get();
    raw->SetName(name);
    raw->SetParentContainer(this);
    m_Children.push_back(std::move(control));
    LogMessage("succeeded\n");
    // Controls added to a live dialog appear in the script at once; dialogs being loaded register when done.
    if (window && !window->IsLoading()) {
        if (cGUIScript* script = FindScript()) script->Bind(window->GetName(), raw->GetName(), raw);
    }
    return raw;
}

void cContainer::AdoptPart(std::unique_ptr<cControl> part, const std::string& name) {
    part->SetName(name);
    part->SetPart(true);
    part->SetParentContainer(this);
    m_Children.push_back(std::move(part));
}

bool cContainer::RemoveControl(const char* name) {
    cControl* control = name ? FindUserControl(name) : nullptr;
    if (!control || !control->GetParentContainer()) return false;
    control->GetParentContainer()->DestroyChild(control);
    return true;
}

void cContainer::DestroyChild(cControl* child) {
    for (auto it = m_Children.begin(); it != m_Children.end(); ++it) {
        if (it->get() != child) continue;
        std::unique_ptr<cControl> owned = std::move(*it);
        m_Children.erase(it);
        cWindow* window = FindWindow();
        if (window) window->ForgetControl(child, true);
        owned->SetParentContainer(nullptr);
        cGUIManager* manager = window ? window->GetManagerImpl() : nullptr;
        if (manager) {
            manager->Dispose(std::move(owned));
        }
        return;
    }
}

IControl* cContainer::FindControl(const char* name) {
    if (!name) return nullptr;
    const std::string key(name);
    std::size_t at = key.find("::");
    cControl* current = FindUserControl(key.substr(0, at));
    while (current && at != std::string::npos) {
        const std::size_t from = at + 2;
        at = key.find("::", from);
        const auto* container = dynamic_cast<const cContainer*>(current);
        current = container ? container->FindChild(key.substr(from, at == std::string::npos ? at : at - from)) : nullptr;
    }
    return current;
}

IControl* cContainer::GetControl(std::int32_t index) {
    if (index < 0 || index >= GetControlCount()) return nullptr;
    return m_Children[static_cast<std::size_t>(index)].get();
}

cControl* cContainer::FindChild(const std::string& name) const {
    for (const std::unique_ptr<cControl>& child : m_Children) {
        if (child->GetName() == name) return child.get();
    }
    return nullptr;
}

cControl* cContainer::FindUserControl(const std::string& name) const {
    if (name.empty()) return nullptr;
    std::deque<const cContainer*> queue{this};
    while (!queue.empty()) {
        const cContainer* container = queue.front();
        queue.pop_front();
        for (const std::unique_ptr<cControl>& child : container->m_Children) {
            if (container->HoldsUserControls() && !child->IsPart() && child->GetName() == name) return child.get();
            if (const auto* inner = dynamic_cast<const cContainer*>(child.get())) queue.push_back(inner);
        }
    }
    return nullptr;
}

void cContainer::SelfRegister(cGUIScript* script) {
    if (!script) {
        LogWarning("cContainer::SelfRegister : NULL pointer to script\n");
        return;
    }
    const cWindow* window = FindWindow();
    const std::string& windowName = window ? window->GetName() : GetRoot()->GetName();
    if (window == this) script->Bind(windowName, "self", this);
    ForEachUserControl(*this, [&](cControl* control) { script->Bind(windowName, control->GetName(), control); });
}

cControl* cContainer::HitTest(float x, float y) {
    Layout();
    if (!IsVisible() || !ContainsPoint(x, y)) return nullptr;
    for (auto it = m_Children.rbegin(); it != m_Children.rend(); ++it) {
        if (cControl* hit = (*it)->HitTest(x, y)) return hit;
    }
    return this;
}

void cContainer::Update(float seconds) {
    for (std::size_t i = 0; i < m_Children.size(); ++i) {
        if (m_Children[i]->IsVisible()) m_Children[i]->Update(seconds);
    }
}

void cContainer::RenderBackground(cSkin&) {}

void cContainer::Render(cSkin& skin) {
    if (!IsVisible()) return;
    Layout();
    RenderBackground(skin);
    skin.PushClip(GetClipRect());
    for (const std::unique_ptr<cControl>& child : m_Children) {
        if (child->IsVisible()) child->Render(skin);
    }
    skin.PopClip();
}

void cContainer::WriteChildren(IFile* file) const {
    std::int32_t count = 0;
    for (const std::unique_ptr<cControl>& child : m_Children) count += child->IsPart() ? 0 : 1;
    WriteInt32(file, count);
    for (const std::unique_ptr<cControl>& child : m_Children) {
        if (child->IsPart()) continue;
        WriteInt32(file, child->GetKind());
        WriteText(file, child->GetName());
        child->WriteToFile(file);
    }
}

void cContainer::ReadChildren(IFile* file, std::int32_t depth) {
    const char* who = "cContainer::ReadFromFile";
    if (depth > kMaxDepth) {
        RaiseError("%s : controls nested too deep", who);
    }
    const std::int32_t count = ReadCount(file, who, 4096);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t kind = ReadInt32(file, who);
        const std::string name = ReadText(file, who);
        if (!IsCatalogueKind(kind)) {
            RaiseError("cContainer::ReadFromFile : unknown control");
        }
        auto* control = dynamic_cast<cControl*>(AddControl(kind, name.c_str()));
        if (!control) {
            RaiseError("cContainer::ReadFromFile : failed to create control");
        }
        control->ReadFromFile(file, depth + 1);
    }
}

} // namespace velmora::gui

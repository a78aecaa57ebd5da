#include "gui/cGUIScript.h"

#include <set>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "gui/IControls.h"
#include "gui/cControl.h"
#include "script/IScript.h"
#include "script/IScriptEnv.h"
#include "script/NativeBinding.h"
#include "script/cScriptParser.h"
#include "script/sScriptString.h"

namespace velmora::gui {

namespace {

// Every variable object handed to a script; methods called on anything else do nothing.
std::set<const void*>& LiveRefs() {
    static std::set<const void*> refs;
    return refs;
}

template <class T>
T* Target(sControlRef* ref) {
    return dynamic_cast<T*>(cGUIScript::Resolve(ref));
}

std::string Text(const script::sScriptString& text) { return std::string(text.text, text.Length()); }

// cControl
void Show(sControlRef* r) {
    if (auto* c = Target<IControl>(r)) c->SetVisible(true);
}
void Hide(sControlRef* r) {
    if (auto* c = Target<IControl>(r)) c->SetVisible(false);
}
std::int32_t IsVisible(sControlRef* r) {
    auto* c = Target<IControl>(r);
    return c && c->IsVisible() ? 1 : 0;
}
void Enable(sControlRef* r) {
    if (auto* c = Target<IControl>(r)) c->SetEnabled(true);
}
void Disable(sControlRef* r) {
    if (auto* c = Target<IControl>(r)) c->SetEnabled(false);
}
std::int32_t IsEnabled(sControlRef* r) {
    auto* c = Target<IControl>(r);
    return c && c->IsEnabled() ? 1 : 0;
}
void SetCaption(sControlRef* r, const script::sScriptString& text) {
    if (auto* c = Target<IControl>(r)) c->SetCaption(Text(text));
}
// cCheckBox
std::int32_t IsChecked(sControlRef* r) {
    auto* c = Target<ICheckBox>(r);
    return c && c->IsChecked() ? 1 : 0;
}
void SetChecked(sControlRef* r, bool checked) {
    if (auto* c = Target<ICheckBox>(r)) c->SetChecked(checked);
}
// cEdit
void SetText(sControlRef* r, const script::sScriptString& text) {
    if (auto* c = Target<IEdit>(r)) c->SetText(Text(text));
}
std::int32_t GetTextLength(sControlRef* r) {
    auto* c = Target<IEdit>(r);
    return c ? static_cast<std::int32_t>(c->GetText().size()) : 0;
}
// cSlider
float GetValue(sControlRef* r) {
    auto* c = Target<ISlider>(r);
    return c ? c->GetValue() : 0.0f;
}
void SetValue(sControlRef* r, float value) {
    if (auto* c = Target<ISlider>(r)) c->SetValue(value);
}
// cScroll
std::int32_t GetPosition(sControlRef* r) {
    auto* c = Target<IScroll>(r);
    return c ? c->GetPosition() : 0;
}
void SetPosition(sControlRef* r, std::int32_t position) {
    if (auto* c = Target<IScroll>(r)) c->SetPosition(position);
}
// cListBox, cComboBox, cRadioGroup
template <class T>
std::int32_t GetSelected(sControlRef* r) {
    auto* c = Target<T>(r);
    return c ? c->GetSelected() : -1;
}
template <class T>
void SetSelected(sControlRef* r, std::int32_t index) {
    if (auto* c = Target<T>(r)) c->SetSelected(index);
}
template <class T>
std::int32_t GetItemCount(sControlRef* r) {
    auto* c = Target<T>(r);
    return c ? c->GetItemCount() : 0;
}
template <class T>
void AddItem(sControlRef* r, const script::sScriptString& text) {
    if (auto* c = Target<T>(r)) c->AddItem(Text(text));
}
// cTabBox
std::int32_t GetActivePage(sControlRef* r) {
    auto* c = Target<ITabBox>(r);
    return c ? c->GetActivePage() : -1;
}
void SetActivePage(sControlRef* r, std::int32_t index) {
    if (auto* c = Target<ITabBox>(r)) c->SetActivePage(index);
}

} // namespace

cGUIScript::cGUIScript(script::IScriptEnv* env, script::IScript* script) : m_Script(script) {
    if (env) RegisterClasses(env);
}

cGUIScript::~cGUIScript() {
    for (auto& entry : m_Refs) {
        if (entry.second->control) entry.second->control->SetScriptRef(nullptr);
        LiveRefs().erase(entry.second.get());
    }
}

void cGUIScript::RegisterClasses(script::IScriptEnv* env) {
    using script::NativeMethod;
    const std::int32_t size = static_cast<std::int32_t>(sizeof(sControlRef));
    try {
        script::cTypeDef* control = env->RegisterClass("gui::cControl", size, nullptr, nullptr);
        env->RegisterClassMethod(control, "void", "Show", "", NativeMethod(&Show));
        env->RegisterClassMethod(control, "void", "Hide", "", NativeMethod(&Hide));
        env->RegisterClassMethod(control, "int", "IsVisible", "", NativeMethod(&IsVisible));
        env->RegisterClassMethod(control, "void", "Enable", "", NativeMethod(&Enable));
        env->RegisterClassMethod(control, "void", "Disable", "", NativeMethod(&Disable));
        env->RegisterClassMethod(control, "int", "IsEnabled", "", NativeMethod(&IsEnabled));
        env->RegisterClassMethod(control, "void", "SetCaption", "const string& text", NativeMethod(&SetCaption));
        for (std::int32_t kind : {std::int32_t(CK_WINDOW), std::int32_t(CK_BUTTON), std::int32_t(CK_LABEL),
                                  std::int32_t(CK_IMAGE), std::int32_t(CK_GROUP_BOX), std::int32_t(CK_PROPERTY_GRID)}) {
            env->RegisterClass((std::string("gui::") + GetControlClassName(kind)).c_str(), size, nullptr, "gui::cControl");
        }
        script::cTypeDef* check = env->RegisterClass("gui::cCheckBox", size, nullptr, "gui::cControl");
        env->RegisterClassMethod(check, "int", "IsChecked", "", NativeMethod(&IsChecked));
        env->RegisterClassMethod(check, "void", "SetChecked", "bool checked", NativeMethod(&SetChecked));
        script::cTypeDef* edit = env->RegisterClass("gui::cEdit", size, nullptr, "gui::cControl");
        env->RegisterClassMethod(edit, "void", "SetText", "const string& text", NativeMethod(&SetText));
        env->RegisterClassMethod(edit, "int", "GetTextLength", "", NativeMethod(&GetTextLength));
        script::cTypeDef* slider = env->RegisterClass("gui::cSlider", size, nullptr, "gui::cControl");
        env->RegisterClassMethod(slider, "float", "GetValue", "", NativeMethod(&GetValue));
        env->RegisterClassMethod(slider, "void", "SetValue", "float value", NativeMethod(&SetValue));
        script::cTypeDef* scroll = env->RegisterClass("gui::cScroll", size, nullptr, "gui::cControl");
        env->RegisterClassMethod(scroll, "int", "GetPosition", "", NativeMethod(&GetPosition));
        env->RegisterClassMethod(scroll, "void", "SetPosition", "int position", NativeMethod(&SetPosition));
        script::cTypeDef* list = env->RegisterClass("gui::cListBox", size, nullptr, "gui::cControl");
        env->RegisterClassMethod(list, "int", "GetSelected", "", NativeMethod(&GetSelected<IListBox>));
        env->RegisterClassMethod(list, "void", "SetSelected", "int index", NativeMethod(&SetSelected<IListBox>));
        env->RegisterClassMethod(list, "int", "GetItemCount", "", NativeMethod(&GetItemCount<IListBox>));
        env->RegisterClassMethod(list, "void", "AddItem", "const string& text", NativeMethod(&AddItem<IListBox>));
        script::cTypeDef* combo = env->RegisterClass("gui::cComboBox", size, nullptr, "gui::cControl");
        env->RegisterClassMethod(combo, "int", "GetSelected", "", NativeMethod(&GetSelected<IComboBox>));
        env->RegisterClassMethod(combo, "void", "SetSelected", "int index", NativeMethod(&SetSelected<IComboBox>));
        env->RegisterClassMethod(combo, "int", "GetItemCount", "", NativeMethod(&GetItemCount<IComboBox>));
        env->RegisterClassMethod(combo, "void", "AddItem", "const string& text", NativeMethod(&AddItem<IComboBox>));
        script::cTypeDef* radio = env->RegisterClass("gui::cRadioGroup", size, nullptr, "gui::cControl");
        env->RegisterClassMethod(radio, "int", "GetSelected", "", NativeMethod(&GetSelected<IRadioGroup>));
        env->RegisterClassMethod(radio, "void", "SetSelected", "int index", NativeMethod(&SetSelected<IRadioGroup>));
        script::cTypeDef* tabs = env->RegisterClass("gui::cTabBox", size, nullptr, "gui::cControl");
        env->RegisterClassMethod(tabs, "int", "GetActivePage", "", NativeMethod(&GetActivePage));
        env->RegisterClassMethod(tabs, "void", "SetActivePage", "int index", NativeMethod(&SetActivePage));
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    }
}

bool cGUIScript::Bind(const std::string& window, const std::string& name, cControl* control) {
    if (!m_Script || !control || !script::cScriptParser::IsValidName(window) || !script::cScriptParser::IsValidName(name)) {
        return false;
    }
    // "window::self" is the window's own variable.
    if (name == "self" && control->GetKind() != CK_WINDOW) return false;
    const std::string key = window + "::" + name;
    auto it = m_Refs.find(key);
    if (it != m_Refs.end()) {
        sControlRef* ref = it->second.get();
        if (ref->control && ref->control != control) ref->control->SetScriptRef(nullptr);
        ref->control = control;
        control->SetScriptRef(ref);
        return true;
    }
    auto ref = std::make_unique<sControlRef>();
    ref->control = control;
    const std::string type = std::string("gui::") + control->GetClassName();
    try {
        m_Script->RegisterVariable(type.c_str(), key.c_str(), ref.get());
    } catch (const cException& e) {
        LogWarning("cContainer::SelfRegister : %s\n", e.GetText());
        return false;
    }
    control->SetScriptRef(ref.get());
    LiveRefs().insert(ref.get());
    m_Refs.emplace(key, std::move(ref));
    return true;
}

cControl* cGUIScript::Resolve(const void* ref) {
    if (!ref || LiveRefs().count(ref) == 0) return nullptr;
    return static_cast<const sControlRef*>(ref)->control;
}

void cGUIScript::Detach(sControlRef* ref, const cControl* control) {
    if (ref && ref->control == control) ref->control = nullptr;
}

} // namespace velmora::gui

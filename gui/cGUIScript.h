#pragma once
// The GUI manager's script "guiScript" and what scripts see of the GUI.
//
// The environment gets the classes "gui::cControl" (Show, Hide, IsVisible,
// Enable, Disable, IsEnabled, SetCaption; the Is... queries give an int 0 or
// 1, which scripts can store, as they cannot store a bool) and one class per control kind
// deriving from it with the kind's own methods: "gui::cCheckBox" (IsChecked,
// SetChecked), "gui::cEdit" (SetText, GetTextLength), "gui::cSlider"
// (GetValue, SetValue), "gui::cScroll" (GetPosition, SetPosition),
// "gui::cListBox" and "gui::cComboBox" (GetSelected, SetSelected,
// GetItemCount, AddItem), "gui::cRadioGroup" (GetSelected, SetSelected),
// "gui::cTabBox" (GetActivePage, SetActivePage), and "gui::cWindow",
// "gui::cButton", "gui::cLabel", "gui::cImage", "gui::cGroupBox",
// "gui::cPropertyGrid" without methods of their own.
//
// Each control is a variable "window::control" of its class in the script
// (a window is "window::self"). Names that are not script identifiers, and
// controls named "self", are left out. The variable stays when its control
// goes: it then refers to nothing and its methods do nothing (and return 0);
// a new control of the same key takes it over. Objects of these classes made
// by scripts themselves refer to nothing either.

#include <map>
#include <memory>
#include <string>

namespace velmora::script {
class IScript;
class IScriptEnv;
}

namespace velmora::gui {

class cControl;

// The host object behind a control's script variable.
struct sControlRef {
    cControl* control = nullptr;
};

class cGUIScript {
public:
    // Registers the GUI classes on the environment (a failure is logged) and keeps the script.
    cGUIScript(script::IScriptEnv* env, script::IScript* script);
    ~cGUIScript();
    cGUIScript(const cGUIScript&) = delete;
    cGUIScript& operator=(const cGUIScript&) = delete;

    script::IScript* GetScript() const { return m_Script; }
    // Makes "window::name" refer to the control; false when the names are no identifiers or the script
    // refused the variable (logged).
    bool Bind(const std::string& window, const std::string& name, cControl* control);
    // The variable's control, when ref is one of the live variables; null otherwise.
    static cControl* Resolve(const void* ref);
    // A control going away: its variable refers to nothing (unless another control took it over).
    static void Detach(sControlRef* ref, const cControl* control);

private:
    void RegisterClasses(script::IScriptEnv* env);

    script::IScript* m_Script;
    std::map<std::string, std::unique_ptr<sControlRef>> m_Refs;
};

} // namespace velmora::gui

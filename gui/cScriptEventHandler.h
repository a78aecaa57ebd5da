#pragma once
// An event handler that calls a function of the GUI manager's script. The
// function must take no arguments; it is looked up at each call, so it may be
// compiled after the handler was set. Failures (missing function, wrong
// arguments, a run-time fault of the script) are logged as warnings. A script
// handler raised while another one runs is not called: the interpreter does
// not run two calls at once.

#include <string>

#include "gui/GUITypes.h"

namespace velmora::script {
class IScript;
}

namespace velmora::gui {

class cScriptEventHandler final : public cFunctorImpl<void, tTypeList<IControl*>> {
public:
    cScriptEventHandler(script::IScript* script, std::string function);

    void Call(IControl* sender) override;
    cFunctorImpl* Clone() const override { return new cScriptEventHandler(*this); }

    const std::string& GetFunctionName() const { return m_Function; }

private:
    script::IScript* m_Script;
    std::string m_Function;
};

} // namespace velmora::gui

#include "gui/cScriptEventHandler.h"

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "gui/IControl.h"
#include "script/IScript.h"
#include "script/cFuncDef.h"

namespace velmora::gui {

namespace {
bool g_Running = false;
} // namespace

cScriptEventHandler::cScriptEventHandler(script::IScript* script, std::string function)
    : m_Script(script), m_Function(std::move(function)) {}

void cScriptEventHandler::Call(IControl* sender) {
    const char* name = sender ? sender->GetName().c_str() : "";
    if (!m_Script) return;
    if (g_Running) {
        LogWarning("cScriptEventHandler::Call( %s ) : '%s' not called, a script handler is running\n", name,
                   m_Function.c_str());
        return;
    }
    const script::cFuncDef* function = m_Script->GetFunction(m_Function.c_str());
    if (!function) {
        LogWarning("cScriptEventHandler::Call( %s ) : function '%s' not found\n", name, m_Function.c_str());
        return;
    }
    if (!function->GetArguments().empty()) {
        LogWarning("cScriptEventHandler::Call( %s ) : function '%s' must take no arguments\n", name,
                   m_Function.c_str());
        return;
    }
    g_Running = true;
    try {
        m_Script->CallFunction(m_Function.c_str());
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    }
    g_Running = false;
}

} // namespace velmora::gui

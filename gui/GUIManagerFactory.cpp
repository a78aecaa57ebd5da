#include <new>

#include "engine/IEngine.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "gui/IGUIManager.h"
#include "gui/cGUIManager.h"
#include "script/IScriptEnv.h"

namespace velmora::gui {

IGUIManager* CreateGUIManager() {
    IEngine* engine = GetEngine();
    script::IScriptEnv* env = engine ? engine->CreateScriptEnv() : nullptr;
    try {
        cGUIManager* manager = new (std::nothrow) cGUIManager(env);
        if (!manager && env) env->Release();
        return manager;
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

} // namespace velmora::gui

#include "engine/EngineFactory.h"

#include "engine/core/EngineGlobals.h"
#include "engine/win32/window/cWin32Engine.h"

namespace velmora {

IEngine* CreateEngine() {
    if (IEngine* old = GetEngine()) {
        old->Release();
        SetEngineGlobals(nullptr, nullptr, nullptr);
    }
    cWin32Engine* engine = new cWin32Engine();
    SetEngineGlobals(engine, engine->GetFileSystem(), engine->GetInput());
    return engine;
}

IEngine* CreateEngine(tWindowHandle window, const sRendererDesc& desc) {
    IEngine* engine = CreateEngine();
    if (!static_cast<cWin32Engine*>(engine)->AttachToWindow(desc, window)) {
        engine->Release();
        SetEngineGlobals(nullptr, nullptr, nullptr);
        return nullptr;
    }
    return engine;
}

} // namespace velmora

#include "engine/EngineFactory.h"

#include "engine/core/EngineGlobals.h"
#include "engine/sdl/cSDLEngine.h"

namespace velmora {

IEngine* CreateEngine() {
    if (IEngine* old = GetEngine()) {
        old->Release();
        SetEngineGlobals(nullptr, nullptr, nullptr);
    }
    cSDLEngine* engine = new cSDLEngine();
    SetEngineGlobals(engine, engine->GetFileSystem(), engine->GetInput());
    return engine;
}

IEngine* CreateEngine(tWindowHandle window, const sRendererDesc& desc) {
    IEngine* engine = CreateEngine();
    if (!static_cast<cSDLEngine*>(engine)->AttachToWindow(desc, window)) {
        engine->Release();
        SetEngineGlobals(nullptr, nullptr, nullptr);
        return nullptr;
    }
    return engine;
}

} // namespace velmora

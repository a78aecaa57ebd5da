#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "script/IScriptEnv.h"
#include "script/cScriptEnv.h"

namespace velmora::script {

IScriptEnv* CreateScriptEnv() {
    try {
        return new cScriptEnv();
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

} // namespace velmora::script

// The one place that names the sound backend.

#include <new>

#include "sound/ISoundEngine.h"
#include "sound/openal/OpenALBinding.h"
#include "sound/openal/cOpenALSoundEngine.h"

namespace velmora::sound {

ISoundEngine* CreateSoundEngine() {
    // The system's OpenAL library; without it (or with an entry point
    // missing) there is no sound engine and nothing to report.
    if (!LoadOpenAL(nullptr)) {
        return nullptr;
    }
    cOpenALSoundEngine* engine = new (std::nothrow) cOpenALSoundEngine();
    if (!engine) {
        UnloadOpenAL();
        return nullptr;
    }
    try {
        engine->Create();
    } catch (...) {
        // Closes what was opened and frees the library before the caller
        // reports the failure.
        delete engine;
        throw;
    }
    return engine;
}

} // namespace velmora::sound

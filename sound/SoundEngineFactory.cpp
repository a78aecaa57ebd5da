#include "sound/ISoundEngine.h"

namespace velmora::sound {

// No sound backend is built yet: the engine runs silent.
ISoundEngine* CreateSoundEngine() { return nullptr; }

} // namespace velmora::sound

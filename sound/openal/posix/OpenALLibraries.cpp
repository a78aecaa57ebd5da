// The OpenAL library on Linux: OpenAL Soft's run-time name.
#include "sound/openal/OpenALBinding.h"

namespace velmora::sound {

const char* const* GetDefaultOpenALLibraries() {
    static const char* const kNames[] = {"libopenal.so.1", nullptr};
    return kNames;
}

} // namespace velmora::sound

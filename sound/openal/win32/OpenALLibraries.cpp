// The OpenAL library on Windows: the router the OpenAL installer puts in the
// system folder, then OpenAL Soft's own DLL (beside the program or on the path).
#include "sound/openal/OpenALBinding.h"

namespace velmora::sound {

const char* const* GetDefaultOpenALLibraries() {
    static const char* const kNames[] = {"OpenAL32.dll", "soft_oal.dll", nullptr};
    return kNames;
}

} // namespace velmora::sound

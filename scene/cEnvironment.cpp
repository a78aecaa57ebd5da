#include "scene/cEnvironment.h"

namespace velmora::scene {

void cEnvironment::Reset() {
    m_FogEnabled = false;
    m_FogDensity = 0.0f;
    m_FogColor = cColor(0, 0, 0, 255);
    // A scene loaded after another must not inherit its ambient sound.
    m_AmbientSound.clear();
}

} // namespace velmora::scene

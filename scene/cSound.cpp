#include "scene/cSound.h"

#include "sound/ISoundEngine.h"

namespace velmora::scene {

cSound::cSound(sound::ISoundEngine* soundEngine) : m_SoundEngine(soundEngine) {}

cSound::~cSound() {
    if (m_Source) {
        m_Source->Release();
    }
}

void cSound::SetWorldMatrix(const cMatrix& matrix) {
    m_World = matrix;
    if (m_Source) {
        m_Source->SetPosition(cVector3(matrix.m[12], matrix.m[13], matrix.m[14]));
    }
}

void cSound::SetSource(const std::string& fileName) {
    if (m_Source) {
        m_Source->Release();
        m_Source = nullptr;
    }
    if (!fileName.empty() && m_SoundEngine) {
        // Mode 0 streams Ogg files.
        m_Source = m_SoundEngine->CreateSource(fileName, sound::SOUND_MODE_STREAM);
        if (m_Source) {
            m_Source->SetPosition(cVector3(m_World.m[12], m_World.m[13], m_World.m[14]));
        }
    }
}

std::string cSound::GetSourceName() const { return m_Source ? m_Source->GetName() : std::string(); }

} // namespace velmora::scene

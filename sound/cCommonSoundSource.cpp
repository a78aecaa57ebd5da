#include "sound/cCommonSoundSource.h"

#include "sound/cCommonSoundEngine.h"
#include "sound/cOggDecoder.h"

namespace velmora::sound {

cCommonSoundSource::cCommonSoundSource(const std::string& name, cCommonSoundEngine* engine)
    : m_Name(name), m_Engine(engine) {}

cCommonSoundSource::~cCommonSoundSource() { delete m_Ogg; }

void cCommonSoundSource::Release() {
    if (--m_RefCount > 0) {
        return;
    }
    // The table is keyed by the name the source was created under, which
    // also holds for a source that loaded no file.
    if (m_Engine) {
        m_Engine->RemoveSource(this);
    }
    delete this;
}

ISoundSource* cCommonSoundSource::AddRef() {
    ++m_RefCount;
    return this;
}

} // namespace velmora::sound

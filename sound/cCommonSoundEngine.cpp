#include "sound/cCommonSoundEngine.h"

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "sound/cCommonSoundSource.h"

namespace velmora::sound {

cCommonSoundEngine::~cCommonSoundEngine() { DestroySources(); }

void cCommonSoundEngine::Release() { delete this; }

void cCommonSoundEngine::DestroySources() {
    std::map<std::string, cCommonSoundSource*> sources;
    sources.swap(m_Sources);
    for (auto& entry : sources) {
        delete entry.second;
    }
}

ISoundSource* cCommonSoundEngine::CreateSource(const std::string& name, int mode) {
    auto found = m_Sources.find(name);
    if (found != m_Sources.end()) {
        return found->second->AddRef();
    }
    cCommonSoundSource* source = NewSource(name);
    try {
        LoadSource(source, name, mode);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        delete source;
        return nullptr;
    }
    m_Sources[name] = source;
    return source;
}

void cCommonSoundEngine::SetPitch(float pitch) {
    m_Pitch = pitch;
    for (auto& entry : m_Sources) {
        entry.second->SetPitch(pitch);
    }
}

void cCommonSoundEngine::Update() {
    for (auto& entry : m_Sources) {
        entry.second->Update();
    }
}

void cCommonSoundEngine::RemoveSource(cCommonSoundSource* source) {
    auto found = m_Sources.find(source->GetName());
    if (found != m_Sources.end() && found->second == source) {
        m_Sources.erase(found);
        return;
    }
    for (auto it = m_Sources.begin(); it != m_Sources.end(); ++it) {
        if (it->second == source) {
            m_Sources.erase(it);
            return;
        }
    }
}

ISoundSource* cCommonSoundEngine::FindSource(const std::string& name) const {
    auto found = m_Sources.find(name);
    return found == m_Sources.end() ? nullptr : found->second;
}

} // namespace velmora::sound

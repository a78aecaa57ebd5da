#include "scene/cEffectTexture.h"

#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

cEffectTexture::~cEffectTexture() { Reset(); }

void cEffectTexture::Set(video::IRenderer* renderer, const std::string& fileName) {
    // Loaded before the old one goes, so that setting the same name again keeps the cached texture.
    video::ITexture2D* texture = nullptr;
    if (renderer && !fileName.empty()) texture = renderer->CreateTexture(fileName.c_str());
    Reset();
    m_Name = fileName;
    m_Texture = texture;
}

void cEffectTexture::Reset() {
    if (m_Texture) {
        m_Texture->Release();
        m_Texture = nullptr;
    }
    m_Name.clear();
}

} // namespace velmora::scene

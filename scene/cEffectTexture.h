#pragma once
// The texture an effect entity draws with: its file name and, when a renderer
// exists, the texture loaded through the renderer's cache. The name is kept
// even when the texture cannot be loaded (or there is no renderer), so that
// scenes read without a device are written back unchanged.

#include <string>

namespace velmora::video {
class IRenderer;
class ITexture2D;
}

namespace velmora::scene {

class cEffectTexture {
public:
    cEffectTexture() = default;
    // Releases the texture.
    ~cEffectTexture();
    cEffectTexture(const cEffectTexture&) = delete;
    cEffectTexture& operator=(const cEffectTexture&) = delete;

    // Releases the held texture, then loads the named one with the renderer (null renderer or empty
    // name: none). A texture that fails to load leaves the slot empty; the renderer says why.
    void Set(video::IRenderer* renderer, const std::string& fileName);
    // Releases the texture and forgets the name.
    void Reset();
    const std::string& GetName() const { return m_Name; }
    video::ITexture2D* Get() const { return m_Texture; }

private:
    std::string m_Name;
    video::ITexture2D* m_Texture = nullptr;
};

} // namespace velmora::scene

#pragma once
// The scene's height-field terrain. Reference-counted: the count starts at 1,
// Release deletes at 0.
//
// Only what the scene manager needs of the terrain is declared so far; the
// terrain itself (chunks, layers, maps, vegetation) is not built yet.

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

class ITerrain {
public:
    virtual ~ITerrain() = default;
    // Lowers the reference count; deletes the terrain at zero.
    virtual void Release() = 0;
    // Raises the reference count; returns this terrain.
    virtual ITerrain* AddRef() = 0;
    // The texture of layer 0 (base) to 4, or null when the layer has none.
    virtual video::ITexture2D* GetLayerTexture(int layer) = 0;
};

} // namespace velmora::scene

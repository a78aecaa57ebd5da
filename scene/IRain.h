#pragma once
// Rain (entity type 2): a set of drop quads around the camera. Setting the
// drop count or the radius rebuilds the drops, setting the drop size resizes
// them.
//
// Drops lie on a ring from 2 to the radius around the camera (their centres
// are offsets from the camera) at heights -1..1; a drop at distance r is
// scaled by 1 + k with k = (r - 2) / (radius - 2), so the far ones, seen
// smaller, still read as rain. With a radius of 2 or less every drop sits at
// distance 2 with k = 0. The drop size is stored as given: the width goes to
// the vertices' half-width slot, the height to the half-height slot. The
// rain shader draws each drop as a square of the half width (scaled) that
// faces the camera about the vertical axis, the texture repeated 6 x 4 times
// and scrolling with time.

#include <string>

#include "engine/core/cVector3.h"
#include "scene/IEntity.h"

namespace velmora::video {
class IRenderer;
class IShader;
class ITexture2D;
}

namespace velmora::scene {

class IBillboardSet;

class IRain : public IEntity {
public:
    // Loads the raindrop texture through the renderer's texture cache.
    virtual void SetTexture(const std::string& fileName) = 0;
    // Number of drops.
    virtual void SetDropCount(int count) = 0;
    // Horizontal distance from the camera within which drops fall.
    virtual void SetRadius(float radius) = 0;
    // Width and height of one drop (the scene file's "billboardSize").
    virtual void SetDropSize(float width, float height) = 0;
    // The texture's file name, or an empty string.
    virtual std::string GetTextureName() const = 0;
    virtual int GetDropCount() const = 0;
    virtual float GetRadius() const = 0;
    virtual float GetDropWidth() const = 0;
    virtual float GetDropHeight() const = 0;
    // The drop texture, or null.
    virtual video::ITexture2D* GetTexture() const = 0;
    // The drop quads the pipelines draw.
    virtual IBillboardSet* GetBillboardSet() const = 0;
};

// The shader pipeline's rain pass: alpha blending, depth writes off, the rain texture on stage 0, the
// rain shader bound with "u_Camera" = the camera position and "u_Time" = `time` (the engine time in
// milliseconds x 0.01), the drops drawn; then shader and stage 0 unbound, depth writes on, blending off.
// Nothing is drawn without a shader or drops.
void RenderRain(video::IRenderer* renderer, IRain& rain, video::IShader* shader, const cVector3& camera, float time);

} // namespace velmora::scene

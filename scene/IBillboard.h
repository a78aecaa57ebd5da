#pragma once
// A single camera-facing textured quad (entity type 6) at the translation of
// its world transform.

#include <string>

#include "engine/core/cVector3.h"
#include "scene/IEntity.h"

namespace velmora::video {
class IRenderer;
class ITexture2D;
}

namespace velmora::scene {

class IBillboard : public IEntity {
public:
    // Loads the texture through the renderer's texture cache (empty: no texture).
    virtual void SetTexture(const std::string& fileName) = 0;
    virtual void SetBillboardWidth(float width) = 0;
    virtual void SetBillboardHeight(float height) = 0;
    virtual float GetBillboardWidth() const = 0;
    virtual float GetBillboardHeight() const = 0;
    // The texture's file name, or an empty string.
    virtual std::string GetTextureName() const = 0;
    // The texture, or null.
    virtual video::ITexture2D* GetTexture() const = 0;
};

// The corners of a billboard at `position` seen from `camera`, upright and turned about the vertical axis
// to face the camera: with v = normalize(camera - position), up u = (0, height, 0) and right
// r = normalize(u x v) * width, the corners are p - r - u (bottom-left as the camera sees it), p - r + u,
// p + r + u, p + r - u. When v is zero or vertical, r is (width, 0, 0).
void GetBillboardCorners(const cVector3& position, const cVector3& camera, float width, float height,
                         cVector3 corners[4]);

// How both pipelines draw a billboard entity: depth writes off, no culling, alpha blending (source alpha,
// inverse source alpha), its texture on stage 0, one white quad over the corners above with texture
// coordinates (0, 0)-(1, 1); then stage 0 empty, the blend factors as they were, culling 2, depth writes on.
void RenderBillboard(video::IRenderer* renderer, const IBillboard& billboard, const cVector3& camera);

} // namespace velmora::scene

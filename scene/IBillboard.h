#pragma once
// A single camera-facing textured quad (entity type 6) at the translation of
// its world transform.

#include <string>

#include "scene/IEntity.h"

namespace velmora::video {
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

} // namespace velmora::scene

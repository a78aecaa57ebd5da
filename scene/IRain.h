#pragma once
// Rain (entity type 2): a set of drop quads around the camera. Setting the
// drop count or the radius rebuilds the drops, setting the drop size resizes
// them.

#include <string>

#include "scene/IEntity.h"

namespace velmora::video {
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

} // namespace velmora::scene

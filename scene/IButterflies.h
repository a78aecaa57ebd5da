#pragma once
// Butterflies (entity type 5): ten small two-winged quads fluttering inside a
// cube of +-area half size around the entity's origin. They drift with the
// drift velocity; each frame a butterfly changes course with a chance set by
// the change threshold (an integer draw in 0..99 above the threshold), its
// new velocity being the drift velocity plus up to the speed variation on
// each axis.

#include <string>

#include "engine/core/cVector3.h"
#include "scene/IEntity.h"

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

class IButterflies : public IEntity {
public:
    static constexpr int kCount = 10;
    static constexpr int kVerticesEach = 6;
    static constexpr int kIndicesEach = 12;

    virtual void SetDriftVelocity(const cVector3& velocity) = 0;
    virtual const cVector3& GetDriftVelocity() const = 0;
    virtual void SetSpeedVariation(float variation) = 0;
    virtual float GetSpeedVariation() const = 0;
    // A course change happens when a draw in 0..99 is greater than this (94 at creation).
    virtual void SetChangeThreshold(int threshold) = 0;
    virtual int GetChangeThreshold() const = 0;
    // Wing beats: phase change per second (10 at creation).
    virtual void SetFlapSpeed(float speed) = 0;
    virtual float GetFlapSpeed() const = 0;
    // Half the side of the cube the butterflies stay in (10 at creation); existing butterflies are
    // brought inside at their next update.
    virtual void SetAreaHalfSize(float halfSize) = 0;
    virtual float GetAreaHalfSize() const = 0;
    // Loads the wing texture through the renderer's texture cache (empty name: none).
    virtual void SetTexture(const std::string& fileName) = 0;
    // The texture's file name, or an empty string.
    virtual std::string GetTextureName() const = 0;
    // The wing texture, or null.
    virtual video::ITexture2D* GetTexture() const = 0;
    // Moves the wings and the butterflies by dt seconds and rewrites their vertices.
    virtual void Update(float dt) = 0;
    // Updates by the engine's frame time and draws all ten under the current world transform times the
    // entity's matrix: no culling, alpha blending, alpha test >= 0.5, the texture on stage 0. Puts blending
    // and the alpha test back as it found them (reference 0.5), culling at 2 and leaves stage 0 empty.
    virtual void Render() = 0;
};

} // namespace velmora::scene

#pragma once
// Sea birds (entity type 10): a small flock gliding on slow circles around the
// entity's origin, each bird on its own circle (0.8 to 1.2 times the radius,
// a little above or below the origin) and rising and falling gently. The
// birds bank into the turn; now and then one beats its wings for a few
// seconds and glides again. Each bird is a gull seen from above: two wings
// bent at the wrist, drawn with the texture laid over the whole span
// (u across from the left tip to the right tip, v from the head to the tail).
//
// The motion is a function of the flock's own clock, which Update advances,
// so the same clock always shows the same picture.

#include <string>

#include "engine/core/cVector3.h"
#include "scene/IEntity.h"

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

class IBirds : public IEntity {
public:
    static constexpr int kMaxCount = 16;
    // Five columns across the span (left tip, left wrist, body, right wrist, right tip), each at the front
    // and the back edge of the wing.
    static constexpr int kVerticesEach = 10;
    static constexpr int kIndicesEach = 24;

    // Number of birds, 1 to kMaxCount (other values are brought into that range); 3 at creation.
    virtual void SetCount(int count) = 0;
    virtual int GetCount() const = 0;
    // The mean radius of the circles (negative counts as its magnitude); 20 at creation.
    virtual void SetRadius(float radius) = 0;
    virtual float GetRadius() const = 0;
    // Gliding speed along the circle in units per second; negative flies clockwise seen from above. 4 at
    // creation.
    virtual void SetSpeed(float speed) = 0;
    virtual float GetSpeed() const = 0;
    // Tip-to-tip span of one bird (negative counts as its magnitude); 1.6 at creation.
    virtual void SetWingSpan(float span) = 0;
    virtual float GetWingSpan() const = 0;
    // Wing beats per second while a bird flaps (negative counts as its magnitude); 2.5 at creation.
    virtual void SetFlapSpeed(float speed) = 0;
    virtual float GetFlapSpeed() const = 0;
    // Loads the bird texture through the renderer's texture cache (empty name: none).
    virtual void SetTexture(const std::string& fileName) = 0;
    // The texture's file name, or an empty string.
    virtual std::string GetTextureName() const = 0;
    // The bird texture, or null.
    virtual video::ITexture2D* GetTexture() const = 0;
    // The flock's clock in seconds (0 at creation).
    virtual float GetTime() const = 0;
    // Advances the clock by dt seconds (negative steps are ignored) and rewrites the vertices.
    virtual void Update(float dt) = 0;
    // The box around the origin that every bird stays in, wing tips included (entity coordinates).
    virtual void GetBounds(cVector3& min, cVector3& max) const = 0;
    // Updates by the engine's frame time and draws the flock under the current world transform times the
    // entity's matrix: no culling, alpha blending, alpha test >= 0.5, the texture on stage 0. Puts blending
    // and the alpha test back as it found them (reference 0.5), culling at 2 and leaves stage 0 empty.
    virtual void Render() = 0;
};

} // namespace velmora::scene

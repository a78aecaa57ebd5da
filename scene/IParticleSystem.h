#pragma once
// A particle system: particles born in an emitter shape around the emitter
// position, drawn as the billboards of a billboard set. Each particle lives
// from life 1 down to 0, its colour, alpha and size moving from the start to
// the end values as it ages; a dead particle is born again at once (emission
// rate 0) or one per 1 / rate seconds for the whole system.
//
// Random values are drawn from the C library's generator, which the engine
// seeds (IEngine::SeedRandom). Reference counted: created with count 1,
// deleted by the Release that brings it to 0.

#include <cstdint>

#include "engine/core/cColor.h"
#include "engine/core/cVector3.h"

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

class IBillboardSet;

enum EmitterShape : std::int32_t {
    EMITTER_POINT = 0,
    EMITTER_BOX = 1,
    EMITTER_SPHERE = 2,
};

// Where particles are born, relative to the emitter position (eleven 32-bit values).
struct sEmitterShape {
    std::int32_t shape = EMITTER_POINT;
    float boxMin[3] = {0.0f, 0.0f, 0.0f};
    float boxMax[3] = {0.0f, 0.0f, 0.0f};
    float reserved[3] = {0.0f, 0.0f, 0.0f};  // kept, not used
    float sphereRadius = 0.0f;
};
static_assert(sizeof(sEmitterShape) == 44, "the emitter shape record is eleven 32-bit values");

// How particles move and look; each value with a variation is drawn as base + variation * (2u - 1) per
// particle (exactly the base when the variation is 0). Sizes drawn below 0 become 0.
struct sParticleMotion {
    cVector3 velocity;
    float velocityVariation = 0.0f;
    cVector3 acceleration;
    float accelerationVariation = 0.0f;
    // Life lost per second.
    float decay = 0.5f;
    float decayVariation = 0.0f;
    cColor startColor{255, 255, 255, 255};
    cColor endColor{255, 255, 255, 255};
    float startSize = 1.0f;
    float endSize = 1.0f;
    float sizeVariation = 0.0f;
};

class IParticleSystem {
public:
    // Frees the particles, the billboards and the texture.
    virtual ~IParticleSystem() = default;
    // Lowers the count; deletes the system at 0.
    virtual void Release() = 0;
    // Raises the count; returns this system.
    virtual IParticleSystem* AddRef() = 0;
    // Replaces the particles by `count` dead ones (born at the next Update) and their billboards; false
    // (after a warning, the system left empty) for a count of 0 or when memory or billboards run out.
    virtual bool CreateParticles(int count) = 0;
    // Frees the particles and billboards.
    virtual void Clear() = 0;
    virtual void SetShape(const sEmitterShape& shape) = 0;
    // Blend factors (BlendFactor) for drawing; source alpha / inverse source alpha at creation.
    virtual void SetBlendFactors(int source, int destination) = 0;
    // No operation.
    virtual void Reserved7() {}
    // Particles born per second while some are dead; 0 re-emits every dead particle at once.
    virtual void SetEmissionRate(float rate) = 0;
    // Loads the particle texture through the renderer's texture cache (empty name: none).
    virtual void SetTexture(const char* fileName) = 0;
    virtual const sEmitterShape& GetShape() const = 0;
    virtual int GetBlendSource() const = 0;
    virtual int GetBlendDestination() const = 0;
    // Reserved; returns 0.
    virtual float Reserved13() const { return 0.0f; }
    virtual float GetEmissionRate() const = 0;
    // The particle texture, or null.
    virtual video::ITexture2D* GetTexture() const = 0;
    // Ages, moves and re-emits the particles by dt seconds (-1: the engine's frame time) and rewrites
    // their billboards.
    virtual void Update(float dt) = 0;
    // Moves the emitter to the position and draws the billboards, blended with the system's factors and
    // without depth writes (expanded on the CPU to face the camera); the caller binds the texture.
    virtual void Render(const cVector3& position) = 0;

    // ---- Beyond the slots ---------------------------------------------------------------------------
    // Motion and look of particles born from now on (the values above at creation).
    virtual void SetMotion(const sParticleMotion& motion) = 0;
    virtual const sParticleMotion& GetMotion() const = 0;
    virtual const cVector3& GetEmitterPosition() const = 0;
    virtual void SetEmitterPosition(const cVector3& position) = 0;
    // Number of particles (live or dead).
    virtual int GetParticleCount() const = 0;
    // The particles' billboards, or null while the system is empty.
    virtual IBillboardSet* GetBillboardSet() const = 0;
};

} // namespace velmora::scene

#pragma once
// The particle system (see IParticleSystem). Particle k owns billboard k of
// the set; its four vertices carry the particle's position as their centre.
// The set is drawn expanded on the CPU so that no shader is needed.

#include <vector>

#include "scene/IParticleSystem.h"
#include "scene/cEffectTexture.h"

namespace velmora::video {
class IRenderer;
}

namespace velmora::scene {

class cBillboardSet;

class cParticleSystem : public IParticleSystem {
public:
    // One particle (40 bytes); dead when life is 0 or below.
    struct sParticle {
        cVector3 velocity;
        cVector3 acceleration;
        float life = 0.0f;
        float decay = 0.0f;
        float startSize = 0.0f;
        float endSize = 0.0f;
    };
    static_assert(sizeof(sParticle) == 40, "a particle is 40 bytes");

    // renderer: makes the billboards' buffers, loads the texture and draws (null: particles in memory only).
    explicit cParticleSystem(video::IRenderer* renderer);
    ~cParticleSystem() override;
    cParticleSystem(const cParticleSystem&) = delete;
    cParticleSystem& operator=(const cParticleSystem&) = delete;

    void Release() override;
    IParticleSystem* AddRef() override;
    bool CreateParticles(int count) override;
    void Clear() override;
    void SetShape(const sEmitterShape& shape) override { m_Shape = shape; }
    void SetBlendFactors(int source, int destination) override;
    void SetEmissionRate(float rate) override { m_EmissionRate = rate; }
    void SetTexture(const char* fileName) override { m_Texture.Set(m_Renderer, fileName ? fileName : ""); }
    const sEmitterShape& GetShape() const override { return m_Shape; }
    int GetBlendSource() const override { return m_BlendSource; }
    int GetBlendDestination() const override { return m_BlendDestination; }
    float GetEmissionRate() const override { return m_EmissionRate; }
    video::ITexture2D* GetTexture() const override { return m_Texture.Get(); }
    void Update(float dt) override;
    void Render(const cVector3& position) override;
    void SetMotion(const sParticleMotion& motion) override { m_Motion = motion; }
    const sParticleMotion& GetMotion() const override { return m_Motion; }
    const cVector3& GetEmitterPosition() const override { return m_Emitter; }
    void SetEmitterPosition(const cVector3& position) override { m_Emitter = position; }
    int GetParticleCount() const override { return static_cast<int>(m_Particles.size()); }
    IBillboardSet* GetBillboardSet() const override;

    // Update at a given engine time in milliseconds (what Update does with the engine's time).
    void Step(float dt, float nowMs);
    // Gives particle `index` a new life: motion drawn from the motion record, position from the shape.
    void Emit(int index);
    const std::vector<sParticle>& GetParticles() const { return m_Particles; }
    // Engine time in milliseconds of the last emission of a rated system.
    float GetLastEmissionTime() const { return m_LastEmission; }
    void SetLastEmissionTime(float ms) { m_LastEmission = ms; }
    // A birth position drawn from the shape around the emitter.
    cVector3 DrawPosition() const;

private:
    video::IRenderer* m_Renderer = nullptr;
    int m_References = 1;
    cVector3 m_Emitter;
    sParticleMotion m_Motion;
    sEmitterShape m_Shape;
    int m_BlendSource;
    int m_BlendDestination;
    float m_EmissionRate = 0.0f;
    float m_LastEmission = 0.0f;
    std::vector<sParticle> m_Particles;
    cBillboardSet* m_Billboards = nullptr;
    cEffectTexture m_Texture;
};

} // namespace velmora::scene

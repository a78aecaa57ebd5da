#include "scene/cParticleSystem.h"

#include <cmath>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/MathUtil.h"
#include "engine/core/cException.h"
#include "scene/EffectRandom.h"
#include "scene/cBillboardSet.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

// A byte between two bytes, t = 1 giving `from`.
std::uint8_t Mix(std::uint8_t from, std::uint8_t to, float t) {
    return static_cast<std::uint8_t>(t * from + (1.0f - t) * to);
}

} // namespace

cParticleSystem::cParticleSystem(video::IRenderer* renderer)
    : m_Renderer(renderer), m_BlendSource(video::BF_SRC_ALPHA), m_BlendDestination(video::BF_INV_SRC_ALPHA) {}

cParticleSystem::~cParticleSystem() { Clear(); }

void cParticleSystem::Release() {
    if (--m_References <= 0) delete this;
}

IParticleSystem* cParticleSystem::AddRef() {
    ++m_References;
    return this;
}

IBillboardSet* cParticleSystem::GetBillboardSet() const { return m_Billboards; }

void cParticleSystem::SetBlendFactors(int source, int destination) {
    m_BlendSource = source;
    m_BlendDestination = destination;
}

void cParticleSystem::Clear() {
    std::vector<sParticle>().swap(m_Particles);
    if (m_Billboards) {
        m_Billboards->Release();
        m_Billboards = nullptr;
    }
}

bool cParticleSystem::CreateParticles(int count) {
    Clear();
    if (count <= 0) {
        LogWarning("cParticleSystem::CreateParticles : failed to create particles, invalid amount\n");
        return false;
    }
    try {
        m_Particles.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        Clear();
        LogWarning("cParticleSystem::CreateParticles : failed to allocate memory\n");
        return false;
    }
    m_Billboards = new (std::nothrow) cBillboardSet(m_Renderer);
    if (!m_Billboards) {
        Clear();
        LogWarning("cParticleSystem::CreateParticles : failed to allocate memory\n");
        return false;
    }
    bool made = false;
    try {
        made = m_Billboards->CreateBillboards(count);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    }
    if (!made) {
        Clear();
        LogWarning("cParticleSystem::CreateParticles : failed to create billboards\n");
        return false;
    }
    m_LastEmission = EngineTime();
    return true;
}

cVector3 cParticleSystem::DrawPosition() const {
    switch (m_Shape.shape) {
        case EMITTER_BOX: {
            cVector3 p;
            for (int axis = 0; axis < 3; ++axis) {
                p[axis] = RandomBetween(m_Emitter[axis] + m_Shape.boxMin[axis], m_Emitter[axis] + m_Shape.boxMax[axis]);
            }
            return p;
        }
        case EMITTER_SPHERE: {
            // cos(theta) = 1 - 2 u1 is uniform in -1..1, so the direction is uniform over the sphere.
            const float theta = 2.0f * std::acos(std::sqrt(1.0f - RandomUnit()));
            const float phi = 2.0f * static_cast<float>(kPi) * RandomUnit();
            const float d = m_Shape.sphereRadius != 0.0f ? RandomBetween(0.0f, m_Shape.sphereRadius) : 0.0f;
            return m_Emitter + cVector3(std::cos(phi) * std::sin(theta), std::sin(phi) * std::sin(theta),
                                        std::cos(theta)) * d;
        }
        default:
            return m_Emitter;
    }
}

void cParticleSystem::Emit(int index) {
    sParticle& p = m_Particles[static_cast<std::size_t>(index)];
    const sParticleMotion& m = m_Motion;
    for (int axis = 0; axis < 3; ++axis) p.velocity[axis] = RandomSpread(m.velocity[axis], m.velocityVariation);
    for (int axis = 0; axis < 3; ++axis) {
        p.acceleration[axis] = RandomSpread(m.acceleration[axis], m.accelerationVariation);
    }
    p.life = 1.0f;
    p.decay = RandomSpread(m.decay, m.decayVariation);
    p.startSize = std::fmax(0.0f, RandomSpread(m.startSize, m.sizeVariation));
    p.endSize = std::fmax(0.0f, RandomSpread(m.endSize, m.sizeVariation));
    const cVector3 position = DrawPosition();
    sBillboardVertex* vertices = m_Billboards ? m_Billboards->Lock() : nullptr;
    if (!vertices) return;
    for (int c = 0; c < 4; ++c) {
        sBillboardVertex& v = vertices[4 * index + c];
        v.x = position.x;
        v.y = position.y;
        v.z = position.z;
        v.halfHeight = 1.0f;
    }
}

void cParticleSystem::Update(float dt) { Step(dt < 0.0f ? EngineFrameTime() : dt, EngineTime()); }

void cParticleSystem::Step(float dt, float nowMs) {
    sBillboardVertex* vertices = m_Billboards ? m_Billboards->Lock() : nullptr;
    if (!vertices) return;
    const int count = static_cast<int>(m_Particles.size());
    for (int i = 0; i < count; ++i) {
        sParticle& p = m_Particles[static_cast<std::size_t>(i)];
        sBillboardVertex* v = &vertices[4 * i];
        if (p.life > 0.0f) {
            // Life above 1 (a negative decay) looks like a newborn particle.
            const float t = p.life > 1.0f ? 1.0f : p.life;
            const cVector3 move = p.velocity * dt;
            cColor color(Mix(m_Motion.startColor.r, m_Motion.endColor.r, t), Mix(m_Motion.startColor.g, m_Motion.endColor.g, t),
                         Mix(m_Motion.startColor.b, m_Motion.endColor.b, t), static_cast<std::uint8_t>(t * 255.0f));
            const float size = t * p.startSize + (1.0f - t) * p.endSize;
            p.velocity += p.acceleration * dt;
            p.life -= dt * p.decay;
            for (int c = 0; c < 4; ++c) {
                v[c].x += move.x;
                v[c].y += move.y;
                v[c].z += move.z;
                v[c].color = color;
                // A particle that has just died is not drawn any more.
                v[c].halfWidth = p.life > 0.0f ? size : 0.0f;
                v[c].halfHeight = p.life > 0.0f ? size : 0.0f;
            }
        } else if (m_EmissionRate > 0.0f) {
            if ((nowMs - m_LastEmission) * 0.001f >= 1.0f / m_EmissionRate) {
                Emit(i);
                m_LastEmission = nowMs;
            }
        } else {
            Emit(i);
        }
    }
    m_Billboards->Unlock();
}

void cParticleSystem::Render(const cVector3& position) {
    m_Emitter = position;
    if (!m_Renderer || !m_Billboards) return;
    m_Renderer->SetDepthWrite(false);
    m_Renderer->SetBlendFunc(m_BlendSource, m_BlendDestination);
    m_Billboards->RenderExpanded();
    m_Renderer->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    m_Renderer->SetDepthWrite(true);
}

} // namespace velmora::scene

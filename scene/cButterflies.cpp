#include "scene/cButterflies.h"

#include <cmath>

#include "engine/core/MathUtil.h"
#include "engine/core/cException.h"
#include "scene/EffectDrawing.h"
#include "scene/EffectRandom.h"
#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

constexpr int kVertexCount = IButterflies::kCount * IButterflies::kVerticesEach;
constexpr int kIndexCount = IButterflies::kCount * IButterflies::kIndicesEach;

const video::sVertexElement kFormat[] = {
    {0, video::T_FLOAT, 3, video::VU_POSITION},
    {12, video::T_FLOAT, 2, video::VU_TEXCOORD0},
    {0, 0, 0, video::VU_END},
};

// Four triangles over the six vertices: left wing (0, 1, 2), (2, 1, 3), right wing (2, 3, 4), (4, 3, 5).
constexpr unsigned short kTriangles[IButterflies::kIndicesEach] = {0, 1, 2, 2, 1, 3, 2, 3, 4, 4, 3, 5};

struct sIndexTable {
    unsigned short values[kIndexCount];
    sIndexTable() {
        for (int b = 0; b < IButterflies::kCount; ++b) {
            for (int i = 0; i < IButterflies::kIndicesEach; ++i) {
                values[b * IButterflies::kIndicesEach + i] =
                    static_cast<unsigned short>(b * IButterflies::kVerticesEach + kTriangles[i]);
            }
        }
    }
};
const sIndexTable kIndexTable;

// The alpha test reference of the wings, also the one both pipelines use while they draw entities.
constexpr float kAlphaReference = 0.5f;

float Clamp(float v, float limit) { return v < -limit ? -limit : (v > limit ? limit : v); }

} // namespace

const unsigned short* cButterflies::Indices() { return kIndexTable.values; }

cButterflies::cButterflies(video::IRenderer* renderer)
    : m_Renderer(renderer), m_Vertices(kVertexCount, sVertex{0, 0, 0, 0, 0}) {}

cButterflies::~cButterflies() {
    if (m_VertexBuffer) m_VertexBuffer->Release();
    if (m_IndexBuffer) m_IndexBuffer->Release();
}

void cButterflies::Create(const cVector3& driftVelocity, float speedVariation) {
    m_Drift = driftVelocity;
    m_SpeedVariation = speedVariation;
    for (int b = 0; b < kCount; ++b) {
        sButterfly& butterfly = m_Butterflies[b];
        // A direction uniform over the sphere: the height uniform in -1..1, the angle around y uniform.
        const float y = RandomBetween(-1.0f, 1.0f);
        const float angle = RandomBetween(0.0f, 2.0f * static_cast<float>(kPi));
        const float ring = std::sqrt(std::fmax(0.0f, 1.0f - y * y));
        const float distance = RandomBetween(0.0f, m_AreaHalfSize);
        butterfly.position = cVector3(ring * std::cos(angle), y, ring * std::sin(angle)) * distance;
        butterfly.velocity = m_Drift;
        butterfly.phase = RandomBetween(-1.0f, 1.0f);
        butterfly.direction = -1.0f;
        WriteVertices(b);
    }
    if (!m_Renderer) return;
    m_VertexBuffer = m_Renderer->CreateVertexBuffer(2, kFormat, sizeof(sVertex), kVertexCount * sizeof(sVertex));
    m_IndexBuffer = m_Renderer->CreateIndexBuffer(1, video::T_USHORT, sizeof(kIndexTable.values));
    if (!m_VertexBuffer || !m_IndexBuffer || !m_IndexBuffer->Fill(kIndexTable.values, sizeof(kIndexTable.values)) ||
        !m_VertexBuffer->Fill(m_Vertices.data(), kVertexCount * sizeof(sVertex))) {
        RaiseError("cButterflies::Create : failed to create buffers");
    }
}

void cButterflies::SetAreaHalfSize(float halfSize) { m_AreaHalfSize = std::fabs(halfSize); }

void cButterflies::WriteVertices(int index) {
    const sButterfly& b = m_Butterflies[index];
    sVertex* v = &m_Vertices[static_cast<std::size_t>(index) * kVerticesEach];
    const float xs[3] = {b.position.x - kHalfSpan, b.position.x, b.position.x + kHalfSpan};
    const float ys[3] = {b.position.y + b.phase, b.position.y, b.position.y + b.phase};
    const float us[3] = {0.0f, 0.5f, 1.0f};
    for (int column = 0; column < 3; ++column) {
        v[2 * column] = {xs[column], ys[column], b.position.z - kHalfLength, us[column], 0.0f};
        v[2 * column + 1] = {xs[column], ys[column], b.position.z + kHalfLength, us[column], 1.0f};
    }
}

void cButterflies::Update(float dt) {
    for (int i = 0; i < kCount; ++i) {
        sButterfly& b = m_Butterflies[i];
        b.phase += dt * m_FlapSpeed * b.direction;
        b.position += b.velocity * dt;
        b.position.x = Clamp(b.position.x, m_AreaHalfSize);
        b.position.y = Clamp(b.position.y, m_AreaHalfSize);
        b.position.z = Clamp(b.position.z, m_AreaHalfSize);
        // At either end of the swing the wings turn back.
        if (b.phase >= kMaxPhase) {
            b.phase = kMaxPhase;
            b.direction = -1.0f;
        } else if (b.phase <= -kMaxPhase) {
            b.phase = -kMaxPhase;
            b.direction = 1.0f;
        }
        WriteVertices(i);
        if (RandomInt(0, 100) > m_ChangeThreshold) {
            const float dx = RandomSpread(0.0f, m_SpeedVariation);
            const float dy = RandomSpread(0.0f, m_SpeedVariation);
            const float dz = RandomSpread(0.0f, m_SpeedVariation);
            b.velocity = m_Drift + cVector3(dx, dy, dz);
        }
    }
    if (m_VertexBuffer) m_VertexBuffer->Fill(m_Vertices.data(), m_Vertices.size() * sizeof(sVertex));
}

void cButterflies::Render() {
    Update(EngineFrameTime());
    if (!m_Renderer || !m_VertexBuffer || !m_IndexBuffer) return;
    DrawWingedMesh(m_Renderer, m_Texture.Get(), m_World, m_VertexBuffer, m_IndexBuffer, kVertexCount, kIndexCount,
                   kAlphaReference);
}

} // namespace velmora::scene

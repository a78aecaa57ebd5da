#include "scene/cBirds.h"

#include <algorithm>
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

constexpr int kMaxVertices = IBirds::kMaxCount * IBirds::kVerticesEach;
constexpr int kMaxIndices = IBirds::kMaxCount * IBirds::kIndicesEach;
constexpr float kTwoPi = 2.0f * static_cast<float>(kPi);

const video::sVertexElement kFormat[] = {
    {0, video::T_FLOAT, 3, video::VU_POSITION},
    {12, video::T_FLOAT, 2, video::VU_TEXCOORD0},
    {0, 0, 0, video::VU_END},
};

struct sIndexTable {
    unsigned short values[kMaxIndices];
    sIndexTable() {
        for (int b = 0; b < IBirds::kMaxCount; ++b) {
            unsigned short* out = values + b * IBirds::kIndicesEach;
            const int first = b * IBirds::kVerticesEach;
            // Two triangles between each pair of neighbouring columns.
            for (int c = 0; c < 4; ++c) {
                const int a = first + 2 * c;
                const unsigned short quad[6] = {static_cast<unsigned short>(a), static_cast<unsigned short>(a + 1),
                                                static_cast<unsigned short>(a + 2), static_cast<unsigned short>(a + 2),
                                                static_cast<unsigned short>(a + 1), static_cast<unsigned short>(a + 3)};
                std::copy(quad, quad + 6, out + 6 * c);
            }
        }
    }
};
const sIndexTable kIndexTable;

constexpr float kAlphaReference = 0.5f;
// The inner wing (shoulder to wrist) and the hand (wrist to tip) as shares of the half span.
constexpr float kInnerWing = 0.45f;
constexpr float kHand = 0.55f;
// The wing's front and back edge, as shares of the half span ahead of and behind the shoulder.
constexpr float kFrontEdge = 0.30f;
constexpr float kBackEdge = 0.32f;
// A bird flaps during this share of each cycle of kFlapCycle seconds.
constexpr float kFlapCycle = 7.0f;
constexpr float kFlapShare = 0.3f;

// The fractional part of a golden-ratio sequence: well spread values in [0, 1) per bird.
float Spread(int index, float step) {
    const float v = static_cast<float>(index + 1) * step;
    return v - std::floor(v);
}

float Wrap01(float v) { return v - std::floor(v); }

} // namespace

const unsigned short* cBirds::Indices() { return kIndexTable.values; }

cBirds::cBirds(video::IRenderer* renderer) : m_Renderer(renderer) {}

cBirds::~cBirds() {
    if (m_VertexBuffer) m_VertexBuffer->Release();
    if (m_IndexBuffer) m_IndexBuffer->Release();
}

void cBirds::Create() {
    WriteVertices();
    if (!m_Renderer) return;
    m_VertexBuffer = m_Renderer->CreateVertexBuffer(2, kFormat, sizeof(sVertex), kMaxVertices * sizeof(sVertex));
    m_IndexBuffer = m_Renderer->CreateIndexBuffer(1, video::T_USHORT, sizeof(kIndexTable.values));
    if (!m_VertexBuffer || !m_IndexBuffer || !m_IndexBuffer->Fill(kIndexTable.values, sizeof(kIndexTable.values)) ||
        !m_VertexBuffer->Fill(m_Vertices.data(), m_Vertices.size() * sizeof(sVertex))) {
        RaiseError("cBirds::Create : failed to create buffers");
    }
}

void cBirds::SetCount(int count) {
    m_Count = std::clamp(count, 1, static_cast<int>(kMaxCount));
    WriteVertices();
}

void cBirds::SetRadius(float radius) {
    m_Radius = std::isfinite(radius) ? std::fabs(radius) : 0.0f;
    WriteVertices();
}

void cBirds::SetWingSpan(float span) {
    m_WingSpan = std::isfinite(span) ? std::fabs(span) : 0.0f;
    WriteVertices();
}

void cBirds::SetFlapSpeed(float speed) { m_FlapSpeed = std::isfinite(speed) ? std::fabs(speed) : 0.0f; }

float cBirds::BobAmplitude() const { return std::min(1.2f, 0.06f * m_Radius); }

cBirds::sPose cBirds::GetPose(int index, float time) const {
    const float g1 = Spread(index, 0.6180340f);
    const float g2 = Spread(index, 0.7548777f);
    const float g3 = Spread(index, 0.5698403f);
    const float radius = m_Radius * (0.8f + 0.4f * g1);
    const float height = (g2 - 0.5f) * 2.0f * std::min(0.1f * m_Radius, 3.0f);
    const float speed = std::isfinite(m_Speed) ? m_Speed : 0.0f;
    const float turnRate = radius > 0.0f ? speed / radius : 0.0f;
    // Angles are kept in one turn so that a long-running clock loses no precision.
    const float angle = kTwoPi * Wrap01(static_cast<float>(index) / static_cast<float>(m_Count) + 0.3f * g3 +
                                        turnRate * time / kTwoPi);
    const float c = std::cos(angle), s = std::sin(angle);

    sPose pose;
    const float bob = BobAmplitude() * std::sin(kTwoPi * Wrap01(0.055f * time + g1));
    pose.position = cVector3(radius * c, height + bob, radius * s);
    // Along the circle in the direction of flight; the centre is to one side.
    pose.forward = cVector3(-s, 0.0f, c) * (speed < 0.0f ? -1.0f : 1.0f);
    const cVector3 inward(-c, 0.0f, -s);
    const float bank = (radius > 0.0f && speed != 0.0f ? kBankDegrees : 0.0f) * static_cast<float>(kPi) / 180.0f;
    pose.up = cVector3(0.0f, std::cos(bank), 0.0f) + inward * std::sin(bank);
    pose.right = Cross(pose.forward, pose.up);
    const float cycle = Wrap01(time / kFlapCycle + g3 + 0.37f * static_cast<float>(index));
    if (cycle < kFlapShare) {
        const float k = std::sin(static_cast<float>(kPi) * cycle / kFlapShare);
        pose.flapping = k * k;
    }
    return pose;
}

void cBirds::WriteVertices() {
    m_Vertices.resize(static_cast<std::size_t>(m_Count) * kVerticesEach);
    const float half = 0.5f * m_WingSpan;
    for (int i = 0; i < m_Count; ++i) {
        const sPose pose = GetPose(i, m_Time);
        // The wing beat: the inner wing swings about the shoulder, the hand follows a little later.
        const float phase = kTwoPi * Wrap01(m_FlapSpeed * m_Time + Spread(i, 0.7548777f));
        const float shoulder = 0.22f + pose.flapping * 0.65f * std::sin(phase);
        const float wrist = shoulder - 0.18f + pose.flapping * 0.85f * std::sin(phase - 0.6f);
        const float wristX = kInnerWing * half * std::cos(shoulder);
        const float wristY = kInnerWing * half * std::sin(shoulder);
        const float tipX = wristX + kHand * half * std::cos(wrist);
        const float tipY = wristY + kHand * half * std::sin(wrist);
        const float xs[5] = {-tipX, -wristX, 0.0f, wristX, tipX};
        const float ys[5] = {tipY, wristY, 0.0f, wristY, tipY};
        const float us[5] = {0.0f, 0.5f - 0.5f * kInnerWing, 0.5f, 0.5f + 0.5f * kInnerWing, 1.0f};
        sVertex* v = &m_Vertices[static_cast<std::size_t>(i) * kVerticesEach];
        for (int column = 0; column < 5; ++column) {
            const cVector3 across = pose.position + pose.right * xs[column] + pose.up * ys[column];
            const cVector3 front = across + pose.forward * (kFrontEdge * half);
            const cVector3 back = across - pose.forward * (kBackEdge * half);
            v[2 * column] = {front.x, front.y, front.z, us[column], 0.0f};
            v[2 * column + 1] = {back.x, back.y, back.z, us[column], 1.0f};
        }
    }
}

void cBirds::Update(float dt) {
    if (dt > 0.0f && std::isfinite(dt)) {
        m_Time += dt;
    }
    WriteVertices();
    if (m_VertexBuffer) m_VertexBuffer->Fill(m_Vertices.data(), m_Vertices.size() * sizeof(sVertex));
}

void cBirds::GetBounds(cVector3& min, cVector3& max) const {
    const float half = 0.5f * m_WingSpan;
    const float across = 1.2f * m_Radius + half;
    const float up = std::min(0.1f * m_Radius, 3.0f) + BobAmplitude() + half;
    min = cVector3(-across, -up, -across);
    max = cVector3(across, up, across);
}

void cBirds::Render() {
    Update(EngineFrameTime());
    if (!m_Renderer || !m_VertexBuffer || !m_IndexBuffer) return;
    DrawWingedMesh(m_Renderer, m_Texture.Get(), m_World, m_VertexBuffer, m_IndexBuffer, m_Count * kVerticesEach,
                   m_Count * kIndicesEach, kAlphaReference);
}

} // namespace velmora::scene

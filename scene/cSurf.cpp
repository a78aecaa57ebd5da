#include "scene/cSurf.h"

#include <algorithm>
#include <cmath>

#include "engine/core/ReleaseAndClear.h"
#include "scene/ITerrain.h"
#include "scene/IWater.h"
#include "scene/TextureReadBack.h"
#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

constexpr int kDynamic = 2;
constexpr int kStatic = 1;
constexpr float kTwoPi = 6.28318531f;
constexpr float kPi = 3.14159265f;
// The share of a wave's period the swash takes to run up; it draws back in the rest.
constexpr float kRunUpShare = 0.35f;
// Ground this far above the highest swash gets no band.
constexpr float kBeachMargin = 0.15f;
// The foam picture drifts slowly along the coast by itself, repeats per second.
constexpr float kFoamDrift = 0.004f;
// How far (world units) the foam picture moves up the beach with the strongest swash.
constexpr float kFoamTravel = 1.6f;

const video::sVertexElement kFormat[] = {
    {0, video::T_FLOAT, 3, video::VU_POSITION},
    {12, video::T_FLOAT, 2, video::VU_TEXCOORD0},
    {20, video::T_UBYTE, 4, video::VU_COLOR},
    {0, 0, 0, video::VU_END},
};

float Saturate(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

float SmoothStep(float edge0, float edge1, float x) {
    const float t = Saturate((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// Where in its period (0..1) a wave of the phase is at `seconds`.
float Cycle(float phase, float seconds) {
    const double c = static_cast<double>(seconds) / cSurf::kPeriod + static_cast<double>(phase) / kTwoPi;
    return static_cast<float>(c - std::floor(c));
}

// The wave's phase at a place: slowly changing along the coast.
float PhaseAt(float x, float z) { return 0.09f * x + 0.06f * z + 1.3f * std::sin(0.021f * x - 0.017f * z); }

} // namespace

cSurf::cSurf(video::IRenderer* renderer) : m_Renderer(renderer) {}

cSurf::~cSurf() { Clear(); }

void cSurf::Clear() {
    if (m_Foam) {
        m_Foam->Release();
        m_Foam = nullptr;
    }
    ReleaseAndClear(m_VertexBuffer);
    ReleaseAndClear(m_IndexBuffer);
    m_IndexCount = 0;
    m_Points.clear();
    m_Vertices.clear();
    m_Terrain = nullptr;
    m_Prepared = false;
}

float cSurf::Swash(float phase, float seconds) {
    const float c = Cycle(phase, seconds);
    // A quick run up the beach, a slower draw back.
    if (c < kRunUpShare) {
        return std::sin(0.5f * kPi * c / kRunUpShare);
    }
    return 0.5f + 0.5f * std::cos(kPi * (c - kRunUpShare) / (1.0f - kRunUpShare));
}

float cSurf::FoamAlpha(float depth, float strength, float reach, float phase, float seconds) {
    if (!(reach > 0.0f) || !(depth < reach)) {
        return 0.0f;
    }
    strength = Saturate(strength);
    const float body = 0.65f + 0.35f * strength;
    const float w = Swash(phase, seconds);
    if (depth > 0.0f) {
        // In the water: a line of breaking foam comes in from the reach to the shore once per wave, over a
        // thinner sheet that thickens towards the shore.
        const float line = reach * (1.0f - Cycle(phase, seconds));
        const float across = (depth - line) / (0.22f * reach);
        const float breaking = std::exp(-across * across);
        const float window = 1.0f - SmoothStep(0.7f * reach, reach, depth);
        return Saturate(window * body * (0.5f * (1.0f - depth / reach) + 0.9f * breaking));
    }
    // On the beach: the swash covers the sand up to its front, fresh foam thickest while it runs up; a thin
    // line stays at the waterline.
    const float height = -depth;
    const float front = kMaxRunUp * strength * w + 0.02f;
    const float swash = (1.0f - SmoothStep(front - 0.1f, front + 0.02f, height)) * (0.5f + 0.5f * w);
    const float waterline = 0.5f * (1.0f - SmoothStep(0.0f, 0.06f, height));
    return Saturate(body * std::max(swash, waterline));
}

void cSurf::LoadSurfMap(const std::string& fileName, sSurfMap& map) const {
    map = sSurfMap();
    if (fileName.empty() || !m_Renderer) {
        return;
    }
    video::ITexture2D* texture = m_Renderer->CreateTexture(fileName.c_str());
    if (!texture) {
        return;
    }
    ReadTextureBack(*texture, map.rgba, map.width, map.height);
    // Only its values are kept: the map is not drawn.
    texture->Release();
}

bool cSurf::Prepare(ITerrain* terrain, const IWater& water) {
    const std::string foam = water.GetFoamTextureName();
    const std::string map = water.GetSurfMapName();
    if (m_Prepared && terrain == m_Terrain && water.GetLevel() == m_Level && foam == m_FoamName && map == m_MapName) {
        return IsReady();
    }
    Clear();
    m_Prepared = true;
    m_Terrain = terrain;
    m_Level = water.GetLevel();
    m_FoamName = foam;
    m_MapName = map;
    if (!m_Renderer || !terrain || foam.empty()) {
        return false;
    }
    m_Foam = m_Renderer->CreateTexture(foam.c_str());
    if (!m_Foam) {
        return false;
    }
    m_Foam->SetAddressMode(video::TA_WRAP);
    sSurfMap surfMap;
    LoadSurfMap(map, surfMap);
    if (!Build(terrain, m_Level, surfMap)) {
        // Nothing near the waterline (or no buffers): nothing to draw.
        ReleaseAndClear(m_VertexBuffer);
        ReleaseAndClear(m_IndexBuffer);
        m_IndexCount = 0;
        m_Points.clear();
        return false;
    }
    return IsReady();
}

bool cSurf::Build(ITerrain* terrain, float level, const sSurfMap& map) {
    const int size = terrain->GetSize();
    const float scale = terrain->GetScale();
    if (size < 2 || !(scale > 0.0f)) {
        return false;
    }
    const auto count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    std::vector<float> heights(count), strengths(count), reaches(count);
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            const std::size_t k = static_cast<std::size_t>(j) * size + i;
            heights[k] = terrain->GetHeight(static_cast<float>(i) * scale, static_cast<float>(j) * scale);
            strengths[k] = kDefaultStrength;
            reaches[k] = kDefaultReach;
            if (!map.rgba.empty()) {
                // One pixel per height sample (a map of another size is stretched over the terrain).
                const int px = std::min(map.width - 1, i * map.width / size);
                const int py = std::min(map.height - 1, j * map.height / size);
                const std::uint8_t* p = &map.rgba[(static_cast<std::size_t>(py) * map.width + px) * 4];
                strengths[k] = static_cast<float>(p[0]) / 255.0f;
                reaches[k] = static_cast<float>(p[1]) / 255.0f * kReachScale;
            }
        }
    }
    auto near = [&](int i, int j) {
        const std::size_t k = static_cast<std::size_t>(j) * size + i;
        const float depth = level - heights[k];
        return reaches[k] > 0.0f && depth < reaches[k] && depth > -(kMaxRunUp * strengths[k] + kBeachMargin);
    };
    // A cell is in the band when one of its corners is; each corner sample becomes one vertex.
    std::vector<std::int32_t> vertexOf(count, -1);
    std::vector<std::uint32_t> indices;
    auto vertex = [&](int i, int j) {
        const std::size_t k = static_cast<std::size_t>(j) * size + i;
        if (vertexOf[k] < 0) {
            vertexOf[k] = static_cast<std::int32_t>(m_Points.size());
            const float x = static_cast<float>(i) * scale, z = static_cast<float>(j) * scale;
            const float h = heights[k];
            const float dx = heights[static_cast<std::size_t>(j) * size + std::min(i + 1, size - 1)] -
                             heights[static_cast<std::size_t>(j) * size + std::max(i - 1, 0)];
            const float dz = heights[static_cast<std::size_t>(std::min(j + 1, size - 1)) * size + i] -
                             heights[static_cast<std::size_t>(std::max(j - 1, 0)) * size + i];
            const float length = std::sqrt(dx * dx + dz * dz);
            sPoint p{x, std::max(h, level) + kLift, z, level - h, strengths[k], reaches[k], PhaseAt(x, z),
                     length > 0.0f ? dx / length : 0.0f, length > 0.0f ? dz / length : 0.0f};
            m_Points.push_back(p);
        }
        return static_cast<std::uint32_t>(vertexOf[k]);
    };
    for (int j = 0; j + 1 < size; ++j) {
        for (int i = 0; i + 1 < size; ++i) {
            if (!near(i, j) && !near(i + 1, j) && !near(i, j + 1) && !near(i + 1, j + 1)) {
                continue;
            }
            const std::uint32_t a = vertex(i, j), b = vertex(i + 1, j), c = vertex(i, j + 1), d = vertex(i + 1, j + 1);
            indices.insert(indices.end(), {a, c, b, b, c, d});
        }
    }
    if (indices.empty()) {
        return false;
    }
    m_Vertices.assign(m_Points.size(), sVertex{});
    m_IndexCount = static_cast<int>(indices.size());
    const std::size_t vertexBytes = m_Vertices.size() * sizeof(sVertex);
    const std::size_t indexBytes = indices.size() * sizeof(std::uint32_t);
    m_VertexBuffer = m_Renderer->CreateVertexBuffer(kDynamic, kFormat, sizeof(sVertex), vertexBytes);
    m_IndexBuffer = m_Renderer->CreateIndexBuffer(kStatic, video::T_UINT, indexBytes);
    return m_VertexBuffer && m_IndexBuffer && m_IndexBuffer->Fill(indices.data(), indexBytes);
}

void cSurf::Render(float seconds) {
    if (!m_Renderer || !IsReady()) {
        return;
    }
    const double driftCycles = static_cast<double>(seconds) * kFoamDrift;
    const float drift = static_cast<float>(driftCycles - std::floor(driftCycles));
    for (std::size_t n = 0; n < m_Points.size(); ++n) {
        const sPoint& p = m_Points[n];
        sVertex& v = m_Vertices[n];
        const float alpha = FoamAlpha(p.depth, p.strength, p.reach, p.phase, seconds);
        // The foam rides up the beach with the swash and back.
        const float travel = kFoamTravel * p.strength * Swash(p.phase, seconds);
        v.x = p.x;
        v.y = p.y;
        v.z = p.z;
        v.u = (p.x + p.upX * travel) / kFoamTile + drift;
        v.v = (p.z + p.upZ * travel) / kFoamTile;
        v.color = cColor(246, 250, 255, cColorF::ToByte(alpha));
    }
    if (!m_VertexBuffer->Fill(m_Vertices.data(), m_Vertices.size() * sizeof(sVertex))) {
        return;
    }
    video::IRenderer* r = m_Renderer;
    r->SetCullMode(video::CM_NONE);
    r->SetDepthWrite(false);
    r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    r->SetTexture(m_Foam, 0);
    r->SetVertexBuffer(m_VertexBuffer);
    r->SetIndexBuffer(m_IndexBuffer);
    r->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, 0, static_cast<int>(m_Vertices.size()), m_IndexCount);
    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    r->SetTexture(nullptr, 0);
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    r->SetDepthWrite(true);
    r->SetCullMode(video::CM_CW);
}

} // namespace velmora::scene

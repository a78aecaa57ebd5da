#include "scene/cCloudLayer.h"

#include <algorithm>
#include <cmath>

#include "engine/core/ReleaseAndClear.h"
#include "engine/core/cMatrix.h"
#include "scene/TextureReadBack.h"
#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

constexpr int kDynamic = 2;
constexpr float kHalfPi = 1.57079633f;
// The lowest ring sits a little below the horizon, so that the fade reaches it from inside the dome.
constexpr float kLowestElevation = -0.03f;

const video::sVertexElement kFormat[] = {
    {0, video::T_FLOAT, 3, video::VU_POSITION},
    {12, video::T_FLOAT, 2, video::VU_TEXCOORD0},
    {20, video::T_UBYTE, 4, video::VU_COLOR},
    {0, 0, 0, video::VU_END},
};

float SmoothStep(float edge0, float edge1, float x) {
    const float t = std::min(1.0f, std::max(0.0f, (x - edge0) / (edge1 - edge0)));
    return t * t * (3.0f - 2.0f * t);
}

// x wrapped into 0..1.
float Wrap(float x) { return x - std::floor(x); }

} // namespace

cCloudLayer::cCloudLayer(video::IRenderer* renderer) : m_Renderer(renderer) {}

cCloudLayer::~cCloudLayer() {
    SetTexture(std::string());
    ReleaseDome();
}

void cCloudLayer::SetTexture(const std::string& fileName) {
    if (m_Texture) {
        m_Texture->Release();
        m_Texture = nullptr;
    }
    m_Cover.clear();
    m_CellCover.clear();
    m_CoverWidth = m_CoverHeight = 0;
    m_Name = fileName;
    if (fileName.empty() || !m_Renderer) {
        return;
    }
    m_Texture = m_Renderer->CreateTexture(fileName.c_str());
    if (!m_Texture) {
        return;
    }
    m_Texture->SetAddressMode(video::TA_WRAP);
    // The device's copy is what the dome shows (its level 0 may be smaller than the image after a detail
    // reduction): the cover is read from there.
    std::vector<std::uint8_t> rgba;
    int width = 0;
    int height = 0;
    if (ReadTextureBack(*m_Texture, rgba, width, height)) {
        m_CoverWidth = width;
        m_CoverHeight = height;
        m_Cover.resize(static_cast<std::size_t>(width) * height);
        for (std::size_t i = 0; i < m_Cover.size(); ++i) {
            m_Cover[i] = rgba[i * 4 + 3];
        }
        m_CellCover.assign(static_cast<std::size_t>(kCoverCells) * kCoverCells, 0);
        const int w = m_CoverWidth, h = m_CoverHeight;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const std::uint8_t a = m_Cover[static_cast<std::size_t>(y) * w + x];
                if (!a) {
                    continue;
                }
                // The texel counts for its own cell and, through the bilinear lookup, its neighbours'.
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int cx = (((x + dx) % w + w) % w) * kCoverCells / w;
                        const int cy = (((y + dy) % h + h) % h) * kCoverCells / h;
                        std::uint8_t& cell = m_CellCover[static_cast<std::size_t>(cy) * kCoverCells + cx];
                        cell = std::max(cell, a);
                    }
                }
            }
        }
    }
    if (!m_VertexBuffer) {
        BuildDome();
    }
}

std::string cCloudLayer::GetTextureName() const { return m_Name; }

cVector2 cCloudLayer::GetScroll(float seconds) const {
    if (!m_Texture) {
        return cVector2();
    }
    const float width = static_cast<float>(std::max<std::uint32_t>(1, m_Texture->GetImageWidth()));
    const float height = static_cast<float>(std::max<std::uint32_t>(1, m_Texture->GetImageHeight()));
    // In double: after hours of flight the product of time and drift still keeps its fraction.
    const double s = static_cast<double>(seconds);
    const double u = s * m_Drift.x / width;
    const double v = s * m_Drift.y / height;
    return cVector2(static_cast<float>(u - std::floor(u)), static_cast<float>(v - std::floor(v)));
}

cVector2 cCloudLayer::GetTexCoord(const cVector3& direction, float seconds) const {
    const float length = direction.Length();
    if (!(length > 0.0f)) {
        return GetScroll(seconds);
    }
    const cVector3 d = direction * (1.0f / length);
    // Below the horizon the plane is never reached; the lowest ring keeps the horizon's mapping.
    const float k = kPlaneScale / (std::max(d.y, 0.0f) + kHorizonLift);
    const cVector2 scroll = GetScroll(seconds);
    return cVector2(d.x * k + scroll.x, d.z * k + scroll.y);
}

float cCloudLayer::HorizonFade(float y) { return SmoothStep(0.015f, 0.22f, y); }

float cCloudLayer::SampleCover(float u, float v) const {
    if (m_Cover.empty()) {
        return 0.0f;
    }
    // Bilinear between texel centres, wrapping as the repeating texture does.
    const float x = Wrap(u) * static_cast<float>(m_CoverWidth) - 0.5f;
    const float y = Wrap(v) * static_cast<float>(m_CoverHeight) - 0.5f;
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    auto at = [this](int i, int j) {
        i = ((i % m_CoverWidth) + m_CoverWidth) % m_CoverWidth;
        j = ((j % m_CoverHeight) + m_CoverHeight) % m_CoverHeight;
        return static_cast<float>(m_Cover[static_cast<std::size_t>(j) * m_CoverWidth + i]) / 255.0f;
    };
    const int i = static_cast<int>(fx), j = static_cast<int>(fy);
    const float bottom = at(i, j) + (at(i + 1, j) - at(i, j)) * tx;
    const float top = at(i, j + 1) + (at(i + 1, j + 1) - at(i, j + 1)) * tx;
    return bottom + (top - bottom) * ty;
}

bool cCloudLayer::AnyCover(float u0, float v0, float u1, float v1) const {
    if (m_CellCover.empty() || u1 - u0 >= 1.0f || v1 - v0 >= 1.0f) {
        return true;
    }
    const auto first = [](float t) { return static_cast<int>(std::floor(t * kCoverCells)); };
    for (int j = first(v0); j <= first(v1); ++j) {
        for (int i = first(u0); i <= first(u1); ++i) {
            const int ci = ((i % kCoverCells) + kCoverCells) % kCoverCells;
            const int cj = ((j % kCoverCells) + kCoverCells) % kCoverCells;
            if (m_CellCover[static_cast<std::size_t>(cj) * kCoverCells + ci]) {
                return true;
            }
        }
    }
    return false;
}

float cCloudLayer::GetCover(const cVector3& direction, float seconds) const {
    const float length = direction.Length();
    if (m_Cover.empty() || !(length > 0.0f)) {
        return 0.0f;
    }
    const float y = direction.y / length;
    const float fade = HorizonFade(y);
    if (!(fade > 0.0f)) {
        return 0.0f;
    }
    const cVector2 uv = GetTexCoord(direction, seconds);
    return SampleCover(uv.x, uv.y) * fade;
}

void cCloudLayer::BuildDome() {
    if (!m_Renderer) {
        return;
    }
    const int columns = kSegments + 1;
    const int rows = kRings + 1;
    m_Directions.clear();
    m_Vertices.clear();
    for (int ring = 0; ring < rows; ++ring) {
        // Rings crowd towards the horizon, where the mapping changes fastest.
        const float t = static_cast<float>(ring) / static_cast<float>(kRings);
        const float elevation = kLowestElevation + (kHalfPi - kLowestElevation) * std::pow(t, 1.7f);
        for (int segment = 0; segment < columns; ++segment) {
            const float azimuth = 4.0f * kHalfPi * static_cast<float>(segment) / static_cast<float>(kSegments);
            const cVector3 d(std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
                             std::cos(elevation) * std::sin(azimuth));
            m_Directions.push_back(d);
            const float fade = HorizonFade(d.y);
            sVertex v{d.x * kRadius, d.y * kRadius, d.z * kRadius, 0.0f, 0.0f,
                      cColor(255, 255, 255, cColorF::ToByte(fade))};
            m_Vertices.push_back(v);
        }
    }
    std::vector<unsigned short> indices;
    for (int ring = 0; ring < kRings; ++ring) {
        for (int segment = 0; segment < kSegments; ++segment) {
            const auto a = static_cast<unsigned short>(ring * columns + segment);
            const auto b = static_cast<unsigned short>(a + 1);
            const auto c = static_cast<unsigned short>(a + columns);
            const auto d = static_cast<unsigned short>(c + 1);
            indices.insert(indices.end(), {a, c, b, b, c, d});
        }
    }
    m_IndexCount = static_cast<int>(indices.size());
    m_Triangles = indices;
    const std::size_t vertexBytes = m_Vertices.size() * sizeof(sVertex);
    const std::size_t indexBytes = indices.size() * sizeof(unsigned short);
    m_VertexBuffer = m_Renderer->CreateVertexBuffer(kDynamic, kFormat, sizeof(sVertex), vertexBytes);
    m_IndexBuffer = m_Renderer->CreateIndexBuffer(kDynamic, video::T_USHORT, indexBytes);
    if (!m_VertexBuffer || !m_IndexBuffer || !m_IndexBuffer->Fill(indices.data(), indexBytes)) {
        // Without its buffers the layer draws nothing; the renderer has said why.
        ReleaseDome();
    }
}

void cCloudLayer::ReleaseDome() {
    ReleaseAndClear(m_VertexBuffer);
    ReleaseAndClear(m_IndexBuffer);
    m_IndexCount = 0;
}

void cCloudLayer::Render(const cVector3& center, float seconds) {
    if (!m_Renderer || !IsReady()) {
        return;
    }
    for (std::size_t i = 0; i < m_Vertices.size(); ++i) {
        const cVector2 uv = GetTexCoord(m_Directions[i], seconds);
        m_Vertices[i].u = uv.x;
        m_Vertices[i].v = uv.y;
    }
    if (!m_VertexBuffer->Fill(m_Vertices.data(), m_Vertices.size() * sizeof(sVertex))) {
        return;
    }
    // The sky is filled pixel by pixel: triangles over clear sky are not drawn at all.
    m_FrameIndices.clear();
    for (std::size_t t = 0; t + 2 < m_Triangles.size(); t += 3) {
        const sVertex& a = m_Vertices[m_Triangles[t]];
        const sVertex& b = m_Vertices[m_Triangles[t + 1]];
        const sVertex& c = m_Vertices[m_Triangles[t + 2]];
        if (a.color.a == 0 && b.color.a == 0 && c.color.a == 0) {
            continue;
        }
        if (AnyCover(std::min({a.u, b.u, c.u}), std::min({a.v, b.v, c.v}), std::max({a.u, b.u, c.u}),
                     std::max({a.v, b.v, c.v}))) {
            m_FrameIndices.insert(m_FrameIndices.end(), &m_Triangles[t], &m_Triangles[t] + 3);
        }
    }
    if (m_FrameIndices.empty() ||
        !m_IndexBuffer->Fill(m_FrameIndices.data(), m_FrameIndices.size() * sizeof(unsigned short))) {
        return;
    }
    video::IRenderer* r = m_Renderer;
    r->PushTransform(video::MM_WORLD);
    r->SetTransform(video::MM_WORLD, cMatrix::Translation(center.x, center.y, center.z), true);
    r->SetCullMode(video::CM_NONE);
    r->SetDepthWrite(false);
    r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    r->SetTexture(m_Texture, 0);
    r->SetVertexBuffer(m_VertexBuffer);
    r->SetIndexBuffer(m_IndexBuffer);
    r->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, 0, static_cast<int>(m_Vertices.size()),
                               static_cast<int>(m_FrameIndices.size()));
    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    r->SetTexture(nullptr, 0);
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    r->SetDepthWrite(true);
    r->SetCullMode(video::CM_CW);
    r->PopTransform(video::MM_WORLD);
}

} // namespace velmora::scene

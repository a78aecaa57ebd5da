#include "scene/cBillboardSet.h"

#include <cstring>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/ReleaseAndClear.h"
#include "engine/core/cException.h"
#include "engine/core/cMatrix.h"
#include "video/IBuffers.h"
#include "video/IRenderer.h"

namespace velmora::scene {

namespace {

constexpr int kDynamic = 2;
constexpr int kStatic = 1;

const video::sVertexElement kBillboardFormat[] = {
    {0, video::T_FLOAT, 4, video::VU_POSITION},    // centre, half height
    {16, video::T_FLOAT, 2, video::VU_TEXCOORD0},  // corner
    {24, video::T_FLOAT, 1, video::VU_TEXCOORD1},  // half width
    {28, video::T_UBYTE, 4, video::VU_COLOR},
    {0, 0, 0, video::VU_END},
};

const video::sVertexElement kExpandedFormat[] = {
    {0, video::T_FLOAT, 3, video::VU_POSITION},
    {12, video::T_FLOAT, 2, video::VU_TEXCOORD0},
    {20, video::T_UBYTE, 4, video::VU_COLOR},
    {0, 0, 0, video::VU_END},
};

constexpr float kCorners[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};

} // namespace

cBillboardSet::cBillboardSet(video::IRenderer* renderer) : m_Renderer(renderer) {}

cBillboardSet::~cBillboardSet() { Clear(); }

void cBillboardSet::Release() { delete this; }

const video::sVertexElement* cBillboardSet::VertexFormat() { return kBillboardFormat; }

void cBillboardSet::MakeIndices(int count, std::vector<unsigned short>& out) {
    out.resize(static_cast<std::size_t>(count) * 6);
    for (int k = 0; k < count; ++k) {
        const auto base = static_cast<unsigned short>(4 * k);
        unsigned short* i = &out[static_cast<std::size_t>(k) * 6];
        i[0] = static_cast<unsigned short>(base + 3);
        i[1] = base;
        i[2] = static_cast<unsigned short>(base + 1);
        i[3] = static_cast<unsigned short>(base + 3);
        i[4] = static_cast<unsigned short>(base + 1);
        i[5] = static_cast<unsigned short>(base + 2);
    }
}

void cBillboardSet::Clear() {
    ReleaseAndClear(m_VertexBuffer);
    ReleaseAndClear(m_IndexBuffer);
    ReleaseAndClear(m_ExpandedBuffer);
    std::vector<sBillboardVertex>().swap(m_Vertices);
    std::vector<sExpandedVertex>().swap(m_Expanded);
    m_Count = 0;
}

bool cBillboardSet::CreateBillboards(int count) {
    Clear();
    if (count < 1 || count > kMaxBillboards) {
        LogWarning("cBillboardSet::CreateBillboards : invalid billboard count %d (1 to %d)\n", count,
                   kMaxBillboards);
        return false;
    }
    std::vector<unsigned short> indices;
    try {
        m_Vertices.resize(static_cast<std::size_t>(count) * 4);
        MakeIndices(count, indices);
    } catch (const std::bad_alloc&) {
        Clear();
        LogWarning("cBillboardSet::CreateBillboards : failed to allocate memory\n");
        return false;
    }
    for (int k = 0; k < count; ++k) {
        for (int c = 0; c < 4; ++c) {
            sBillboardVertex& v = m_Vertices[static_cast<std::size_t>(k) * 4 + c];
            v.cornerX = kCorners[c][0];
            v.cornerY = kCorners[c][1];
        }
    }
    if (m_Renderer) {
        const std::size_t vertexBytes = m_Vertices.size() * sizeof(sBillboardVertex);
        m_VertexBuffer = m_Renderer->CreateVertexBuffer(kDynamic, kBillboardFormat, sizeof(sBillboardVertex),
                                                        vertexBytes);
        if (!m_VertexBuffer) {
            Clear();
            return false;
        }
        void* data = m_VertexBuffer->Lock(true);
        if (!data) {
            Clear();
            RaiseError("cBillboardSet::CreateBillboards : failed to lock vertex buffer");
        }
        std::memcpy(data, m_Vertices.data(), vertexBytes);
        m_VertexBuffer->Unlock();
        m_IndexBuffer = m_Renderer->CreateIndexBuffer(kStatic, video::T_USHORT, indices.size() * 2);
        if (!m_IndexBuffer || !m_IndexBuffer->Fill(indices.data(), indices.size() * 2)) {
            Clear();
            return false;
        }
    }
    m_Count = count;
    return true;
}

sBillboardVertex* cBillboardSet::Lock() { return m_Vertices.empty() ? nullptr : m_Vertices.data(); }

void cBillboardSet::Unlock() {
    if (m_VertexBuffer && !m_Vertices.empty()) {
        m_VertexBuffer->Fill(m_Vertices.data(), m_Vertices.size() * sizeof(sBillboardVertex));
    }
}

void cBillboardSet::Render() {
    if (!m_Renderer || !m_VertexBuffer || !m_IndexBuffer || m_Count == 0) return;
    m_Renderer->SetVertexBuffer(m_VertexBuffer);
    m_Renderer->SetIndexBuffer(m_IndexBuffer);
    m_Renderer->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, 4 * m_Count, 6 * m_Count);
    m_Renderer->SetVertexBuffer(nullptr);
    m_Renderer->SetIndexBuffer(nullptr);
}

void cBillboardSet::Expand(const cVector3& right, const cVector3& up, std::vector<sExpandedVertex>& out) const {
    out.resize(m_Vertices.size());
    for (std::size_t i = 0; i < m_Vertices.size(); ++i) {
        const sBillboardVertex& v = m_Vertices[i];
        const cVector3 p = cVector3(v.x, v.y, v.z) + right * (v.cornerX * v.halfWidth) + up * (v.cornerY * v.halfHeight);
        out[i] = {p.x, p.y, p.z, v.cornerX * 0.5f + 0.5f, v.cornerY * 0.5f + 0.5f, v.color};
    }
}

void cBillboardSet::RenderExpanded(const cVector3& right, const cVector3& up) {
    if (!m_Renderer || !m_IndexBuffer || m_Count == 0) return;
    const std::size_t bytes = m_Vertices.size() * sizeof(sExpandedVertex);
    if (!m_ExpandedBuffer) {
        m_ExpandedBuffer = m_Renderer->CreateVertexBuffer(kDynamic, kExpandedFormat, sizeof(sExpandedVertex), bytes);
        if (!m_ExpandedBuffer) return;
    }
    try {
        Expand(right, up, m_Expanded);
    } catch (const std::bad_alloc&) {
        return;
    }
    if (!m_ExpandedBuffer->Fill(m_Expanded.data(), bytes)) return;
    m_Renderer->SetVertexBuffer(m_ExpandedBuffer);
    m_Renderer->SetIndexBuffer(m_IndexBuffer);
    m_Renderer->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, 4 * m_Count, 6 * m_Count);
    m_Renderer->SetVertexBuffer(nullptr);
    m_Renderer->SetIndexBuffer(nullptr);
}

void cBillboardSet::RenderExpanded() {
    if (!m_Renderer || m_Count == 0) return;
    cMatrix view;
    m_Renderer->GetTransform(video::MM_VIEW, view);
    // The view matrix's first two columns are the camera's right and up axes in world space.
    RenderExpanded(cVector3(view[0], view[4], view[8]), cVector3(view[1], view[5], view[9]));
}

} // namespace velmora::scene

// Impostors: pictures of each vegetation kind rendered once, and the camera-facing billboards that show them
// beyond the vegetation distance.
#include <cmath>
#include <cstring>
#include <map>
#include <new>

#include "engine/core/Log.h"
#include "scene/IResourceManager.h"
#include "scene/IStaticMesh.h"
#include "scene/cTerrainVegetation.h"
#include "video/IBuffers.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

struct sBillboardVertex {
    float centre[4]; // x, y, z, half height
    float corner[2]; // +-1
    float halfWidth;
    std::uint8_t color[4];
};
static_assert(sizeof(sBillboardVertex) == 32, "an impostor vertex is 32 bytes");

const video::sVertexElement kBillboardFormat[] = {
    {0, video::T_FLOAT, 4, video::VU_POSITION},
    {16, video::T_FLOAT, 2, video::VU_TEXCOORD0},
    {24, video::T_FLOAT, 1, video::VU_TEXCOORD1},
    {28, video::T_UBYTE, 4, video::VU_COLOR},
    {0, 0, 0, video::VU_END},
};

constexpr float kCorners[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
constexpr int kCornerOrder[6] = {3, 0, 1, 3, 1, 2};

// The impostor picture's clear colour (0.1, 0.4, 0, 0): transparent.
const cColor kImpostorClear(25, 102, 0, 0);

float RowLength(const cMatrix& m, int row) {
    return std::sqrt(m(row, 0) * m(row, 0) + m(row, 1) * m(row, 1) + m(row, 2) * m(row, 2));
}

} // namespace

void cTerrainVegetation::FreeImpostor(sImpostor& impostor) {
    if (impostor.target) {
        impostor.target->Release();
        impostor.target = nullptr;
    }
    if (impostor.vertices) {
        impostor.vertices->Release();
        impostor.vertices = nullptr;
    }
    if (impostor.indices) {
        impostor.indices->Release();
        impostor.indices = nullptr;
    }
    impostor.count = 0;
}

cTerrainVegetation::sImpostor* cTerrainVegetation::FindImpostor(const sVegetationKind* kind) {
    for (sImpostor& impostor : m_Impostors) {
        if (impostor.kind == kind) {
            return &impostor;
        }
    }
    return nullptr;
}

video::IRenderTarget* cTerrainVegetation::GetImpostorTarget(const sVegetationKind* kind) const {
    for (const sImpostor& impostor : m_Impostors) {
        if (impostor.kind == kind) {
            return impostor.target;
        }
    }
    return nullptr;
}

int cTerrainVegetation::GetImpostorCount() const {
    int count = 0;
    for (const sImpostor& impostor : m_Impostors) {
        count += impostor.vertices ? impostor.count : 0;
    }
    for (const cTerrainVegetation* child : m_Children) {
        if (child) {
            count += child->GetImpostorCount();
        }
    }
    return count;
}

void cTerrainVegetation::Build() {
    for (cTerrainVegetation* child : m_Children) {
        if (child) {
            child->Build();
        }
    }
    if (!m_Renderer || m_Instances.empty()) {
        return;
    }
    // Instances grouped by kind, kinds in the order they first appear.
    std::vector<sVegetationKind*> kinds;
    std::map<const sVegetationKind*, std::vector<const sVegetationInstance*>> groups;
    for (const sVegetationInstance* instance : m_Instances) {
        auto& group = groups[instance->kind];
        if (group.empty()) {
            kinds.push_back(instance->kind);
        }
        group.push_back(instance);
    }
    for (sVegetationKind* kind : kinds) {
        const auto& group = groups[kind];
        sImpostor* impostor = FindImpostor(kind);
        if (!impostor) {
            video::IRenderTarget* target = RenderImpostorPicture(group.front()->mesh, IMPOSTOR_SIZE);
            if (!target) {
                LogWarning("cTerrainVegetation::Build : no impostor picture for '%s'; it is drawn only near the "
                           "camera\n",
                           kind->meshFileName.c_str());
                continue;
            }
            sImpostor entry;
            entry.kind = kind;
            entry.target = target;
            m_Impostors.push_back(entry);
            impostor = &m_Impostors.back();
        }
        if (!FillBillboards(*impostor, group)) {
            LogWarning("cTerrainVegetation::Build : failed to create the impostor billboards for '%s'\n",
                       kind->meshFileName.c_str());
        }
    }
}

bool cTerrainVegetation::FillBillboards(sImpostor& impostor, const std::vector<const sVegetationInstance*>& instances) {
    if (impostor.vertices) {
        impostor.vertices->Release();
        impostor.vertices = nullptr;
    }
    if (impostor.indices) {
        impostor.indices->Release();
        impostor.indices = nullptr;
    }
    impostor.count = 0;
    const std::size_t count = instances.size();
    const bool wide = count * 4 > 65536;
    std::vector<sBillboardVertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<std::uint16_t> shortIndices;
    try {
        vertices.resize(count * 4);
        indices.resize(count * 6);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const sVegetationInstance& instance = *instances[k];
        const cBox& box = instance.mesh->GetBoundingBox();
        // The mesh box as the instance places it: centre moved by the whole matrix, sizes scaled by the
        // matrix's x and y axes, so that the impostor stands where the mesh stands and as large.
        const cVector3 centre = instance.matrix.TransformPoint(box.GetCenter());
        const cVector3 half = box.GetHalfExtents();
        const float halfHeight = half.y * RowLength(instance.matrix, 1);
        const float halfWidth = half.x * RowLength(instance.matrix, 0);
        for (int corner = 0; corner < 4; ++corner) {
            sBillboardVertex& v = vertices[k * 4 + corner];
            v.centre[0] = centre.x;
            v.centre[1] = centre.y;
            v.centre[2] = centre.z;
            v.centre[3] = halfHeight;
            v.corner[0] = kCorners[corner][0];
            v.corner[1] = kCorners[corner][1];
            v.halfWidth = halfWidth;
            v.color[0] = instance.color.r;
            v.color[1] = instance.color.g;
            v.color[2] = instance.color.b;
            v.color[3] = instance.color.a;
        }
        for (int i = 0; i < 6; ++i) {
            indices[k * 6 + i] = static_cast<std::uint32_t>(k * 4 + kCornerOrder[i]);
        }
    }
    const std::size_t vertexBytes = vertices.size() * sizeof(sBillboardVertex);
    impostor.vertices = m_Renderer->CreateVertexBuffer(1, kBillboardFormat, 32, vertexBytes);
    if (!impostor.vertices || !impostor.vertices->Fill(vertices.data(), vertexBytes)) {
        return false;
    }
    const void* indexData = indices.data();
    std::size_t indexBytes = indices.size() * sizeof(std::uint32_t);
    if (!wide) {
        shortIndices.assign(indices.begin(), indices.end());
        indexData = shortIndices.data();
        indexBytes = shortIndices.size() * sizeof(std::uint16_t);
    }
    impostor.indices = m_Renderer->CreateIndexBuffer(1, wide ? video::T_UINT : video::T_USHORT, indexBytes);
    if (!impostor.indices || !impostor.indices->Fill(indexData, indexBytes)) {
        return false;
    }
    impostor.count = static_cast<int>(count);
    return true;
}

video::IRenderTarget* cTerrainVegetation::RenderImpostorPicture(IStaticMesh* mesh, int size) {
    if (!m_Renderer || !mesh) {
        return nullptr;
    }
    video::IRenderTarget* target = m_Renderer->CreateRenderTarget(size, size, 2);
    if (!target) {
        return nullptr;
    }
    target->SetClearColor(kImpostorClear);
    if (!m_ImpostorCamera && m_Resources) {
        m_ImpostorCamera = m_Resources->CreateCamera(90.0, 4.0 / 3.0, 0.01, 1000.0);
    }

    const cBox& box = mesh->GetBoundingBox();
    const cVector3 centre = box.GetCenter();
    const cVector3 extent = box.GetSize();
    // A flat mesh still gets a picture (of nothing) rather than a singular projection.
    const double width = extent.x > 1e-6f ? extent.x : 1e-6;
    const double height = extent.y > 1e-6f ? extent.y : 1e-6;

    const int cull = m_Renderer->GetCullMode();
    const int fog = m_Renderer->GetFogMode();
    m_Renderer->SetShader(nullptr);
    m_Renderer->SetRenderTarget(target);
    m_Renderer->PushTransform(video::MM_VIEW);
    m_Renderer->PushTransform(video::MM_WORLD);
    m_Renderer->SetOrthographic(-width / 2, width / 2, -height / 2, height / 2, -9999.0, 9999.0);
    m_Renderer->SetViewportRect(0, 0, size, size);
    m_Renderer->SetTransform(video::MM_VIEW,
                             cMatrix::LookAt(centre - cVector3(0.0f, 0.0f, 1000.0f), centre, cVector3(0.0f, 1.0f, 0.0f)));
    m_Renderer->SetTransform(video::MM_WORLD, cMatrix());
    // Leaves are cut out of their textures: transparent texels must not hide what lies behind them.
    m_Renderer->SetCullMode(video::CM_NONE);
    m_Renderer->SetFogMode(video::FOG_OFF);
    m_Renderer->SetLighting(false);
    m_Renderer->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    m_Renderer->SetAlphaTest(video::CMP_GEQUAL, 0.35f);
    mesh->Render();
    m_Renderer->SetAlphaTest(video::CMP_OFF, 0.35f);
    m_Renderer->PopTransform(video::MM_WORLD);
    m_Renderer->PopTransform(video::MM_VIEW);
    m_Renderer->SetRenderTarget(nullptr);
    m_Renderer->SetFogMode(fog);
    m_Renderer->SetCullMode(cull);
    if (video::ITexture2D* texture = target->GetTexture()) {
        texture->SetFiltering(video::TF_POINT);
    }
    return target;
}

int cTerrainVegetation::RenderImpostors() {
    int triangles = 0;
    for (cTerrainVegetation* child : m_Children) {
        if (child) {
            triangles += child->RenderImpostors();
        }
    }
    if (!m_Renderer) {
        return triangles;
    }
    for (const sImpostor& impostor : m_Impostors) {
        if (!impostor.vertices || !impostor.indices || impostor.count == 0) {
            continue;
        }
        m_Renderer->SetTexture(impostor.target->GetTexture(), 0);
        m_Renderer->SetVertexBuffer(impostor.vertices);
        m_Renderer->SetIndexBuffer(impostor.indices);
        m_Renderer->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, impostor.count * 4, impostor.count * 6);
        triangles += 2 * impostor.count;
    }
    m_Renderer->SetVertexBuffer(nullptr);
    m_Renderer->SetIndexBuffer(nullptr);
    return triangles;
}

} // namespace velmora::scene

// Impostors: pictures of each vegetation kind rendered once, and the camera-facing billboards that show them
// beyond the vegetation distance.
#include <cmath>
#include <map>

#include "engine/core/Log.h"
#include "scene/IBillboardSet.h"
#include "scene/IResourceManager.h"
#include "scene/IStaticMesh.h"
#include "scene/cTerrainVegetation.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

// The impostor picture's clear colour (0.1, 0.4, 0, 0): transparent.
const cColor kImpostorClear(25, 102, 0, 0);
// The light the pipelines use when the scene has no sun of its own: direction (1, 1, 1).
const cVector3 kImpostorSun(1.0f, 1.0f, 1.0f);

float RowLength(const cMatrix& m, int row) {
    return std::sqrt(m(row, 0) * m(row, 0) + m(row, 1) * m(row, 1) + m(row, 2) * m(row, 2));
}

} // namespace

void cTerrainVegetation::FreeImpostor(sImpostor& impostor) {
    if (impostor.target) {
        impostor.target->Release();
        impostor.target = nullptr;
    }
    if (impostor.billboards) {
        impostor.billboards->Release();
        impostor.billboards = nullptr;
    }
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
        count += impostor.billboards ? impostor.billboards->GetCount() : 0;
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
            entry.billboards = m_Resources ? m_Resources->CreateBillboardSet() : nullptr;
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
    IBillboardSet* set = impostor.billboards;
    if (!set || !set->CreateBillboards(static_cast<int>(instances.size()))) {
        return false;
    }
    sBillboardVertex* vertices = set->Lock();
    if (!vertices) {
        set->Clear();
        return false;
    }
    for (std::size_t k = 0; k < instances.size(); ++k) {
        const sVegetationInstance& instance = *instances[k];
        const cBox& box = instance.mesh->GetBoundingBox();
        // The mesh box as the instance places it: centre moved by the whole matrix, sizes scaled by the
        // matrix's x and y axes, so that the impostor stands where the mesh stands and is as large.
        const cVector3 centre = instance.matrix.TransformPoint(box.GetCenter());
        const cVector3 half = box.GetHalfExtents();
        const float halfHeight = half.y * RowLength(instance.matrix, 1);
        const float halfWidth = half.x * RowLength(instance.matrix, 0);
        // The corners were set by the set.
        for (int corner = 0; corner < 4; ++corner) {
            sBillboardVertex& v = vertices[k * 4 + corner];
            v.x = centre.x;
            v.y = centre.y;
            v.z = centre.z;
            v.halfHeight = halfHeight;
            v.halfWidth = halfWidth;
            v.color = instance.color;
        }
    }
    set->Unlock();
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
    // Lit as the vegetation pass lights the meshes under the pipelines' default sun, so that a mesh and its
    // impostor have the same colours where they take over from each other.
    video::sLight sun;
    sun.type = video::LT_DIRECTIONAL;
    sun.direction = kImpostorSun;
    m_Renderer->SetLighting(true);
    m_Renderer->EnableLight(0, true);
    m_Renderer->SetLight(0, sun);
    m_Renderer->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    m_Renderer->SetAlphaTest(video::CMP_GEQUAL, 0.35f);
    mesh->Render();
    m_Renderer->SetAlphaTest(video::CMP_OFF, 0.35f);
    m_Renderer->SetLighting(false);
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
        if (!impostor.billboards || impostor.billboards->GetCount() == 0) {
            continue;
        }
        m_Renderer->SetTexture(impostor.target->GetTexture(), 0);
        impostor.billboards->Render();
        triangles += 2 * impostor.billboards->GetCount();
    }
    m_Renderer->SetVertexBuffer(nullptr);
    m_Renderer->SetIndexBuffer(nullptr);
    return triangles;
}

} // namespace velmora::scene

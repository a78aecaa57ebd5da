#include "scene/cTerrainVegetation.h"

#include <new>

#include "engine/core/Log.h"
#include "scene/IResourceManager.h"
#include "scene/IStaticMesh.h"
#include "scene/cDrawBatchList.h"
#include "scene/cWind.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/IResources.h"

namespace velmora::scene {

BoxPlacement PlaceBox(const cBox& node, const cBox& box) {
    int inside = 0;
    bool strictlyInside = false;
    for (int corner = 0; corner < 8; ++corner) {
        const cVector3 p = box.GetCorner(corner);
        if (node.Contains(p)) {
            ++inside;
        }
        if (p.x > node.min.x && p.x < node.max.x && p.y > node.min.y && p.y < node.max.y && p.z > node.min.z &&
            p.z < node.max.z) {
            strictlyInside = true;
        }
    }
    if (inside == 8) {
        return BOX_INSIDE;
    }
    return strictlyInside ? BOX_OVERLAPPING : BOX_OUTSIDE;
}

cTerrainVegetation::cTerrainVegetation(IResourceManager* resources, video::IRenderer* renderer, const cBox& box)
    : m_Resources(resources), m_Renderer(renderer), m_Box(box) {}

cTerrainVegetation::~cTerrainVegetation() {
    for (cTerrainVegetation*& child : m_Children) {
        delete child;
        child = nullptr;
    }
    for (sVegetationInstance* instance : m_Instances) {
        if (instance->mesh) {
            instance->mesh->Release();
        }
        delete instance;
    }
    for (sImpostor& impostor : m_Impostors) {
        FreeImpostor(impostor);
    }
    for (sVegetationKind* kind : m_Kinds) {
        if (kind->impostorTarget) {
            kind->impostorTarget->Release();
        }
        delete kind;
    }
    if (m_ImpostorCamera) {
        m_ImpostorCamera->Release();
    }
}

ITerrainVegetation* cTerrainVegetation::GetChild(int index) const {
    return index >= 0 && index < 8 ? m_Children[index] : nullptr;
}

sVegetationKind* cTerrainVegetation::AddKind(const char* meshFileName) {
    if (!meshFileName || !*meshFileName) {
        return nullptr;
    }
    sVegetationKind* kind = new (std::nothrow) sVegetationKind();
    if (!kind) {
        return nullptr;
    }
    kind->meshFileName = meshFileName;
    try {
        m_Kinds.push_back(kind);
    } catch (const std::bad_alloc&) {
        delete kind;
        return nullptr;
    }
    return kind;
}

sVegetationInstance* cTerrainVegetation::AddInstance(sVegetationKind* kind, const cColor& color,
                                                     const cMatrix& matrix) {
    if (!kind || !m_Resources || m_MissingKinds.count(kind)) {
        return nullptr;
    }
    IStaticMesh* mesh = m_Resources->CreateMesh(kind->meshFileName.c_str(), VEGETATION_MESH_FLAGS);
    if (!mesh) {
        // Said once per kind; its other instances are passed over without loading again.
        LogWarning("cTerrainVegetation::AddInstance : mesh '%s' could not be loaded; its vegetation is left out\n",
                   kind->meshFileName.c_str());
        m_MissingKinds.insert(kind);
        return nullptr;
    }
    sVegetationInstance* instance = new (std::nothrow) sVegetationInstance();
    if (!instance) {
        mesh->Release();
        return nullptr;
    }
    instance->mesh = mesh;
    instance->kind = kind;
    instance->color = color;
    instance->matrix = matrix;
    if (kind->impostorAtInsertion && !kind->impostorTarget) {
        kind->impostorTarget = RenderImpostorPicture(mesh, IMPOSTOR_SIZE);
    }
    bool kept = false;
    try {
        kept = Insert(instance);
    } catch (const std::bad_alloc&) {
        kept = false;
    }
    if (!kept) {
        mesh->Release();
        delete instance;
        return nullptr;
    }
    return instance;
}

bool cTerrainVegetation::Insert(sVegetationInstance* instance) {
    for (cTerrainVegetation* child : m_Children) {
        if (child && child->Insert(instance)) {
            return true;
        }
    }
    const cBox world = instance->mesh->GetBoundingBox().Transformed(instance->matrix);
    if (PlaceBox(m_Box, world) == BOX_OUTSIDE) {
        return false;
    }
    m_Instances.push_back(instance);
    return true;
}

bool cTerrainVegetation::RemoveInstance(sVegetationInstance* instance) {
    for (auto it = m_Instances.begin(); it != m_Instances.end(); ++it) {
        if (*it == instance) {
            m_Instances.erase(it);
            if (instance->mesh) {
                instance->mesh->Release();
            }
            delete instance;
            return true;
        }
    }
    for (cTerrainVegetation* child : m_Children) {
        if (child && child->RemoveInstance(instance)) {
            return true;
        }
    }
    return false;
}

int cTerrainVegetation::GetInstanceCount() const {
    int count = static_cast<int>(m_Instances.size());
    for (const cTerrainVegetation* child : m_Children) {
        if (child) {
            count += child->GetInstanceCount();
        }
    }
    return count;
}

sVegetationInstance* cTerrainVegetation::PickInstance(const cVector3& origin, const cVector3& direction) {
    for (sVegetationInstance* instance : m_Instances) {
        bool invertible = false;
        const cMatrix inverse = instance->matrix.Inverse(&invertible);
        if (!invertible) {
            continue;
        }
        const cVector3 localOrigin = inverse.TransformPoint(origin);
        const cVector3 localDirection = inverse.TransformDirection(direction);
        if (instance->mesh->GetBoundingBox().IntersectRay(localOrigin, localDirection)) {
            return instance;
        }
    }
    for (cTerrainVegetation* child : m_Children) {
        if (child && child->m_Box.IntersectRay(origin, direction)) {
            if (sVegetationInstance* hit = child->PickInstance(origin, direction)) {
                return hit;
            }
        }
    }
    return nullptr;
}

void cTerrainVegetation::RenderBounds() {
    if (m_Renderer) {
        m_Renderer->RenderBox(m_Box.min, m_Box.max, cColor(255, 255, 255, 255));
    }
    for (cTerrainVegetation* child : m_Children) {
        if (child) {
            child->RenderBounds();
        }
    }
}

void cTerrainVegetation::CollectBatches(ICamera* camera, float distance, cDrawBatchList& batches) {
    Collect(camera, distance, batches);
}

void cTerrainVegetation::Collect(ICamera* camera, float distance, cDrawBatchList& batches) {
    const IFrustum* frustum = camera ? camera->GetFrustum() : nullptr;
    if (frustum && !frustum->ContainsBox(m_Box.min, m_Box.max)) {
        return;
    }
    for (cTerrainVegetation* child : m_Children) {
        if (child) {
            child->Collect(camera, distance, batches);
        }
    }
    if (camera) {
        // The node's instances all lie within its largest extent of its centre, near enough.
        const cVector3 size = m_Box.GetSize();
        float extent = size.x > size.y ? size.x : size.y;
        extent = size.z > extent ? size.z : extent;
        if (Distance(camera->GetPosition(), m_Box.GetCenter()) > distance + extent) {
            return;
        }
    }
    for (sVegetationInstance* instance : m_Instances) {
        const cBox& meshBox = instance->mesh->GetBoundingBox();
        if (camera) {
            const cVector3 translation = instance->matrix.GetTranslation();
            if (Distance(camera->GetPosition(), translation + meshBox.GetCenter()) > distance) {
                continue;
            }
            if (frustum && !frustum->ContainsBox(meshBox.min + translation, meshBox.max + translation)) {
                continue;
            }
        }
        // One anchor for all the parts: the wind moves the instance as a whole, as it moves its impostor.
        // Rocks stand still.
        const cVector4 anchor = instance->kind && cWind::IsRigid(instance->kind->meshFileName) ? cWind::GetRigidAnchor(instance->matrix)
                                                                             : cWind::GetAnchor(meshBox, instance->matrix);
        const int parts = instance->mesh->GetNodeCount();
        for (int part = 0; part < parts; ++part) {
            batches.Add(instance->mesh->GetNode(part), instance->matrix, anchor);
        }
    }
}

} // namespace velmora::scene

#include "scene/cCommonRenderingPipeline.h"

#include "engine/core/cFrameProfiler.h"

#include "engine/IEngine.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/cColor.h"
#include "scene/IBillboard.h"
#include "scene/IBirds.h"
#include "scene/IButterflies.h"
#include "scene/IDirectionalLight.h"
#include "scene/IEnvironment.h"
#include "scene/ILensFlare.h"
#include "scene/ISceneManager.h"
#include "scene/ISky.h"
#include "scene/ISound.h"
#include "scene/IStaticMesh.h"
#include "scene/sMeshInstance.h"
#include "sound/ISoundSource.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

constexpr float kWaterHalfSize = 5120.0f;
constexpr float kMeshAlphaReference = 0.5f;

cVector3 CameraPosition(const ICamera* camera) { return camera ? camera->GetPosition() : cVector3(); }

} // namespace

video::IRenderer* cCommonRenderingPipeline::GetRenderer() const {
    if (m_Renderer) {
        return m_Renderer;
    }
    IEngine* engine = GetEngine();
    return engine ? engine->GetRenderer() : nullptr;
}

float cCommonRenderingPipeline::GetTime() const {
    IEngine* engine = GetEngine();
    return engine ? engine->GetTime() : 0.0f;
}

float cCommonRenderingPipeline::GetFrameTime() const {
    IEngine* engine = GetEngine();
    return engine ? engine->GetFrameTime() : 0.0f;
}

void cCommonRenderingPipeline::RenderMesh(IStaticMesh* mesh) {
    video::IRenderer* r = GetRenderer();
    if (!r || !mesh) {
        return;
    }
    for (int i = 0; i < mesh->GetNodeCount(); ++i) {
        IMeshNode* part = mesh->GetNode(i);
        if (!part || !part->GetVertexBuffer() || !part->GetIndexBuffer()) {
            continue;
        }
        r->SetTexture(part->GetTexture(), 0);
        r->SetVertexBuffer(part->GetVertexBuffer());
        r->SetIndexBuffer(part->GetIndexBuffer());
        r->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, part->GetStartIndex(), part->GetVertexCount(),
                                   part->GetIndexCount());
    }
}

// ---- Frame set-up --------------------------------------------------------------------------------

video::sLight cCommonRenderingPipeline::MakeSunLight(const sSpecialEntities& slots, ISceneManager* scene,
                                                     const ICamera* camera) {
    video::sLight light;
    light.type = video::LT_DIRECTIONAL;
    if (auto* sun = dynamic_cast<const IDirectionalLight*>(slots.directionalLight)) {
        light.direction = sun->GetDirection();
        return light;
    }
    if (scene) {
        for (const IEntity* entity : scene->GetEntities()) {
            auto* flare = entity->GetType() == ENTITY_LENS_FLARE ? dynamic_cast<const ILensFlare*>(entity) : nullptr;
            if (!flare) {
                continue;
            }
            cVector3 towardsSun = flare->GetWorldMatrix().GetTranslation();
            if (!flare->IsBoundToCamera()) {
                towardsSun -= CameraPosition(camera);
            }
            if (towardsSun.Normalize() > 0.0f) {
                light.direction = towardsSun;
                return light;
            }
            break;
        }
    }
    light.position = CameraPosition(camera);
    light.direction = cVector3(1.0f, 1.0f, 1.0f);
    return light;
}

void cCommonRenderingPipeline::BeginFrame(ISceneManager* scene, ICamera* camera, bool drawSky) {
    video::IRenderer* r = GetRenderer();
    if (auto* sky = drawSky ? dynamic_cast<ISky*>(m_Slots.sky) : nullptr) {
        {
            cProfileSection section("sky");
            sky->Render(CameraPosition(camera));
        }
        RenderClouds(sky, CameraPosition(camera));
    }
    IEnvironment* environment = scene ? scene->GetEnvironment() : nullptr;
    if (environment) {
        const cColor& fog = environment->GetFogColor();
        m_Fog = cVector4(fog.r / 255.0f, fog.g / 255.0f, fog.b / 255.0f, environment->GetFogDensity());
    } else {
        m_Fog = cVector4(0.0f, 0.0f, 0.0f, 0.0f);
    }
    m_Sun = MakeSunLight(m_Slots, scene, camera);
    ApplySunLight(r);
}

void cCommonRenderingPipeline::ApplyFog(video::IRenderer* r) const {
    r->SetFogParameter(video::FP_DENSITY, m_Fog.w);
    r->SetFogColor(0, m_Fog.x, m_Fog.y, m_Fog.z, 1.0f);
    r->SetFogMode(video::FOG_EXP2);
}

void cCommonRenderingPipeline::ApplySunLight(video::IRenderer* r) const {
    r->SetLighting(true);
    r->EnableLight(0, true);
    r->SetLight(0, m_Sun);
}

// ---- Placed meshes and entities ------------------------------------------------------------------

void cCommonRenderingPipeline::RenderStaticMeshes(ISceneManager* scene, ICamera* camera) {
    video::IRenderer* r = GetRenderer();
    const IFrustum* frustum = camera ? camera->GetFrustum() : nullptr;
    m_MeshBatches.Clear();
    for (const sMeshInstance* record : scene->GetMeshes()) {
        if (!record || !record->mesh) {
            continue;
        }
        const cBox box = record->mesh->GetBoundingBox().Transformed(record->transform);
        if (frustum && !frustum->ContainsBox(box.min, box.max)) {
            continue;
        }
        for (int i = 0; i < record->mesh->GetNodeCount(); ++i) {
            m_MeshBatches.Add(record->mesh->GetNode(i), record->transform);
        }
    }
    r->SetAlphaTest(video::CMP_GEQUAL, kMeshAlphaReference);
    m_MeshBatches.Sort();
    m_MeshBatches.RenderFixedFunction(r);
    m_MeshBatches.Clear();
    r->SetAlphaTest(video::CMP_OFF, kMeshAlphaReference);
}

void cCommonRenderingPipeline::RenderEntities(ISceneManager* scene, ICamera* camera) {
    cProfileSection section("entities");
    for (IEntity* entity : scene->GetEntities()) {
        switch (entity->GetType()) {
        case ENTITY_BILLBOARD:
            if (auto* billboard = dynamic_cast<IBillboard*>(entity)) {
                RenderBillboard(GetRenderer(), *billboard, CameraPosition(camera));
            }
            break;
        case ENTITY_BUTTERFLIES:
            if (auto* butterflies = dynamic_cast<IButterflies*>(entity)) {
                cProfileSection flutter("butterflies");
                butterflies->Render();
            }
            break;
        case ENTITY_BIRDS:
            if (auto* birds = dynamic_cast<IBirds*>(entity)) {
                cProfileSection glide("birds");
                RenderBirds(*birds, camera);
            }
            break;
        case ENTITY_LENS_FLARE:
            if (auto* flare = dynamic_cast<ILensFlare*>(entity)) {
                flare->Render(camera);
            }
            break;
        case ENTITY_SOUND:
            if (auto* sound = dynamic_cast<ISound*>(entity)) {
                sound::ISoundSource* source = sound->GetSource();
                if (source && !source->IsPlaying()) {
                    source->Play();
                }
            }
            break;
        default:
            // Water, rain, sky and lights are drawn (or used) by the passes before.
            break;
        }
    }
}

void cCommonRenderingPipeline::RenderBirds(IBirds& birds, ICamera* camera) {
    // A flock out of sight only moves on: its clock must not stand still while nobody looks.
    const IFrustum* frustum = camera ? camera->GetFrustum() : nullptr;
    if (frustum) {
        cVector3 min, max;
        birds.GetBounds(min, max);
        const cBox box = cBox(min, max).Transformed(birds.GetWorldMatrix());
        if (!frustum->ContainsBox(box.min, box.max)) {
            birds.Update(GetFrameTime());
            return;
        }
    }
    birds.Render();
}

// ---- Water ---------------------------------------------------------------------------------------

void cCommonRenderingPipeline::AdvanceScroll(float speed) { m_ScrollOffset += speed * GetFrameTime() * 0.01f; }

void cCommonRenderingPipeline::GetWaterQuad(float level, cVector3 corners[4]) {
    corners[0] = cVector3(-kWaterHalfSize, level, -kWaterHalfSize);
    corners[1] = cVector3(kWaterHalfSize, level, -kWaterHalfSize);
    corners[2] = cVector3(kWaterHalfSize, level, kWaterHalfSize);
    corners[3] = cVector3(-kWaterHalfSize, level, kWaterHalfSize);
}

} // namespace velmora::scene

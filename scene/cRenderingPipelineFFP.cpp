#include "scene/cRenderingPipelineFFP.h"

#include "engine/core/cColor.h"
#include "engine/core/cRect.h"
#include "scene/ISceneManager.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/IWater.h"
#include "scene/TerrainWalk.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

const char* const kWaterTexture = "data/textures/water.dds";
constexpr float kTextureRepeat = 200.0f;
constexpr float kTerrainAlphaReference = 0.5f;
constexpr float kVegetationAlphaReference = 0.35f;

} // namespace

cRenderingPipelineFFP::cRenderingPipelineFFP(const sSpecialEntities& slots, const sRenderSettings& settings)
    : cCommonRenderingPipeline(slots, settings) {}

cRenderingPipelineFFP::~cRenderingPipelineFFP() { Shutdown(); }

bool cRenderingPipelineFFP::Init() {
    m_Initialized = true;
    return true;
}

void cRenderingPipelineFFP::Shutdown() {
    if (m_WaterTexture) {
        m_WaterTexture->Release();
        m_WaterTexture = nullptr;
    }
    m_TriedWaterTexture = false;
    m_Initialized = false;
}

void cRenderingPipelineFFP::Render(ISceneManager* scene, ICamera* camera) {
    video::IRenderer* r = GetRenderer();
    if (!r || !scene) {
        return;
    }
    BeginFrame(scene, camera);
    ApplyFog(r);

    RenderStaticMeshes(scene, camera);
    r->SetFogMode(video::FOG_OFF);
    r->SetLighting(false);
    ApplyFog(r);

    r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    r->SetAlphaTest(video::CMP_GEQUAL, kTerrainAlphaReference);
    RenderTerrain(scene, nullptr, camera, m_Settings.viewDistance);
    RenderVegetation(scene, camera);

    if (auto* water = dynamic_cast<IWater*>(m_Slots.water)) {
        RenderWater(scene, water);
    }
    RenderEntities(scene, camera);

    r->SetAlphaTest(video::CMP_OFF, kTerrainAlphaReference);
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
}

void cRenderingPipelineFFP::RenderTerrain(ISceneManager* scene, video::IShader*, ICamera* camera, float viewDistance) {
    video::IRenderer* r = GetRenderer();
    ITerrain* terrain = scene ? scene->GetTerrain() : nullptr;
    if (!r || !terrain || !terrain->GetQuadTree()) {
        return;
    }
    r->SetTexture(terrain->GetColorMap(), 0);
    r->SetTexture(terrain->GetLayerTexture(0), 1);
    r->SetTexture(terrain->GetLightMap(), 2);
    DrawTerrainTree(r, terrain->GetQuadTree(), MakeTerrainWalk(camera, viewDistance, m_Settings.levelBias));
    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    for (int stage = 0; stage < 3; ++stage) {
        r->SetTexture(nullptr, stage);
    }
}

void cRenderingPipelineFFP::RenderVegetation(ISceneManager* scene, ICamera* camera) {
    video::IRenderer* r = GetRenderer();
    ITerrain* terrain = scene->GetTerrain();
    ITerrainVegetation* vegetation = terrain ? terrain->GetVegetation() : nullptr;
    if (!vegetation) {
        return;
    }
    ApplySunLight(r);
    r->SetCullMode(video::CM_NONE);
    r->SetAlphaTest(video::CMP_GEQUAL, kVegetationAlphaReference);
    m_VegetationBatches.Clear();
    vegetation->CollectBatches(camera, m_Settings.vegetationDistance, m_VegetationBatches);
    m_VegetationBatches.Sort();
    m_VegetationBatches.RenderFixedFunction(r);
    r->SetLighting(false);
    r->SetAlphaTest(video::CMP_OFF, kVegetationAlphaReference);
    r->SetCullMode(video::CM_CW);
}

void cRenderingPipelineFFP::RenderWater(ISceneManager*, IWater* water) {
    video::IRenderer* r = GetRenderer();
    if (!r || !water) {
        return;
    }
    if (!m_TriedWaterTexture) {
        // Loaded once; without it the quad is drawn in the water colour alone.
        m_TriedWaterTexture = true;
        m_WaterTexture = r->CreateTexture(kWaterTexture);
    }
    AdvanceScroll(water->GetSpeed());
    r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    r->SetCullMode(video::CM_NONE);
    cVector3 corners[4];
    GetWaterQuad(water->GetLevel(), corners);
    const float offset = m_ScrollOffset;
    const cColor& colour = water->GetColor();
    r->RenderQuad(m_WaterTexture, corners, cRect(offset, offset, offset + kTextureRepeat, offset + kTextureRepeat),
                  cColor(colour.r, colour.g, colour.b, kWaterAlpha));
    r->SetCullMode(video::CM_CW);
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
}

} // namespace velmora::scene

#include "scene/cRenderingPipelineFFP.h"

#include <algorithm>
#include <cmath>

#include "engine/core/cColor.h"
#include "engine/core/cFrameProfiler.h"
#include "engine/core/cRect.h"
#include "scene/ISceneManager.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/IWater.h"
#include "scene/TerrainWalk.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

const char* const kWaterTexture = "data/textures/water.dds";
constexpr float kTextureRepeat = 200.0f;
constexpr float kWaterHalfSize = 5120.0f;
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
    ReleaseSurf();
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
    // The sea and the entities start with the alpha test off, as the vegetation leaves it, also without terrain.
    r->SetAlphaTest(video::CMP_OFF, kVegetationAlphaReference);

    if (auto* water = dynamic_cast<IWater*>(m_Slots.water)) {
        cProfileSection section("water");
        RenderWater(scene, water, camera);
    }
    if (auto* water = dynamic_cast<IWater*>(m_Slots.water)) {
        RenderSurf(scene, water);
    }
    ShadeFlaresByClouds(scene, camera);
    RenderEntities(scene, camera);

    r->SetAlphaTest(video::CMP_OFF, kTerrainAlphaReference);
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
}

void cRenderingPipelineFFP::RenderTerrain(ISceneManager* scene, video::IShader*, ICamera* camera, float viewDistance) {
    cProfileSection section("terrain");
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
    cProfileSection section("vegetation");
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
    // No programs here: each instance bends as a whole, sheared about its foot.
    m_Wind.SetTime(GetTime() * 0.001);
    m_VegetationBatches.RenderFixedFunction(r, &m_Wind);
    r->SetLighting(false);
    r->SetAlphaTest(video::CMP_OFF, kVegetationAlphaReference);
    r->SetCullMode(video::CM_CW);
}

void cRenderingPipelineFFP::RenderWater(ISceneManager*, IWater* water, ICamera* camera) {
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
    r->SetTexture(m_WaterTexture, 0);
    const cColor& colour = water->GetColor();
    const cColor tint(colour.r, colour.g, colour.b, kWaterAlpha);
    const float level = water->GetLevel();
    const float offset = m_ScrollOffset;
    // Texture coordinates of the whole quad: s runs along z, t along x, kTextureRepeat times over the quad.
    auto texture = [offset](float v) { return offset + (v + kWaterHalfSize) / (2.0f * kWaterHalfSize) * kTextureRepeat; };
    auto tile = [&](float x0, float z0, float x1, float z1) {
        if (!(x1 > x0) || !(z1 > z0)) {
            return;
        }
        const cVector3 corners[4] = {cVector3(x0, level, z0), cVector3(x1, level, z0), cVector3(x1, level, z1),
                                     cVector3(x0, level, z1)};
        r->RenderQuad(nullptr, corners, cRect(texture(z0), texture(x0), texture(z1), texture(x1)), tint);
    };

    // Fixed-function fog is worked out at the corners and interpolated between them; across one quad of this
    // size the sea by the camera would come out as fogged as the horizon. So the plane is cut: a grid of small
    // tiles around the point under the camera, and four large pieces beyond it, far enough for full fog.
    const cVector3 eye = camera ? camera->GetPosition() : cVector3();
    const float reach = kWaterGridCells * kWaterGridCell * 0.5f;
    auto centre = [reach](float v) {
        const float snapped = std::floor(v / kWaterGridCell) * kWaterGridCell;
        return std::max(-kWaterHalfSize + reach, std::min(kWaterHalfSize - reach, snapped));
    };
    const float cx = centre(eye.x), cz = centre(eye.z);
    const float minX = cx - reach, maxX = cx + reach, minZ = cz - reach, maxZ = cz + reach;
    for (int row = 0; row < kWaterGridCells; ++row) {
        for (int column = 0; column < kWaterGridCells; ++column) {
            const float x = minX + static_cast<float>(column) * kWaterGridCell;
            const float z = minZ + static_cast<float>(row) * kWaterGridCell;
            tile(x, z, x + kWaterGridCell, z + kWaterGridCell);
        }
    }
    tile(-kWaterHalfSize, -kWaterHalfSize, kWaterHalfSize, minZ);
    tile(-kWaterHalfSize, maxZ, kWaterHalfSize, kWaterHalfSize);
    tile(-kWaterHalfSize, minZ, minX, maxZ);
    tile(maxX, minZ, kWaterHalfSize, maxZ);

    r->SetTexture(nullptr, 0);
    r->SetCullMode(video::CM_CW);
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
}

} // namespace velmora::scene

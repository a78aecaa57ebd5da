#include "scene/cRenderingPipelineSM20.h"

#include <cstring>

#include "engine/core/Log.h"
#include "engine/core/cFrameProfiler.h"
#include "scene/IRain.h"
#include "scene/ISceneManager.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/ISky.h"
#include "scene/IWater.h"
#include "scene/TerrainWalk.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/IShader.h"
#include "video/ITexture.h"

namespace velmora::scene {

const char* const cRenderingPipelineSM20::kShaderFiles[SHADER_COUNT] = {
    "data/shaders/common/terrain.txt",        "data/shaders/common/water.txt",
    "data/shaders/common/underwaterTerrain.txt", "data/shaders/common/underwaterObject.txt",
    "data/shaders/common/impostors.txt",      "data/shaders/common/vegetation.txt",
    "data/shaders/common/rain.txt",           "data/shaders/common/sunlight.txt",
};

const char* const cRenderingPipelineSM20::kPackedShaderFiles[PACKED_COUNT] = {
    "data/shaders/common/terrainPacked.txt",
    "data/shaders/common/underwaterTerrainPacked.txt",
};

namespace {

constexpr float kTerrainAlphaReference = 0.5f;
constexpr float kVegetationAlphaReference = 0.35f;
constexpr float kReflectionVegetationScale = 0.5f;
// The reflection keeps what stands more than this below the surface (a twentieth of a unit).
constexpr float kReflectionClipMargin = 0.05f;

// Per terrain layer: the sampler and the scale uniform, and the stage the layer's texture goes to.
const char* const kLayerSamplers[TERRAIN_LAYER_COUNT] = {"u_BaseLayer", "u_Detail0", "u_Detail1", "u_Detail2",
                                                         "u_Detail3"};
const char* const kLayerScales[TERRAIN_LAYER_COUNT] = {"u_ScaleBase", "u_Scale0", "u_Scale1", "u_Scale2",
                                                       "u_Scale3"};
constexpr int kFirstLayerStage = 3;
// The packed programs' detail layers: one texture on the first detail stage, tiled at one scale.
const char* const kPackedSampler = "u_DetailLayers";
const char* const kPackedScale = "u_ScaleDetail";

// Instances among the collected batches: an instance's parts are collected one after the other with its matrix.
long long CountInstances(const cDrawBatchList& batches) {
    long long instances = 0;
    const cMatrix* last = nullptr;
    for (const sDrawBatch& batch : batches.GetBatches()) {
        if (!last || std::memcmp(last, &batch.matrix, sizeof(cMatrix)) != 0) {
            ++instances;
        }
        last = &batch.matrix;
    }
    return instances;
}

cVector3 CameraPosition(const ICamera* camera) { return camera ? camera->GetPosition() : cVector3(); }

// The samplers of a layering program: the three maps, then the base layer and either the four detail layers
// or, in a packed program, the packed texture on the first detail stage.
void BindTerrainSamplers(video::IShader* shader, bool packed) {
    if (!shader) {
        return;
    }
    shader->SetUniform("u_DiffuseMap", 0);
    shader->SetUniform("u_AlphaMap", 1);
    shader->SetUniform("u_Lightmap", 2);
    shader->SetUniform(kLayerSamplers[0], kFirstLayerStage);
    if (packed) {
        shader->SetUniform(kPackedSampler, kFirstLayerStage + 1);
        return;
    }
    for (int layer = 1; layer < TERRAIN_LAYER_COUNT; ++layer) {
        shader->SetUniform(kLayerSamplers[layer], kFirstLayerStage + layer);
    }
}

} // namespace

cRenderingPipelineSM20::cRenderingPipelineSM20(const sSpecialEntities& slots, const sRenderSettings& settings)
    : cCommonRenderingPipeline(slots, settings) {}

cRenderingPipelineSM20::~cRenderingPipelineSM20() { Shutdown(); }

bool cRenderingPipelineSM20::Init() {
    video::IRenderer* r = GetRenderer();
    if (!r) {
        return false;
    }
    bool allShaders = true;
    for (int i = 0; i < SHADER_COUNT; ++i) {
        if (!m_Shaders[i]) {
            m_Shaders[i] = r->CreateShader(kShaderFiles[i], std::string(), std::string());
        }
        // Rain is an effect of its own: without its program the drops are left out, not the flight.
        if (i == SHADER_RAIN && !m_Shaders[i]) {
            LogWarning("cRenderingPipelineSM20::Init : no rain shader loaded, rain is not drawn\n");
            continue;
        }
        allShaders = allShaders && m_Shaders[i];
    }
    BindTerrainSamplers(m_Shaders[SHADER_TERRAIN], false);
    BindTerrainSamplers(m_Shaders[SHADER_UNDERWATER_TERRAIN], false);
    for (int i = 0; i < PACKED_COUNT; ++i) {
        if (!m_PackedShaders[i]) {
            m_PackedShaders[i] = r->CreateShader(kPackedShaderFiles[i], std::string(), std::string());
        }
        BindTerrainSamplers(m_PackedShaders[i], true);
    }
    if (video::IShader* water = m_Shaders[SHADER_WATER]) {
        water->SetUniform("u_WaterDUDV", 0);
        water->SetUniform("u_Reflection", 1);
        water->SetUniform("u_Underwater", 2);
    }
    if (!m_ReflectionTarget || !m_UnderwaterTarget) {
        m_WaterTargetsBias = kNoWaterTargets; // asked for again at every Init until they exist
    }
    const bool targets = PrepareWaterTargets();
    m_Initialized = allShaders && targets;
    return allShaders;
}

namespace {

// Per level bias 0, 1, 2 and beyond. Lower texture qualities draw the mirrored and the underwater scene with
// fewer pixels; the distortion hides the coarser picture. The mirror image, the larger and costlier of the
// two, shrinks faster at Medium (to 384, a little over a third of its rows at High).
constexpr int kReflectionSides[3] = {cRenderingPipelineSM20::kReflectionSize, 384, 256};
constexpr int kUnderwaterSides[3] = {cRenderingPipelineSM20::kUnderwaterSize, 256, 128};

std::uint32_t Tier(std::uint32_t levelBias) { return levelBias > 2 ? 2 : levelBias; }

} // namespace

int cRenderingPipelineSM20::GetReflectionSize(std::uint32_t levelBias) { return kReflectionSides[Tier(levelBias)]; }

int cRenderingPipelineSM20::GetUnderwaterSize(std::uint32_t levelBias) { return kUnderwaterSides[Tier(levelBias)]; }

bool cRenderingPipelineSM20::PrepareWaterTargets() {
    video::IRenderer* r = GetRenderer();
    if (!r) {
        return false;
    }
    // Tried once per level bias: a device that cannot make a target is not asked again every frame.
    if (m_WaterTargetsBias == m_Settings.levelBias) {
        return m_ReflectionTarget && m_UnderwaterTarget;
    }
    m_WaterTargetsBias = m_Settings.levelBias;
    struct sTarget {
        video::IRenderTarget*& target;
        int size;
        int format;
    };
    const sTarget targets[] = {
        {m_ReflectionTarget, GetReflectionSize(m_Settings.levelBias), 0},
        {m_UnderwaterTarget, GetUnderwaterSize(m_Settings.levelBias), 2},
    };
    bool ready = true;
    for (const sTarget& t : targets) {
        if (t.target && t.target->GetImageWidth() != static_cast<std::uint32_t>(t.size)) {
            t.target->Release();
            t.target = nullptr;
        }
        if (!t.target) {
            t.target = r->CreateRenderTarget(t.size, t.size, t.format);
        }
        ready = ready && t.target;
    }
    return ready;
}

void cRenderingPipelineSM20::Shutdown() {
    for (video::IShader*& shader : m_Shaders) {
        if (shader) {
            shader->Release();
            shader = nullptr;
        }
    }
    for (video::IShader*& shader : m_PackedShaders) {
        if (shader) {
            shader->Release();
            shader = nullptr;
        }
    }
    m_PackedLayers = nullptr;
    if (m_ReflectionTarget) {
        m_ReflectionTarget->Release();
        m_ReflectionTarget = nullptr;
    }
    if (m_UnderwaterTarget) {
        m_UnderwaterTarget->Release();
        m_UnderwaterTarget = nullptr;
    }
    if (m_Distortion) {
        m_Distortion->Release();
        m_Distortion = nullptr;
    }
    m_TriedDistortion = false;
    ReleaseSurf();
    m_WaterTargetsBias = kNoWaterTargets;
    m_ClipFlags = 0;
    m_Initialized = false;
}

void cRenderingPipelineSM20::Render(ISceneManager* scene, ICamera* camera) {
    video::IRenderer* r = GetRenderer();
    if (!r || !scene) {
        return;
    }
    // The sky comes after the terrain, at the far end of the depth range: the picture is the one drawing it
    // first gives (the ground is opaque), without shading the sky the island hides.
    BeginFrame(scene, camera, false);
    m_PackedLayers = nullptr;
    if (m_PackedShaders[PACKED_TERRAIN] && m_PackedShaders[PACKED_UNDERWATER_TERRAIN]) {
        if (ITerrain* terrain = scene->GetTerrain()) {
            m_PackedLayers = terrain->GetPackedDetailLayers();
        }
    }

    ApplyFog(r);
    RenderStaticMeshes(scene, camera);
    r->SetFogMode(video::FOG_OFF);
    r->SetLighting(false);

    r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    r->SetAlphaTest(video::CMP_GEQUAL, kTerrainAlphaReference);
    RenderTerrain(scene, m_Shaders[SHADER_TERRAIN], camera, m_Settings.viewDistance);
    RenderSkyBehind(camera);
    RenderVegetation(scene, camera);
    // What follows starts with the alpha test off, as the vegetation pass leaves it, also in a scene without
    // terrain (faint rain drops would be cut away otherwise).
    r->SetAlphaTest(video::CMP_OFF, kVegetationAlphaReference);

    if (auto* water = dynamic_cast<IWater*>(m_Slots.water)) {
        RenderWater(water, scene, camera);
        RenderSurf(scene, water);
    }
    if (auto* rain = dynamic_cast<IRain*>(m_Slots.rain)) {
        cProfileSection section("rain");
        scene::RenderRain(r, *rain, m_Shaders[SHADER_RAIN], CameraPosition(camera), GetTime() * 0.01f);
        // The rain leaves blending off; billboards after it blend as they do in a dry frame.
        r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    }
    ShadeFlaresByClouds(scene, camera);
    RenderEntities(scene, camera);

    r->SetAlphaTest(video::CMP_OFF, kTerrainAlphaReference);
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    r->SetFogMode(video::FOG_OFF);
    m_PackedLayers = nullptr;
}

void cRenderingPipelineSM20::RenderSkyBehind(ICamera* camera) {
    auto* sky = dynamic_cast<ISky*>(m_Slots.sky);
    video::IRenderer* r = GetRenderer();
    if (!sky || !r) {
        return;
    }
    cProfileSection section("sky");
    // As at the start of a frame: no blending, no alpha test (the terrain pass set both).
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    r->SetAlphaTest(video::CMP_OFF, kTerrainAlphaReference);
    r->SetDepthRange(1.0f, 1.0f);
    sky->Render(CameraPosition(camera));
    RenderClouds(sky, CameraPosition(camera));
    r->SetDepthRange(0.0f, 1.0f);
    r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    r->SetAlphaTest(video::CMP_GEQUAL, kTerrainAlphaReference);
}

// ---- Terrain -------------------------------------------------------------------------------------

void cRenderingPipelineSM20::SetLayerScales(video::IShader* shader, ISceneManager* scene) const {
    ITerrain* terrain = scene ? scene->GetTerrain() : nullptr;
    if (!shader || !terrain) {
        return;
    }
    for (int layer = 0; layer < TERRAIN_LAYER_COUNT; ++layer) {
        shader->SetUniform(kLayerScales[layer], terrain->GetLayerScale(layer));
    }
}

void cRenderingPipelineSM20::SetPackedLayerScales(video::IShader* shader, ITerrain* terrain) const {
    if (shader && terrain) {
        shader->SetUniform(kLayerScales[0], terrain->GetLayerScale(0));
        shader->SetUniform(kPackedScale, terrain->GetLayerScale(1));
    }
}

void cRenderingPipelineSM20::RenderTerrain(ISceneManager* scene, video::IShader* shader, ICamera* camera,
                                           float viewDistance) {
    cProfileSection section("terrain");
    video::IRenderer* r = GetRenderer();
    ITerrain* terrain = scene ? scene->GetTerrain() : nullptr;
    if (!r || !terrain || !terrain->GetQuadTree()) {
        return;
    }
    // Packed detail layers (a frame of Render with the packed programs): the terrain program gives way to its
    // packed form, and the packed texture takes the first detail stage.
    const bool packed = m_PackedLayers && terrain->GetPackedDetailLayers() == m_PackedLayers;
    if (packed && shader == m_Shaders[SHADER_TERRAIN]) {
        shader = m_PackedShaders[PACKED_TERRAIN];
    }
    if (shader) {
        r->SetShader(shader);
        shader->SetUniform("u_Camera", CameraPosition(camera));
        shader->SetUniform("u_DiffuseMap", 0);
        shader->SetUniform("u_AlphaMap", 1);
        shader->SetUniform("u_Lightmap", 2);
        shader->SetUniform("u_Fog", m_Fog);
    }
    r->SetTexture(terrain->GetColorMap(), 0);
    r->SetTexture(terrain->GetLayerMap(), 1);
    r->SetTexture(terrain->GetLightMap(), 2);
    if (packed) {
        r->SetTexture(terrain->GetLayerTexture(0), kFirstLayerStage);
        r->SetTexture(m_PackedLayers, kFirstLayerStage + 1);
        for (int layer = 2; layer < TERRAIN_LAYER_COUNT; ++layer) {
            r->SetTexture(nullptr, kFirstLayerStage + layer);
        }
        SetPackedLayerScales(shader, terrain);
    } else {
        for (int layer = 0; layer < TERRAIN_LAYER_COUNT; ++layer) {
            const int stage = kFirstLayerStage + layer;
            video::ITexture2D* texture = terrain->GetLayerTexture(layer);
            // An empty layer's stage is emptied too, so that nothing left over from earlier drawing shows.
            r->SetTexture(texture, stage);
            if (texture && shader) {
                shader->SetUniform(kLayerSamplers[layer], stage);
                shader->SetUniform(kLayerScales[layer], terrain->GetLayerScale(layer));
            }
        }
    }

    sTerrainWalk walk = MakeTerrainWalk(camera, viewDistance, m_Settings.levelBias);
    walk.clipFlags = m_ClipFlags;
    walk.clipPlane = m_ClipPlane;
    DrawTerrainTree(r, terrain->GetQuadTree(), walk);

    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    for (int stage = 0; stage < kFirstLayerStage + TERRAIN_LAYER_COUNT; ++stage) {
        r->SetTexture(nullptr, stage);
    }
    r->SetShader(nullptr);
}

// ---- Vegetation ----------------------------------------------------------------------------------

void cRenderingPipelineSM20::RenderVegetation(ISceneManager* scene, ICamera* camera) {
    cProfileSection section("vegetation");
    video::IRenderer* r = GetRenderer();
    ITerrain* terrain = scene ? scene->GetTerrain() : nullptr;
    ITerrainVegetation* vegetation = terrain ? terrain->GetVegetation() : nullptr;
    if (!r || !vegetation) {
        return;
    }
    r->SetCullMode(video::CM_NONE);
    r->SetAlphaTest(video::CMP_GEQUAL, kVegetationAlphaReference);
    ApplyFog(r);
    ApplySunLight(r);

    // The distorted mirror image does not show the difference between a near plant and its impostor: the
    // reflection turns plants into impostors at half the distance, which halves its geometry.
    const float distance = (m_ClipFlags & CLIP_REFLECTION) ? m_Settings.vegetationDistance * kReflectionVegetationScale
                                                           : m_Settings.vegetationDistance;
    m_VegetationBatches.Clear();
    vegetation->CollectBatches(camera, distance, m_VegetationBatches);
    if (cFrameProfiler* profiler = GetFrameProfiler()) {
        profiler->Count("mesh instances", CountInstances(m_VegetationBatches));
        profiler->Count("impostors submitted", vegetation->GetImpostorCount());
    }
    if (m_ClipFlags & CLIP_UNDERWATER) {
        // Plants standing wholly above the kept space would only be clipped away vertex by vertex.
        m_VegetationBatches.RemoveAbove(-m_ClipPlane.d);
    }
    m_VegetationBatches.Sort();
    m_Wind.SetTime(GetTime() * 0.001);
    {
        cProfileSection meshes("meshes");
        sMeshProgramInputs inputs;
        inputs.wind = &m_Wind;
        inputs.camera = CameraPosition(camera);
        inputs.viewDistance = distance;
        if (m_ClipFlags & CLIP_UNDERWATER) {
            m_VegetationBatches.RenderWithProgram(r, m_Shaders[SHADER_UNDERWATER_OBJECT], inputs);
        } else {
            RenderVegetationMeshes(inputs);
        }
    }
    r->SetFogMode(video::FOG_OFF);
    r->SetLighting(false);

    if (video::IShader* impostors = m_Shaders[SHADER_IMPOSTORS]) {
        cProfileSection section("impostors");
        r->SetShader(impostors);
        impostors->SetUniform("u_Camera", CameraPosition(camera));
        impostors->SetUniform("u_ViewDistance", distance);
        impostors->SetUniform("u_DiffuseMap", 0);
        impostors->SetUniform("u_Fog", m_Fog);
        m_Wind.SetUniforms(impostors);
        if (m_ClipFlags & CLIP_REFLECTION) {
            // The reflection pass mirrors the world transform; with a program bound the renderer takes the
            // plane through the current matrices, so it is given in the unmirrored space: keep what stands
            // above the water.
            const float level = -m_ClipPlane.d;
            r->SetClipPlane(0, 1, 0.0f, 1.0f, 0.0f, -(level - kReflectionClipMargin));
        }
        vegetation->RenderImpostors();
        r->SetTexture(nullptr, 0);
        r->SetShader(nullptr);
    }
    r->SetAlphaTest(video::CMP_OFF, kVegetationAlphaReference);
    r->SetCullMode(video::CM_CW);
}

void cRenderingPipelineSM20::RenderVegetationMeshes(const sMeshProgramInputs& inputs) {
    video::IRenderer* r = GetRenderer();
    video::IShader* program = m_Shaders[SHADER_VEGETATION];
    if (!program) {
        m_VegetationBatches.RenderFixedFunction(r);
        return;
    }
    // The program lights and fogs as the fixed-function drawing would (and sways); the device's own fog
    // would come on top of it.
    r->SetFogMode(video::FOG_OFF);
    r->SetShader(program);
    cVector3 sun = m_Sun.direction;
    if (!(sun.Normalize() > 0.0f)) {
        sun = cVector3(0.0f, 1.0f, 0.0f);
    }
    program->SetUniform("u_SunDirection", sun);
    program->SetUniform("u_Fog", m_Fog);
    program->SetUniform("u_DiffuseMap", 0);
    if (m_ClipFlags & CLIP_REFLECTION) {
        // As for the impostors: with a program bound the plane goes through the current (mirrored)
        // matrices, so it is given in the unmirrored space: keep what stands above the water.
        const float level = -m_ClipPlane.d;
        r->SetClipPlane(0, 1, 0.0f, 1.0f, 0.0f, -(level - kReflectionClipMargin));
    }
    m_VegetationBatches.RenderWithProgram(r, program, inputs);
}

} // namespace velmora::scene

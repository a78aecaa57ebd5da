// Both rendering pipelines through the recording renderer: the order of the
// passes and how many draws each makes, the states, programs, targets and clip
// planes each pass draws with, the sun as light 0, and what happens when
// programs or targets are missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "engine/core/cException.h"
#include "scene/IBillboard.h"
#include "scene/IDirectionalLight.h"
#include "scene/IRain.h"
#include "scene/IEnvironment.h"
#include "scene/ILensFlare.h"
#include "scene/ISky.h"
#include "scene/ISound.h"
#include "scene/IWater.h"
#include "scene/PipelineTestSupport.h"
#include "scene/TerrainWalk.h"
#include "scene/camera/cCamera.h"
#include "scene/cCommonEntity.h"
#include "scene/cRenderingPipelineFFP.h"
#include "scene/cRenderingPipelineSM20.h"
#include "scene/cResourceManager.h"
#include "scene/cSceneManager.h"
#include "scene/support/SceneTestSupport.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

constexpr float kLevel = 25.0f;
// Chunk tops: one wholly below the sea, one just below the underwater margin, two reaching above it. Chunk
// boxes start at height 0, so every chunk reaches below the surface.
const float kChunkTops[4] = {10.0f, 24.0f, 40.0f, 60.0f};

// The shader pipeline with a frame time of its own.
class cTimedSM20 : public cRenderingPipelineSM20 {
public:
    using cRenderingPipelineSM20::cRenderingPipelineSM20;
    float frameTime = 0.0f;

protected:
    float GetFrameTime() const override { return frameTime; }
};

class cTimedFFP : public cRenderingPipelineFFP {
public:
    using cRenderingPipelineFFP::cRenderingPipelineFFP;
    float frameTime = 0.0f;

protected:
    float GetFrameTime() const override { return frameTime; }
};

// A sound entity whose source counts Play calls.
class cCountingSource : public cFakeSoundSource {
public:
    using cFakeSoundSource::cFakeSoundSource;
    void Play() override {
        ++plays;
        cFakeSoundSource::Play();
    }
    int plays = 0;
};

class cPlainSound : public cCommonEntity<ISound, ENTITY_SOUND> {
public:
    explicit cPlainSound(sound::ISoundSource* source) : m_Source(source) {}
    void SetSource(const std::string&) override {}
    sound::ISoundSource* GetSource() const override { return m_Source; }
    std::string GetSourceName() const override { return m_Source ? m_Source->GetName() : std::string(); }

private:
    sound::ISoundSource* m_Source;
};

class cPlainLight : public cCommonEntity<IDirectionalLight, ENTITY_DIRECTIONAL_LIGHT> {
public:
    const cVector3& GetSecondVector() const override { return m_Second; }
    void SetSecondVector(const cVector3& v) override { m_Second = v; }
    const cVector3& GetDirection() const override { return m_Direction; }
    void SetDirection(const cVector3& d) override { m_Direction = d; }

private:
    cVector3 m_Direction, m_Second;
};

// An island scene on the recording renderer: four chunks, vegetation of three batches, a placed mesh, sea,
// sky, a lens flare bound to the camera, fog. The camera stands above the sea looking over the chunks.
struct sPipelineFixture : ::testing::Test {
    cPipelineRenderer renderer;
    cFakeSoundEngine sound;
    cFakeMeshPart palm{renderer, "palm", 12};
    cSceneManager scene;
    cCamera camera;
    cTimedSM20* sm20 = nullptr;
    cTimedFFP* ffp = nullptr;
    IWater* water = nullptr;
    ISky* sky = nullptr;
    ILensFlare* flare = nullptr;
    int liveMeshes = 0;

    sPipelineFixture() {
        scene.SetRenderer(&renderer);
        scene.SetSoundEngine(&sound);
        sm20 = new cTimedSM20(scene.GetSpecialEntities(), scene.GetRenderSettings());
        ffp = new cTimedFFP(scene.GetSpecialEntities(), scene.GetRenderSettings());
        sm20->SetRenderer(&renderer);
        ffp->SetRenderer(&renderer);
        scene.SetRenderingPipeline(PIPELINE_SHADER_MODEL_20, sm20);
        scene.SetRenderingPipeline(PIPELINE_FIXED_FUNCTION, ffp);

        scene.GetEnvironment()->SetFogColor(cColor(51, 102, 204, 255));
        scene.GetEnvironment()->SetFogDensity(0.01f);
        scene.SetTerrain(new cFakeTerrain(renderer, kChunkTops, &palm, 3));
        IResourceManager* resources = scene.GetResourceManager();
        water = resources->CreateWater(cColor(46, 102, 88, 255), 0.2f, 2.0f, kLevel);
        sky = resources->CreateSkyBox();
        for (const char* face : {"left", "right", "top", "front", "back"}) {
            sky->SetFaceTexture(FaceIndex(face), std::string("sky/") + face + ".jpg");
        }
        flare = resources->CreateLensFlare();
        flare->SetBoundToCamera(true);
        flare->SetWorldMatrix(cMatrix::Translation(0.2f, 0.1f, -1.0f));
        for (int i = 0; i < 7; ++i) {
            flare->SetFlareTexture(i, "flare" + std::to_string(i));
        }
        scene.AddEntity(water);
        scene.AddEntity(sky);
        scene.AddEntity(flare);
        scene.AddMesh(new cFakeMesh(renderer, &liveMeshes), cMatrix::Translation(30.0f, 30.0f, 40.0f));
        renderer.queryResults = {400, 100};

        camera.position = cVector3(32.0f, 40.0f, 110.0f);
        camera.direction = cVector3(0.0f, -0.3f, -1.0f).Normalized();
        camera.SetAspectRatio(4.0 / 3.0);
        camera.SetNearDistance(0.05);
        camera.SetFarDistance(500.0);
        renderer.SetCamera(&camera, true);
    }

    static int FaceIndex(const std::string& face) {
        const char* names[SKY_FACE_COUNT] = {"left", "right", "top", "bottom", "front", "back"};
        for (int i = 0; i < SKY_FACE_COUNT; ++i) {
            if (face == names[i]) return i;
        }
        return -1;
    }

    void Frame() {
        renderer.draws.clear();
        renderer.calls.clear();
        renderer.scissors.clear();
        renderer.queriesAnswered = 0;
        scene.Render(&camera);
    }

    // Consecutive draws grouped by a key of the caller's choosing.
    std::vector<std::string> Group(const std::function<std::string(const sRecordedDraw&)>& key) const {
        std::vector<std::string> groups;
        std::string current;
        int count = 0;
        for (const sRecordedDraw& draw : renderer.draws) {
            const std::string k = key(draw);
            if (k != current && count > 0) {
                groups.push_back(current + " x" + std::to_string(count));
                count = 0;
            }
            current = k;
            ++count;
        }
        if (count > 0) groups.push_back(current + " x" + std::to_string(count));
        return groups;
    }

    std::vector<sRecordedDraw> DrawsIn(const std::string& target, const std::string& shader) const {
        std::vector<sRecordedDraw> out;
        for (const sRecordedDraw& draw : renderer.draws) {
            if (draw.target == target && draw.shader == shader) out.push_back(draw);
        }
        return out;
    }
};

const std::vector<std::string> kShaderFrame = {
    "window/none x1",                 // placed mesh
    "window/terrain x4",              // every chunk
    "window/none x5",                 // sky (five faces) behind the ground
    "window/vegetation x3",           // vegetation meshes
    "window/impostors x1",            // impostors
    "target512/underwaterTerrain x4", // every chunk reaches below the surface
    "target512/underwaterObject x1",  // the one plant reaching below the surface
    "target512/impostors x1",
    "target1024/none x5",             // mirrored sky
    "target1024/terrain x2",          // chunks above the surface, mirrored
    "target1024/vegetation x3",       // vegetation, mirrored
    "target1024/impostors x1",
    "window/water x1",                // the surface
    "window/none x9",                 // lens flare: two measuring boxes, seven flares
};

// ---- Shader pipeline -----------------------------------------------------------------------------

TEST_F(sPipelineFixture, ShaderFrameRunsThePassesInOrderWithTheirDrawCounts) {
    Frame();
    EXPECT_EQ(renderer.Passes(), kShaderFrame);
    // Every pass gave back what it bound: the next frame is the same.
    EXPECT_EQ(sm20->GetClipFlags(), 0);
    Frame();
    EXPECT_EQ(renderer.Passes(), kShaderFrame);
    EXPECT_EQ(renderer.pushes, renderer.pops);
    EXPECT_EQ(renderer.queriesOpen, 0);
}

TEST_F(sPipelineFixture, InitLoadsTheProgramsPackedOnesLastBindsTheirSamplersAndMakesBothTargets) {
    Frame();
    std::vector<std::string> made;
    for (const std::string& call : renderer.calls) {
        if (call.rfind("create ", 0) == 0) made.push_back(call);
    }
    renderer.calls.clear();
    ASSERT_TRUE(sm20->Init());
    ASSERT_TRUE(sm20->IsInitialized());
    // A second Init makes nothing new.
    EXPECT_TRUE(renderer.calls.empty());

    scene.Clear();
    scene.SetTerrain(new cFakeTerrain(renderer, kChunkTops, &palm, 3));
    EXPECT_FALSE(sm20->IsInitialized());
    EXPECT_EQ(renderer.liveShaders, 0);
    EXPECT_EQ(renderer.liveTargets, 0);
    renderer.calls.clear();
    scene.Render(&camera);
    made.clear();
    for (const std::string& call : renderer.calls) {
        if (call.rfind("create ", 0) == 0) made.push_back(call);
    }
    const std::vector<std::string> expected = {
        "create shader terrain", "create shader water", "create shader underwaterTerrain",
        "create shader underwaterObject", "create shader impostors", "create shader vegetation",
        "create shader rain", "create shader sunlight", "create shader terrainPacked",
        "create shader underwaterTerrainPacked", "create target 1024x1024 format 0", "create target 512x512 format 2"};
    EXPECT_EQ(made, expected);
    for (const char* name : {"terrainPacked", "underwaterTerrainPacked"}) {
        cRecordingShader* shader = renderer.Shader(name);
        ASSERT_NE(shader, nullptr);
        EXPECT_EQ(shader->Uniform("u_Lightmap"), std::vector<float>{2});
        EXPECT_EQ(shader->Uniform("u_BaseLayer"), std::vector<float>{3});
        EXPECT_EQ(shader->Uniform("u_DetailLayers"), std::vector<float>{4});
    }
    for (const char* name : {"terrain", "underwaterTerrain"}) {
        cRecordingShader* shader = renderer.Shader(name);
        ASSERT_NE(shader, nullptr);
        EXPECT_EQ(shader->Uniform("u_DiffuseMap"), std::vector<float>{0});
        EXPECT_EQ(shader->Uniform("u_AlphaMap"), std::vector<float>{1});
        EXPECT_EQ(shader->Uniform("u_Lightmap"), std::vector<float>{2});
        EXPECT_EQ(shader->Uniform("u_BaseLayer"), std::vector<float>{3});
        EXPECT_EQ(shader->Uniform("u_Detail3"), std::vector<float>{7});
    }
    cRecordingShader* waterShader = renderer.Shader("water");
    EXPECT_EQ(waterShader->Uniform("u_WaterDUDV"), std::vector<float>{0});
    EXPECT_EQ(waterShader->Uniform("u_Reflection"), std::vector<float>{1});
    EXPECT_EQ(waterShader->Uniform("u_Underwater"), std::vector<float>{2});
}

TEST_F(sPipelineFixture, TerrainPassBindsMapsLayersScalesAndFog) {
    Frame();
    cRecordingShader* terrain = renderer.Shader("terrain");
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->Uniform("u_Fog"), (std::vector<float>{0.2f, 0.4f, 0.8f, 0.01f}));
    // The last terrain draw of the frame is the reflection's: the unmirrored ground is fogged by its distance
    // from the camera mirrored about the surface (level 25).
    EXPECT_EQ(terrain->Uniform("u_Camera"), (std::vector<float>{32.0f, 10.0f, 110.0f}));
    EXPECT_EQ(terrain->Uniform("u_ScaleBase"), (std::vector<float>{10.0f, 20.0f}));
    EXPECT_EQ(terrain->Uniform("u_Scale3"), (std::vector<float>{14.0f, 24.0f}));
    // Layer 3 has no texture: its stage is emptied, not left to whatever was bound.
    const std::vector<std::string>& calls = renderer.calls;
    const auto first = std::find(calls.begin(), calls.end(), "shader terrain");
    ASSERT_NE(first, calls.end());
    const std::vector<std::string> stages(first + 1, first + 9);
    const std::vector<std::string> expected = {"texture 0 colour map", "texture 1 layer map", "texture 2 light map",
                                               "texture 3 sand",       "texture 4 grass",     "texture 5 rock",
                                               "texture 6 none",       "texture 7 mud"};
    EXPECT_EQ(stages, expected);
    for (const sRecordedDraw& draw : DrawsIn("window", "terrain")) {
        EXPECT_EQ(draw.alphaFunc, video::CMP_GEQUAL);
        EXPECT_FLOAT_EQ(draw.alphaReference, 0.5f);
        EXPECT_EQ(draw.blendSrc, video::BF_SRC_ALPHA);
        EXPECT_EQ(draw.blendDst, video::BF_INV_SRC_ALPHA);
        EXPECT_EQ(draw.fogMode, video::FOG_OFF);
        EXPECT_EQ(draw.type, video::PT_TRIANGLE_STRIP);
    }
}

TEST_F(sPipelineFixture, LevelBiasSevenDrawsEveryChunkAtItsCoarsestLevel) {
    sRenderSettings settings;
    settings.levelBias = 7;
    scene.SetRenderSettings(settings);
    Frame();
    const std::vector<sRecordedDraw> chunks = DrawsIn("window", "terrain");
    ASSERT_EQ(chunks.size(), 4u);
    for (const sRecordedDraw& draw : chunks) {
        EXPECT_EQ(draw.indexCount, 4); // level 5 of a 33 x 33 chunk: one quad
    }
}

TEST_F(sPipelineFixture, WaterTargetsShrinkWithTheLevelBiasAndAreRemadeWhenItChanges) {
    const auto targetsMade = [this] {
        std::vector<std::string> made;
        for (const std::string& call : renderer.calls) {
            if (call.rfind("create target", 0) == 0) made.push_back(call);
        }
        return made;
    };
    Frame();
    sRenderSettings settings;
    settings.levelBias = 1;
    scene.SetRenderSettings(settings);
    Frame();
    EXPECT_EQ(targetsMade(), (std::vector<std::string>{"create target 384x384 format 0", "create target 256x256 format 2"}));
    EXPECT_EQ(renderer.liveTargets, 2);
    EXPECT_EQ(DrawsIn("target384", "terrain").size(), 2u) << "the mirrored chunks go to the smaller reflection";
    EXPECT_EQ(DrawsIn("target256", "underwaterTerrain").size(), 4u);
    Frame();
    EXPECT_TRUE(targetsMade().empty()) << "made once per change";

    settings.levelBias = 7; // the smallest tier
    scene.SetRenderSettings(settings);
    Frame();
    EXPECT_EQ(targetsMade(), (std::vector<std::string>{"create target 256x256 format 0", "create target 128x128 format 2"}));
    settings.levelBias = 0;
    scene.SetRenderSettings(settings);
    Frame();
    EXPECT_EQ(renderer.Passes(), kShaderFrame);
    EXPECT_EQ(renderer.liveTargets, 2);
}

TEST_F(sPipelineFixture, TheSkyGoesBehindTheGroundAsIfDrawnFirst) {
    Frame();
    // In the window the sky's five faces come after the terrain, at the far end of the depth range, with
    // the state a frame starts with (no blending, no alpha test); nothing else is drawn there.
    std::vector<std::string> order;
    int skyFaces = 0;
    for (const sRecordedDraw& draw : renderer.draws) {
        if (draw.target != "window") continue;
        const bool sky = draw.texture0.rfind("sky/", 0) == 0;
        if (sky) {
            ++skyFaces;
            EXPECT_EQ(draw.depthNear, 1.0f);
            EXPECT_EQ(draw.depthFar, 1.0f);
            EXPECT_EQ(draw.blendSrc, video::BF_NONE);
            EXPECT_EQ(draw.alphaFunc, video::CMP_OFF);
            EXPECT_FALSE(draw.depthWrite);
        } else {
            EXPECT_EQ(draw.depthNear, 0.0f) << draw.texture0;
            EXPECT_EQ(draw.depthFar, 1.0f) << draw.texture0;
        }
        const std::string what = sky ? "sky" : draw.shader == "terrain" ? "terrain" : draw.texture0 == "palm" ? "palm" : "";
        if (!what.empty() && (order.empty() || order.back() != what)) order.push_back(what);
    }
    EXPECT_EQ(skyFaces, 5);
    EXPECT_EQ(order, (std::vector<std::string>{"terrain", "sky", "palm"}));
    // The vegetation after it blends and tests alpha as before.
    for (const sRecordedDraw& draw : DrawsIn("window", "none")) {
        if (draw.texture0 != "palm") continue;
        EXPECT_EQ(draw.blendSrc, video::BF_SRC_ALPHA);
        EXPECT_EQ(draw.alphaFunc, video::CMP_GEQUAL);
    }
    // The fixed-function pipeline draws its (fogged) sky first, as it always did.
    scene.UseFixedFunction(true);
    renderer.draws.clear();
    Frame();
    ASSERT_FALSE(renderer.draws.empty());
    EXPECT_EQ(renderer.draws.front().texture0.rfind("sky/", 0), 0u);
    EXPECT_EQ(renderer.draws.front().depthNear, 0.0f);
}

TEST_F(sPipelineFixture, VegetationPassDrawsMeshesLitAndFoggedThenImpostorsBeyondTheDistance) {
    sRenderSettings settings;
    settings.vegetationDistance = 40.0f;
    scene.SetRenderSettings(settings);
    Frame();
    cFakeVegetation* vegetation = static_cast<cFakeTerrain*>(scene.GetTerrain())->Vegetation();
    EXPECT_EQ(vegetation->collections, 3);
    // Window and underwater at the vegetation distance; the mirror image turns plants into impostors at half.
    EXPECT_EQ(vegetation->distances, (std::vector<float>{40.0f, 40.0f, 20.0f}));
    const std::vector<sRecordedDraw> meshes = DrawsIn("window", "vegetation");
    ASSERT_EQ(meshes.size(), 3u);
    for (const sRecordedDraw& draw : meshes) {
        EXPECT_EQ(draw.texture0, "palm");
        EXPECT_EQ(draw.cull, video::CM_NONE);
        EXPECT_EQ(draw.alphaFunc, video::CMP_GEQUAL);
        EXPECT_FLOAT_EQ(draw.alphaReference, 0.35f);
        // The program fogs and lights the meshes itself.
        EXPECT_EQ(draw.fogMode, video::FOG_OFF);
    }
    cRecordingShader* program = renderer.Shader("vegetation");
    EXPECT_EQ(program->Uniform("u_Fog"), (std::vector<float>{0.2f, 0.4f, 0.8f, 0.01f}));
    EXPECT_EQ(program->Uniform("u_DiffuseMap"), std::vector<float>{0});
    ASSERT_EQ(program->Uniform("u_SunDirection").size(), 3u);
    ASSERT_EQ(program->Uniform("u_WindAnchor").size(), 4u);
    ASSERT_EQ(program->Uniform("u_WindDirection").size(), 4u);
    // The mirror image's distance: the flutter fades out where its impostors take over.
    EXPECT_EQ(program->Uniform("u_WindFlutter")[1], 20.0f);
    for (const char* name : {"impostors", "underwaterObject"}) {
        EXPECT_EQ(renderer.Shader(name)->Uniform("u_WindWaves"), program->Uniform("u_WindWaves")) << name;
    }
    const std::vector<sRecordedDraw> impostors = DrawsIn("window", "impostors");
    ASSERT_EQ(impostors.size(), 1u);
    EXPECT_EQ(impostors[0].fogMode, video::FOG_OFF);
    EXPECT_FALSE(impostors[0].lighting);
    cRecordingShader* shader = renderer.Shader("impostors");
    // The uniform keeps its last value: the reflection's (impostors within it are hidden there).
    EXPECT_EQ(shader->Uniform("u_ViewDistance"), std::vector<float>{20.0f});
    EXPECT_EQ(shader->Uniform("u_DiffuseMap"), std::vector<float>{0});
    EXPECT_EQ(shader->Uniform("u_Fog"), (std::vector<float>{0.2f, 0.4f, 0.8f, 0.01f}));
}

TEST_F(sPipelineFixture, UnderwaterPassDrawsTheGroundBelowTheSurfaceWithItsDepth) {
    Frame();
    for (const char* name : {"underwaterTerrain", "underwaterObject"}) {
        cRecordingShader* shader = renderer.Shader(name);
        EXPECT_EQ(shader->Uniform("u_WaterLevel"), std::vector<float>{kLevel}) << name;
        EXPECT_EQ(shader->Uniform("u_WaterDensity"), std::vector<float>{0.2f}) << name;
    }
    // The underwater programs layer the terrain with the terrain's own scales.
    EXPECT_EQ(renderer.Shader("underwaterTerrain")->Uniform("u_Scale1"), (std::vector<float>{12.0f, 22.0f}));
    // All the ground below the surface, the deep chunks too (the depth fog fades them out), clipped half a
    // unit above the surface.
    const std::vector<sRecordedDraw> ground = DrawsIn("target512", "underwaterTerrain");
    ASSERT_EQ(ground.size(), 4u);
    for (const sRecordedDraw& draw : ground) {
        EXPECT_TRUE(draw.clipOn);
        EXPECT_TRUE(draw.clipPlane.Equals(cPlane(0.0f, -1.0f, 0.0f, kLevel + 0.5f)));
        EXPECT_TRUE(draw.world.IsIdentity());
    }
    for (const sRecordedDraw& draw : DrawsIn("target512", "underwaterObject")) {
        EXPECT_TRUE(draw.clipOn);
        EXPECT_EQ(draw.texture0, "palm");
    }
}

TEST_F(sPipelineFixture, ReflectionPassMirrorsTheSceneAboveTheSurface) {
    Frame();
    const cFakeRenderTarget* reflection = nullptr;
    for (const cFakeRenderTarget* target : renderer.targets) {
        if (target->width == 1024) reflection = target;
    }
    ASSERT_NE(reflection, nullptr);
    EXPECT_EQ(reflection->clearColor, cColor(255, 0, 0, 255));

    // The sky is mirrored about the camera's height.
    const std::vector<sRecordedDraw> sky = DrawsIn("target1024", "none");
    ASSERT_GE(sky.size(), 5u);
    const cVector3 skyCorner = sky[0].world.TransformPoint(cVector3(1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(skyCorner.Equals(cVector3(33.0f, 39.0f, 111.0f), 1e-4f));

    // Ground at height y shows at 2 L - y, drawn with the winding turned over and clipped at the surface.
    const std::vector<sRecordedDraw> ground = DrawsIn("target1024", "terrain");
    ASSERT_EQ(ground.size(), 2u);
    for (const sRecordedDraw& draw : ground) {
        EXPECT_TRUE(draw.world.TransformPoint(cVector3(3.0f, 30.0f, 4.0f)).Equals(cVector3(3.0f, 20.0f, 4.0f), 1e-4f));
        EXPECT_EQ(draw.cull, video::CM_CCW);
        EXPECT_TRUE(draw.clipOn);
        EXPECT_TRUE(draw.clipPlane.Equals(cPlane(0.0f, -1.0f, 0.0f, kLevel + 0.05f)));
    }
    // Vegetation meshes are mirrored with the ground: their program sees the world through the mirror
    // before the view; like the impostors (drawn by a program through the mirrored matrices) they get the
    // plane in the unmirrored space.
    const std::vector<sRecordedDraw> mirrored = DrawsIn("target1024", "vegetation");
    ASSERT_EQ(mirrored.size(), 3u);
    for (const sRecordedDraw& draw : mirrored) {
        EXPECT_TRUE(draw.world.TransformPoint(cVector3(3.0f, 30.0f, 4.0f)).Equals(cVector3(3.0f, 2.0f * kLevel - 30.0f, 4.0f), 1e-4f));
        EXPECT_TRUE(draw.clipPlane.Equals(cPlane(0.0f, 1.0f, 0.0f, -(kLevel - 0.05f))));
    }
    const std::vector<sRecordedDraw> impostors = DrawsIn("target1024", "impostors");
    ASSERT_EQ(impostors.size(), 1u);
    EXPECT_TRUE(impostors[0].clipPlane.Equals(cPlane(0.0f, 1.0f, 0.0f, -(kLevel - 0.05f))));

    // The reflection culls with the camera mirrored about the surface: its frustum holds the mirror image of
    // what the camera looks at.
    cFakeVegetation* vegetation = static_cast<cFakeTerrain*>(scene.GetTerrain())->Vegetation();
    ASSERT_EQ(vegetation->cameras.size(), 3u);
    EXPECT_TRUE(vegetation->cameras[0].Equals(cVector3(32.0f, 40.0f, 110.0f), 1e-4f));
    EXPECT_TRUE(vegetation->cameras[2].Equals(cVector3(32.0f, 2.0f * kLevel - 40.0f, 110.0f), 1e-4f));
    ASSERT_NE(vegetation->frusta[2], nullptr);
    EXPECT_NE(vegetation->frusta[2], vegetation->frusta[0]);
    const cVector3 ahead = camera.GetPosition() + camera.GetDirection() * 5.0f;
    EXPECT_TRUE(vegetation->frusta[2]->ContainsPoint(cVector3(ahead.x, 2.0f * kLevel - ahead.y, ahead.z)));
    EXPECT_FALSE(vegetation->frusta[2]->ContainsPoint(camera.GetPosition() - camera.GetDirection() * 5.0f));

    // Afterwards: unmirrored, clockwise culling, no plane.
    const std::vector<sRecordedDraw> surface = DrawsIn("window", "water");
    ASSERT_EQ(surface.size(), 1u);
    EXPECT_TRUE(surface[0].world.IsIdentity());
    EXPECT_FALSE(surface[0].clipOn);
}

TEST_F(sPipelineFixture, SurfaceMixesBothTargetsWithTheScrollingDistortionMap) {
    sm20->frameTime = 0.5f;
    Frame();
    const std::vector<std::string>& calls = renderer.calls;
    const auto bound = std::find(calls.begin(), calls.end(), "shader water");
    ASSERT_NE(bound, calls.end());
    const std::vector<std::string> stages(bound + 1, bound + 4);
    const std::vector<std::string> expected = {"texture 0 data/textures/water2_dudv.tga", "texture 1 target1024",
                                               "texture 2 target512"};
    EXPECT_EQ(stages, expected);
    EXPECT_EQ(renderer.FindTexture("data/textures/water2_dudv.tga")->anisotropy, 16);
    const sRecordedDraw surface = DrawsIn("window", "water").at(0);
    EXPECT_EQ(surface.cull, video::CM_NONE);
    EXPECT_EQ(surface.color, cColor(46, 102, 88, 255));
    EXPECT_TRUE(surface.corners[0].Equals(cVector3(-5120.0f, kLevel, -5120.0f)));
    EXPECT_TRUE(surface.corners[2].Equals(cVector3(5120.0f, kLevel, 5120.0f)));
    // Speed 2 for half a second: 0.01 per frame.
    EXPECT_FLOAT_EQ(renderer.lastTexRect.x1, 0.01f);
    EXPECT_FLOAT_EQ(renderer.lastTexRect.y2, 200.01f);
    Frame();
    EXPECT_FLOAT_EQ(renderer.lastTexRect.x1, 0.02f);
    cRecordingShader* shader = renderer.Shader("water");
    EXPECT_EQ(shader->Uniform("u_Camera"), (std::vector<float>{32.0f, 40.0f, 110.0f}));
    EXPECT_EQ(shader->Uniform("u_Fog"), (std::vector<float>{0.2f, 0.4f, 0.8f, 0.01f}));
    // A still sea does not scroll.
    water->SetSpeed(0.0f);
    Frame();
    EXPECT_FLOAT_EQ(renderer.lastTexRect.x1, 0.02f);
}

TEST_F(sPipelineFixture, CameraAtOrBelowTheSurfaceSkipsOnlyTheUnderwaterPass) {
    for (float height : {kLevel, kLevel - 3.0f}) {
        camera.position.y = height;
        renderer.SetCamera(&camera, true);
        Frame();
        EXPECT_TRUE(DrawsIn("target512", "underwaterTerrain").empty()) << height;
        EXPECT_FALSE(DrawsIn("target1024", "none").empty()) << height;
        EXPECT_EQ(DrawsIn("window", "water").size(), 1u) << height;
    }
}

TEST_F(sPipelineFixture, WaterTargetsAreDrawnOnlyWhereTheSurfaceLiesOnTheScreen) {
    Frame();
    // The camera looks 0.3 down (90 degrees high): the horizon lies at 0.3 in normalised device units, the
    // sea's far edge just under it. Each target is drawn from a little above that (the distortion's reach and
    // two texels) down to its bottom row, across its whole width, then the scissor is switched off again.
    ASSERT_EQ(renderer.scissors.size(), 4u);
    const struct {
        const char* target;
        int size;
    } passes[2] = {{"target512", 512}, {"target1024", 1024}};
    for (int i = 0; i < 2; ++i) {
        const std::string on = renderer.scissors[2 * i];
        EXPECT_EQ(renderer.scissors[2 * i + 1], std::string(passes[i].target) + " off");
        int x = -1, y = -1, width = -1, height = -1;
        char name[32] = {};
        ASSERT_EQ(std::sscanf(on.c_str(), "%31s on %d %d %d %d", name, &x, &y, &width, &height), 5) << on;
        EXPECT_STREQ(name, passes[i].target);
        const int size = passes[i].size;
        EXPECT_EQ(x, 0) << on;
        EXPECT_EQ(width, size) << on;
        EXPECT_EQ(y + height, size) << on;
        // Rows from the top: (1 - 0.3) / 2 of the target lies above the horizon, less the margin.
        EXPECT_NEAR(static_cast<double>(y) / size, 0.335, 0.01) << on;
    }
    EXPECT_EQ(renderer.Passes(), kShaderFrame);

    // Looking up over the horizon the sea is out of view: neither target is drawn, the surface is still
    // handed to the renderer (which has nothing to show of it).
    camera.direction = cVector3(0.0f, 2.0f, -1.0f).Normalized();
    renderer.SetCamera(&camera, true);
    Frame();
    EXPECT_TRUE(renderer.scissors.empty());
    for (const sRecordedDraw& draw : renderer.draws) {
        EXPECT_EQ(draw.target, "window") << draw.shader;
    }
    EXPECT_EQ(DrawsIn("window", "water").size(), 1u);
    EXPECT_EQ(sm20->GetClipFlags(), 0);
}

TEST_F(sPipelineFixture, PackedDetailLayersDrawTheTerrainWithThePackedProgramsInEveryPass) {
    auto* terrain = static_cast<cFakeTerrain*>(scene.GetTerrain());
    video::ITexture2D* packed = renderer.CreateTexture("packed layers");
    terrain->packedLayers = packed;
    Frame();
    std::vector<std::string> expected = kShaderFrame;
    for (std::string& pass : expected) {
        for (const char* program : {"/terrain ", "/underwaterTerrain "}) {
            const std::size_t at = pass.find(program);
            if (at != std::string::npos) pass.insert(at + std::strlen(program) - 1, "Packed");
        }
    }
    EXPECT_EQ(renderer.Passes(), expected);

    // Each packed program: the base layer on stage 3, the packed texture on stage 4, the other detail stages
    // emptied (nothing left over from the eight-lookup layering may show).
    const std::vector<std::string> stages = {"texture 3 sand", "texture 4 packed layers", "texture 5 none",
                                             "texture 6 none", "texture 7 none"};
    const std::vector<std::string>& calls = renderer.calls;
    int bindings = 0;
    for (auto call = calls.begin(); call != calls.end(); ++call) {
        if (*call != "shader terrainPacked" && *call != "shader underwaterTerrainPacked") continue;
        const auto base = std::find(call, calls.end(), "texture 3 sand");
        ASSERT_NE(base, calls.end());
        ASSERT_GE(calls.end() - base, 5);
        EXPECT_EQ(std::vector<std::string>(base, base + 5), stages) << *call;
        ++bindings;
    }
    EXPECT_EQ(bindings, 3) << "main view, underwater, reflection";
    // One scale for all four details: layer 1's (the fake terrain's layers tile at 10 + i, 20 + i).
    for (const char* name : {"terrainPacked", "underwaterTerrainPacked"}) {
        cRecordingShader* shader = renderer.Shader(name);
        ASSERT_NE(shader, nullptr);
        EXPECT_EQ(shader->Uniform("u_ScaleBase"), (std::vector<float>{10.0f, 20.0f})) << name;
        EXPECT_EQ(shader->Uniform("u_ScaleDetail"), (std::vector<float>{11.0f, 21.0f})) << name;
    }
    EXPECT_EQ(renderer.Shader("underwaterTerrainPacked")->Uniform("u_WaterLevel"), std::vector<float>{kLevel});

    // Without packed layers the frame is the eight-lookup one again.
    terrain->packedLayers = nullptr;
    Frame();
    EXPECT_EQ(renderer.Passes(), kShaderFrame);
    const auto bound = std::find(renderer.calls.begin(), renderer.calls.end(), "shader terrain");
    ASSERT_NE(bound, renderer.calls.end());
    EXPECT_EQ(*(bound + 5), "texture 4 grass");
    packed->Release();
}

TEST_F(sPipelineFixture, PackedProgramsAreOptionalBothAreNeeded) {
    video::ITexture2D* packed = renderer.CreateTexture("packed layers");
    for (const char* missing : {"data/shaders/common/terrainPacked.txt",
                                "data/shaders/common/underwaterTerrainPacked.txt"}) {
        scene.Clear();
        auto* terrain = new cFakeTerrain(renderer, kChunkTops, &palm, 3);
        terrain->packedLayers = packed;
        scene.SetTerrain(terrain);
        scene.AddEntity(scene.GetResourceManager()->CreateWater(cColor(46, 102, 88, 255), 0.2f, 2.0f, kLevel));
        renderer.missingShaders = {missing};
        cLogCapture log;
        Frame();
        EXPECT_TRUE(sm20->IsInitialized()) << missing;
        EXPECT_EQ(DrawsIn("window", "terrain").size(), 4u) << missing;
        EXPECT_EQ(DrawsIn("target512", "underwaterTerrain").size(), 4u) << missing;
        EXPECT_EQ(DrawsIn("target1024", "terrain").size(), 2u) << missing;
        for (const std::string& call : renderer.calls) {
            EXPECT_NE(call, "texture 4 packed layers") << missing;
        }
    }
    scene.Clear();
    packed->Release();
}

TEST_F(sPipelineFixture, SceneWithoutTerrainWaterOrSkyRunsNoneOfTheirPasses) {
    scene.Clear();
    scene.AddMesh(new cFakeMesh(renderer, &liveMeshes), cMatrix::Translation(30.0f, 30.0f, 40.0f));
    Frame();
    EXPECT_EQ(renderer.Passes(), std::vector<std::string>{"window/none x1"});
    for (const std::string& call : renderer.calls) {
        EXPECT_EQ(call.rfind("target", 0), std::string::npos) << call;
    }
}

TEST_F(sPipelineFixture, RainAndBillboardsDrawTheSameWithOrWithoutTerrain) {
    IResourceManager* resources = scene.GetResourceManager();
    for (const bool withTerrain : {true, false}) {
        scene.Clear();
        if (withTerrain) scene.SetTerrain(new cFakeTerrain(renderer, kChunkTops, &palm, 3));
        IRain* rain = resources->CreateRain(20, 10.0f, 1.0f, 0.3f);
        ASSERT_NE(rain, nullptr);
        rain->SetTexture("drop.tga");
        IBillboard* billboard = resources->CreateBillboard();
        ASSERT_NE(billboard, nullptr);
        billboard->SetTexture("tree.tga");
        billboard->SetBillboardWidth(1.0f);
        billboard->SetBillboardHeight(2.0f);
        scene.AddEntity(rain);
        scene.AddEntity(billboard);
        Frame();
        const std::vector<sRecordedDraw> drops = DrawsIn("window", "rain");
        ASSERT_EQ(drops.size(), 1u) << withTerrain;
        EXPECT_EQ(drops[0].alphaFunc, video::CMP_OFF) << withTerrain;
        EXPECT_EQ(drops[0].blendSrc, video::BF_SRC_ALPHA) << withTerrain;
        EXPECT_FALSE(drops[0].depthWrite);
        const std::vector<sRecordedDraw> quads = renderer.Draws("quad");
        ASSERT_EQ(quads.size(), 1u);
        // Blended, not alpha-tested, whatever came before it.
        EXPECT_EQ(quads[0].texture0, "tree.tga");
        EXPECT_EQ(quads[0].alphaFunc, video::CMP_OFF) << withTerrain;
        EXPECT_EQ(quads[0].blendSrc, video::BF_SRC_ALPHA) << withTerrain;
        EXPECT_EQ(quads[0].blendDst, video::BF_INV_SRC_ALPHA) << withTerrain;
    }
}

TEST_F(sPipelineFixture, MissingProgramsFailInitAndTheSceneManagerStops) {
    scene.Clear();
    renderer.missingShaders.insert("data/shaders/common/impostors.txt");
    cLogCapture log;
    try {
        scene.Render(&camera);
        ADD_FAILURE() << "no exception";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cSceneManager::Render : failed to initialize rendering pipeline");
    }
}

TEST_F(sPipelineFixture, WithoutWaterProgramsTheFrameGoesOnWithoutTheSeaAndSaysSoEachFrame) {
    scene.Clear();
    renderer.missingShaders = {"data/shaders/common/water.txt", "data/shaders/common/underwaterTerrain.txt"};
    EXPECT_FALSE(sm20->Init());
    scene.SetTerrain(new cFakeTerrain(renderer, kChunkTops, &palm, 3));
    scene.AddEntity(scene.GetResourceManager()->CreateWater(cColor(), 0.2f, 2.0f, kLevel));
    cLogCapture log;
    sm20->Render(&scene, &camera);
    sm20->Render(&scene, &camera);
    EXPECT_EQ(log.Text(), "cRenderingPipelineSM20::RenderWater : no water shaders loaded\n"
                          "cRenderingPipelineSM20::RenderWater : no water shaders loaded\n");
    EXPECT_TRUE(DrawsIn("window", "water").empty());
    EXPECT_EQ(DrawsIn("window", "terrain").size(), 8u);

    // With the surface program back, a missing underwater program skips that pass alone.
    renderer.missingShaders = {"data/shaders/common/underwaterTerrain.txt"};
    sm20->Shutdown();
    EXPECT_FALSE(sm20->Init());
    renderer.draws.clear();
    cLogCapture second;
    sm20->Render(&scene, &camera);
    EXPECT_EQ(second.Text(), "cRenderingPipelineSM20::RenderUnderwater : no underwater shaders loaded\n");
    EXPECT_TRUE(DrawsIn("target512", "underwaterObject").empty());
    EXPECT_EQ(DrawsIn("target1024", "terrain").size(), 2u);
    EXPECT_EQ(DrawsIn("window", "water").size(), 1u);
}

TEST_F(sPipelineFixture, WithoutTheRainProgramTheFlightGoesOnWithoutDrops) {
    renderer.missingShaders = {"data/shaders/common/rain.txt"};
    sm20->Shutdown();
    cLogCapture log;
    EXPECT_TRUE(sm20->Init());
    EXPECT_EQ(log.Text(), "cRenderingPipelineSM20::Init : no rain shader loaded, rain is not drawn\n");
}

TEST_F(sPipelineFixture, MissingTargetsLeaveThePipelineUninitialisedAndAreAskedForAgain) {
    renderer.failTargets = true;
    Frame();
    EXPECT_FALSE(sm20->IsInitialized());
    EXPECT_TRUE(DrawsIn("target512", "underwaterTerrain").empty());
    EXPECT_EQ(DrawsIn("window", "water").size(), 1u); // the surface shows what it has
    renderer.failTargets = false;
    Frame();
    EXPECT_TRUE(sm20->IsInitialized());
    EXPECT_EQ(renderer.Passes(), kShaderFrame);
}

TEST_F(sPipelineFixture, SunLightComesFromTheLightTheFlareOrAboveInThatOrder) {
    Frame();
    EXPECT_EQ(renderer.light0.type, video::LT_DIRECTIONAL);
    EXPECT_TRUE(renderer.light0Enabled);
    EXPECT_TRUE(renderer.light0.direction.Equals(cVector3(0.2f, 0.1f, -1.0f).Normalized(), 1e-5f));

    // A flare not bound to the camera is a place: the light points from the camera towards it.
    flare->SetBoundToCamera(false);
    flare->SetWorldMatrix(cMatrix::Translation(32.0f, 140.0f, 110.0f));
    Frame();
    EXPECT_TRUE(renderer.light0.direction.Equals(cVector3(0.0f, 1.0f, 0.0f), 1e-5f));

    auto* light = new cPlainLight();
    light->SetDirection(cVector3(0.0f, 0.6f, 0.8f));
    scene.AddEntity(light);
    Frame();
    EXPECT_TRUE(renderer.light0.direction.Equals(cVector3(0.0f, 0.6f, 0.8f)));

    scene.Clear();
    Frame();
    EXPECT_TRUE(renderer.light0.direction.Equals(cVector3(1.0f, 1.0f, 1.0f)));
    EXPECT_TRUE(renderer.light0.position.Equals(camera.position));
}

TEST_F(sPipelineFixture, EntityPassStartsSoundsThatAreNotPlayingAndLeavesPlayingOnesAlone) {
    cCountingSource quiet(sound, "a.ogg"), playing(sound, "b.ogg");
    playing.playing = true;
    scene.AddEntity(new cPlainSound(&quiet));
    scene.AddEntity(new cPlainSound(&playing));
    scene.AddEntity(new cPlainSound(nullptr));
    Frame();
    EXPECT_EQ(quiet.plays, 1);
    EXPECT_EQ(playing.plays, 0);
    Frame();
    EXPECT_EQ(quiet.plays, 1);
}

TEST_F(sPipelineFixture, FrameLeavesBlendingAlphaTestAndFogOff) {
    Frame();
    EXPECT_EQ(renderer.GetBlendSrc(), video::BF_NONE);
    EXPECT_EQ(renderer.GetAlphaTestFunc(), video::CMP_OFF);
    EXPECT_EQ(renderer.GetFogMode(), video::FOG_OFF);
    EXPECT_TRUE(renderer.GetDepthWrite());
    EXPECT_EQ(renderer.GetCullMode(), video::CM_CW);
    scene.UseFixedFunction(true);
    Frame();
    // The fixed-function frame keeps its fog for the next frame's sky.
    EXPECT_EQ(renderer.GetBlendSrc(), video::BF_NONE);
    EXPECT_EQ(renderer.GetAlphaTestFunc(), video::CMP_OFF);
    EXPECT_EQ(renderer.GetFogMode(), video::FOG_EXP2);
}

// ---- Fixed-function pipeline ---------------------------------------------------------------------

TEST_F(sPipelineFixture, FixedFunctionFrameDrawsTheSameSceneWithoutProgramsOrTargets) {
    scene.UseFixedFunction(true);
    Frame();
    const std::vector<std::string> groups = Group([](const sRecordedDraw& d) {
        return d.kind + " " + d.texture0 + (d.shader == "none" ? "" : " " + d.shader);
    });
    const std::vector<std::string> expected = {
        "indexed sky/left.jpg x1", "indexed sky/right.jpg x1", "indexed sky/front.jpg x1",
        "indexed sky/back.jpg x1", "indexed sky/top.jpg x1",   "indexed crate x1",
        "indexed colour map x4",   "indexed palm x3",          "quad data/textures/water.dds x260",
        "box none x2",             "rect flare0 x1",           "rect flare1 x1",
        "rect flare2 x1",          "rect flare3 x1",           "rect flare4 x1",
        "rect flare5 x1",          "rect flare6 x1"};
    EXPECT_EQ(groups, expected);
    EXPECT_EQ(renderer.liveShaders, 0);
    EXPECT_TRUE(renderer.targets.empty());

    // Terrain: colour map, base layer, light map; fogged, blended, alpha-tested.
    const auto bound = std::find(renderer.calls.begin(), renderer.calls.end(), "texture 0 colour map");
    ASSERT_NE(bound, renderer.calls.end());
    EXPECT_EQ(*(bound + 1), "texture 1 sand");
    EXPECT_EQ(*(bound + 2), "texture 2 light map");
    for (const sRecordedDraw& draw : renderer.Draws("indexed")) {
        if (draw.texture0 == "colour map") {
            EXPECT_EQ(draw.fogMode, video::FOG_EXP2);
            EXPECT_EQ(draw.alphaFunc, video::CMP_GEQUAL);
            EXPECT_FALSE(draw.lighting);
        }
        if (draw.texture0 == "palm") {
            EXPECT_TRUE(draw.lighting);
            EXPECT_EQ(draw.cull, video::CM_NONE);
            EXPECT_FLOAT_EQ(draw.alphaReference, 0.35f);
        }
    }
    // The sea: half transparent, blended, both sides.
    for (const sRecordedDraw& tile : renderer.Draws("quad")) {
        EXPECT_EQ(tile.color, cColor(46, 102, 88, 150));
        EXPECT_EQ(tile.blendSrc, video::BF_SRC_ALPHA);
        EXPECT_EQ(tile.cull, video::CM_NONE);
    }
}

TEST_F(sPipelineFixture, FixedFunctionSeaIsOnePlaneInTilesThatFineAroundTheCamera) {
    scene.UseFixedFunction(true);
    ffp->frameTime = 1.0f;
    Frame();
    Frame();
    // Speed 2 for one second per frame, two frames: 0.04.
    const float offset = 0.04f;
    const float half = 5120.0f;
    double area = 0.0;
    bool cameraTileFound = false;
    for (const sRecordedDraw& tile : renderer.Draws("quad")) {
        const cVector3& low = tile.corners[0];
        const cVector3& high = tile.corners[2];
        for (const cVector3& corner : tile.corners) {
            EXPECT_FLOAT_EQ(corner.y, kLevel);
        }
        area += static_cast<double>(high.x - low.x) * static_cast<double>(high.z - low.z);
        // One texture over the whole plane, 200 repeats: s along z, t along x.
        auto texture = [&](float v) { return offset + (v + half) / (2.0f * half) * 200.0f; };
        EXPECT_NEAR(tile.texRect.x1, texture(low.z), 1e-3f);
        EXPECT_NEAR(tile.texRect.y1, texture(low.x), 1e-3f);
        EXPECT_NEAR(tile.texRect.x2, texture(high.z), 1e-3f);
        EXPECT_NEAR(tile.texRect.y2, texture(high.x), 1e-3f);
        if (low.x <= camera.position.x && camera.position.x <= high.x && low.z <= camera.position.z &&
            camera.position.z <= high.z) {
            cameraTileFound = true;
            EXPECT_LE(high.x - low.x, 64.0f);
        }
    }
    EXPECT_NEAR(area, 4.0 * half * half, 1.0);
    EXPECT_TRUE(cameraTileFound);

    // A camera off the plane's edge keeps the fine tiles inside it.
    camera.position = cVector3(9000.0f, 40.0f, -9000.0f);
    Frame();
    area = 0.0;
    for (const sRecordedDraw& tile : renderer.Draws("quad")) {
        EXPECT_GE(tile.corners[0].x, -half);
        EXPECT_LE(tile.corners[2].z, half);
        area += static_cast<double>(tile.corners[2].x - tile.corners[0].x) *
                static_cast<double>(tile.corners[2].z - tile.corners[0].z);
    }
    EXPECT_NEAR(area, 4.0 * half * half, 1.0);
}

TEST_F(sPipelineFixture, FixedFunctionPipelineNeedsNothingToInitialise) {
    scene.UseFixedFunction(true);
    renderer.missingShaders = {"data/shaders/common/terrain.txt"};
    renderer.failTargets = true;
    Frame();
    EXPECT_TRUE(ffp->IsInitialized());
    EXPECT_FALSE(sm20->IsInitialized());
    scene.Clear();
    EXPECT_FALSE(ffp->IsInitialized());
}

TEST(RenderingPipelineFactory, MakesBothPipelinesForTheSceneManager) {
    cSceneManager scene;
    EXPECT_NE(dynamic_cast<cRenderingPipelineSM20*>(scene.GetRenderingPipeline(PIPELINE_SHADER_MODEL_20)), nullptr);
    EXPECT_NE(dynamic_cast<cRenderingPipelineFFP*>(scene.GetRenderingPipeline(PIPELINE_FIXED_FUNCTION)), nullptr);
}

} // namespace

// The scene manager: loading and saving a folder as a unit, the order in
// which a scene is taken apart, the special-entity slots, drawing through the
// selected pipeline (or none), and the list of files a scene uses.
#include <gtest/gtest.h>

#include "engine/core/cException.h"
#include "scene/IEnvironment.h"
#include "scene/ISound.h"
#include "scene/IStaticMesh.h"
#include "scene/ITerrain.h"
#include "scene/camera/cCamera.h"
#include "scene/cResourceManager.h"
#include "scene/cSceneManager.h"
#include "scene/cScenePath.h"
#include "scene/cSerializer.h"
#include "scene/sMeshInstance.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/support/cNullRenderer.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

const char* kScene =
    "environment { fog { density 0.01 color (0.5, 0.5, 0.5) } sounds { ambient \"wind.ogg\" } }\n"
    "paths { path \"a\" { camera { 0,0,0, 0,0,0, 1,1,1, 1,1,1 } target { } } path \"b\" { } }\n"
    "entities {\n"
    "  water { level 1 } water { level 2 } sky { top \"sky/top.jpg\" }\n"
    "  sound { source \"surf.ogg\" volume 1 }\n"
    "  billboard { texture \"glow.tga\" } billboard { texture \"glow.tga\" }\n"
    "}\n"
    "meshes { mesh { mesh \"rock.mesh\" } mesh { mesh \"rock.mesh\" transform (1,0,0,0, 0,1,0,0, 0,0,1,0, 5,0,0,1) } }\n";

const char* kOtherScene = "entities { rain { } }\n";

const char* kRock = "node \"r\" { material \"rock.tga\" vertices 3 { 0 0 0 1 0 0 0 1 0 } faces 1 { 0 1 2 } }\n";

std::vector<std::string>* g_Events = nullptr;

class cLoggedPath : public cScenePath {
public:
    explicit cLoggedPath(const char* name) { SetName(name); }
    void Release() override {
        g_Events->push_back("path " + GetName());
        cScenePath::Release();
    }
};

class cLoggedEntity : public cCommonEntity<IEntity, ENTITY_BUTTERFLIES> {
public:
    explicit cLoggedEntity(const char* name) : m_Name(name) {}
    void Release() override {
        g_Events->push_back("entity " + m_Name);
        delete this;
    }

private:
    std::string m_Name;
};

class cLoggedTerrain : public ITerrain {
public:
    video::ITexture2D* layers[5] = {};
    int references = 1;
    void Release() override {
        g_Events->push_back("terrain");
        if (--references == 0) delete this;
    }
    ITerrain* AddRef() override {
        ++references;
        return this;
    }
    video::ITexture2D* GetLayerTexture(int layer) override { return layers[layer]; }
    // The rest of the terrain: a 4 x 4 field whose heights cannot be read back (so it cannot be written).
    int Render(float, int, ICamera*) override { return 0; }
    int RenderVegetation(ICamera*) override { return 0; }
    bool SetLayerTexture(int, const char*) override { return false; }
    void SetLayerScale(int, float, float) override {}
    bool CreateColorMap(int) override { return false; }
    bool CreateLayerMap(int) override { return false; }
    bool CreateLightMap(int) override { return false; }
    float GetHeight(float, float) const override { return 0.0f; }
    int GetSize() const override { return 4; }
    float GetScale() const override { return 1.0f; }
    bool GetChunkVertexBuffer(float, float, video::IVertexBuffer*&) const override { return false; }
    int GetChunkSize() const override { return 4; }
    bool GetChunkBox(float, float, cBox&) const override { return false; }
    ITerrainVegetation* GetVegetation() override { return nullptr; }
    video::ITexture2D* GetColorMap() const override { return nullptr; }
    video::ITexture2D* GetLayerMap() const override { return nullptr; }
    video::ITexture2D* GetLightMap() const override { return nullptr; }
    std::string GetLayerTextureName(int) const override { return std::string(); }
    cVector2 GetLayerScale(int) const override { return cVector2(); }
    const sTerrainNode* GetQuadTree() const override { return nullptr; }
    std::vector<float> GetHeightmap() const override { return {}; }
    void RefreshChunkHeights(float, float) override {}
};

struct sSceneFixture : ::testing::Test {
    std::vector<std::string> events;
    cScratchFolder folder;
    cNullRenderer renderer;
    cFakeSoundEngine sound;
    cEntityFactory* factory = new cEntityFactory();
    cSceneManager scene{factory};
    cRecordingPipeline* shaderPipeline = new cRecordingPipeline(events, "sm20");
    cRecordingPipeline* fixedPipeline = new cRecordingPipeline(events, "ffp");

    sSceneFixture() {
        g_Events = &events;
        scene.SetRenderer(&renderer);
        scene.SetSoundEngine(&sound);
        scene.SetRenderingPipeline(PIPELINE_SHADER_MODEL_20, shaderPipeline);
        scene.SetRenderingPipeline(PIPELINE_FIXED_FUNCTION, fixedPipeline);
        folder.Write("data/scene/.scene", kScene);
        folder.Write("data/other/.scene", kOtherScene);
        folder.Write("rock.mesh", kRock);
    }
    ~sSceneFixture() override {
        cLogCapture quiet;
        scene.Clear();
    }
    void Load(const char* sceneFolder, bool withSounds = true) {
        cLogCapture log;
        scene.LoadScene(sceneFolder, withSounds, nullptr);
    }
    std::string ErrorOf(const std::function<void()>& call) {
        cLogCapture log;
        try {
            call();
        } catch (const cException& e) {
            return e.GetText();
        }
        return "";
    }
};

} // namespace

TEST_F(sSceneFixture, FoldersMustEndInASlash) {
    EXPECT_EQ(ErrorOf([&] { scene.LoadScene("data/scene", true, nullptr); }),
              "cSceneManager::LoadScene : 'data/scene', missing closing '/'");
    EXPECT_EQ(ErrorOf([&] { scene.SaveScene("data/scene"); }),
              "cSceneManager::SaveScene : 'data/scene', missing closing '/'");
    EXPECT_EQ(ErrorOf([&] { scene.LoadScene(nullptr, true, nullptr); }),
              "cSceneManager::LoadScene : '', missing closing '/'");
}

TEST_F(sSceneFixture, LoadsTheFolderAndFillsTheSlotsWithTheFirstOfEachKind) {
    Load("data/scene/");
    EXPECT_EQ(scene.GetPaths().size(), 2u);
    ASSERT_EQ(scene.GetEntities().size(), 6u);
    EXPECT_EQ(scene.GetMeshes().size(), 2u);
    EXPECT_EQ(scene.GetMeshes()[0]->mesh, scene.GetMeshes()[1]->mesh);
    EXPECT_TRUE(scene.GetMeshes()[1]->transform.Equals(cMatrix::Translation(5, 0, 0)));
    EXPECT_EQ(scene.GetTerrain(), nullptr);
    EXPECT_TRUE(scene.GetEnvironment()->IsFogEnabled());
    EXPECT_EQ(scene.GetEnvironment()->GetAmbientSound(), "wind.ogg");
    // Two waters: the first in file order takes the slot.
    const sSpecialEntities& slots = scene.GetSpecialEntities();
    EXPECT_EQ(slots.water, scene.GetEntities()[0]);
    EXPECT_EQ(slots.sky, scene.GetEntities()[2]);
    EXPECT_EQ(slots.rain, nullptr);
    EXPECT_EQ(slots.directionalLight, nullptr);
}

TEST_F(sSceneFixture, WithoutSoundsNoSoundIsMade) {
    Load("data/scene/", false);
    EXPECT_EQ(scene.GetEntities().size(), 5u);
    EXPECT_TRUE(sound.sources.empty());
}

TEST_F(sSceneFixture, ASecondSceneReplacesEverythingOfTheFirst) {
    Load("data/scene/");
    EXPECT_EQ(sound.sources.size(), 1u);
    EXPECT_EQ(renderer.liveVertexBuffers, 1);
    Load("data/other/");
    EXPECT_TRUE(scene.GetPaths().empty());
    ASSERT_EQ(scene.GetEntities().size(), 1u);
    EXPECT_TRUE(scene.GetMeshes().empty());
    EXPECT_EQ(factory->live, 1);
    EXPECT_TRUE(sound.sources.empty());
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
    EXPECT_EQ(renderer.liveTextures, 0);
    EXPECT_EQ(factory->GetCachedMeshCount(), 0u);
    EXPECT_EQ(scene.GetSpecialEntities().water, nullptr);
    EXPECT_EQ(scene.GetSpecialEntities().sky, nullptr);
    EXPECT_EQ(scene.GetSpecialEntities().rain, scene.GetEntities()[0]);
    // The second scene has no fog block: the environment is as Reset left it.
    const IEnvironment* environment = scene.GetEnvironment();
    EXPECT_FALSE(environment->IsFogEnabled());
    EXPECT_FLOAT_EQ(environment->GetFogDensity(), 0.0f);
    EXPECT_EQ(environment->GetFogColor(), cColor(0, 0, 0, 255));
    EXPECT_EQ(environment->GetAmbientSound(), "");
}

TEST_F(sSceneFixture, ADamagedSceneLeavesAnEmptySceneNotAHalfLoadedOne) {
    Load("data/scene/");
    // The fault is in the last section read, after paths and entities were read successfully.
    std::string text = kScene;
    text += "";
    text.replace(text.find("transform"), 9, "rotation");
    folder.Write("data/broken/.scene", text);
    EXPECT_EQ(ErrorOf([&] { scene.LoadScene("data/broken/", true, nullptr); }),
              "memory( 7 ) error : unknown mesh propery 'rotation'");
    EXPECT_TRUE(scene.GetPaths().empty());
    EXPECT_TRUE(scene.GetEntities().empty());
    EXPECT_TRUE(scene.GetMeshes().empty());
    EXPECT_EQ(factory->live, 0);
    EXPECT_TRUE(sound.sources.empty());
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
    EXPECT_FALSE(scene.GetEnvironment()->IsFogEnabled());
    EXPECT_EQ(scene.GetSpecialEntities().water, nullptr);
}

TEST_F(sSceneFixture, AMissingFolderLoadsAnEmptyScene) {
    Load("data/none/");
    EXPECT_TRUE(scene.GetPaths().empty());
    EXPECT_TRUE(scene.GetEntities().empty());
}

TEST_F(sSceneFixture, BuildingByHand) {
    cLoggedEntity* a = new cLoggedEntity("a");
    EXPECT_TRUE(scene.AddEntity(a));
    EXPECT_FALSE(scene.AddEntity(a));
    EXPECT_FALSE(scene.AddEntity(nullptr));
    EXPECT_EQ(scene.GetEntities().size(), 1u);

    // A later water replaces the slot's water.
    IEntity* first = factory->CreateWater(cColor(), 0, 0, 0);
    IEntity* second = factory->CreateWater(cColor(), 0, 0, 0);
    cFakeLight* light = new cFakeLight();
    EXPECT_TRUE(scene.AddEntity(first));
    EXPECT_TRUE(scene.AddEntity(light));
    EXPECT_EQ(scene.GetSpecialEntities().water, first);
    EXPECT_TRUE(scene.AddEntity(second));
    EXPECT_EQ(scene.GetSpecialEntities().water, second);
    EXPECT_EQ(scene.GetSpecialEntities().directionalLight, light);

    IScenePath* path = new cScenePath();
    EXPECT_TRUE(scene.AddPath(path));
    EXPECT_FALSE(scene.AddPath(path));
    EXPECT_FALSE(scene.AddPath(nullptr));
    EXPECT_EQ(scene.GetPaths().size(), 1u);

    cLogCapture log;
    IStaticMesh* mesh = scene.GetResourceManager()->CreateMesh("rock.mesh", MESH_SCENE_FLAGS);
    ASSERT_NE(mesh, nullptr);
    sMeshInstance* record = scene.AddMesh(mesh, cMatrix::Translation(1, 2, 3));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->mesh, mesh);
    EXPECT_TRUE(record->transform.Equals(cMatrix::Translation(1, 2, 3)));
    EXPECT_EQ(scene.GetMeshes().back(), record);
    EXPECT_EQ(scene.AddMesh(nullptr, cMatrix()), nullptr);

    // A new terrain releases the old one; setting the same one again keeps it.
    cLoggedTerrain* t1 = new cLoggedTerrain();
    cLoggedTerrain* t2 = new cLoggedTerrain();
    scene.SetTerrain(t1);
    scene.SetTerrain(t1);
    EXPECT_TRUE(events.empty());
    scene.SetTerrain(t2);
    EXPECT_EQ(events, std::vector<std::string>{"terrain"});
    EXPECT_EQ(scene.GetTerrain(), t2);
}

TEST_F(sSceneFixture, ClearingTakesTheSceneApartInOrder) {
    scene.AddPath(new cLoggedPath("p1"));
    scene.AddPath(new cLoggedPath("p2"));
    scene.AddEntity(new cLoggedEntity("e1"));
    scene.AddEntity(new cLoggedEntity("e2"));
    scene.SetTerrain(new cLoggedTerrain());
    scene.GetEnvironment()->SetFogEnabled(true);
    {
        cLogCapture log;
        scene.AddMesh(scene.GetResourceManager()->CreateMesh("rock.mesh", 0), cMatrix());
    }
    scene.Clear();
    EXPECT_EQ(events, (std::vector<std::string>{"terrain", "path p2", "path p1", "entity e2", "entity e1",
                                                 "sm20 shutdown", "ffp shutdown"}));
    EXPECT_FALSE(scene.GetEnvironment()->IsFogEnabled());
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
    EXPECT_EQ(factory->GetCachedMeshCount(), 0u);
    EXPECT_EQ(scene.GetTerrain(), nullptr);
}

TEST_F(sSceneFixture, RenderInitialisesTheSelectedPipelineOnceAndPlacesTheListener) {
    cCamera camera;
    camera.position = cVector3(1, 2, 3);
    camera.direction = cVector3(0, 0, 1);
    camera.up = cVector3(0, 1, 0);
    scene.Render(&camera);
    scene.Render(&camera);
    EXPECT_EQ(events, (std::vector<std::string>{"sm20 init", "sm20 render", "sm20 render"}));
    EXPECT_EQ(shaderPipeline->lastScene, &scene);
    EXPECT_EQ(sound.listener, cVector3(1, 2, 3));
    EXPECT_EQ(sound.forward, cVector3(0, 0, 1));
    EXPECT_EQ(sound.up, cVector3(0, 1, 0));

    events.clear();
    scene.UseFixedFunction(true);
    EXPECT_TRUE(scene.UsesFixedFunction());
    scene.Render(&camera);
    EXPECT_EQ(events, (std::vector<std::string>{"ffp init", "ffp render"}));

    // Loading a scene shuts both down; the next frame initialises again.
    events.clear();
    Load("data/other/");
    scene.Render(&camera);
    EXPECT_EQ(events, (std::vector<std::string>{"sm20 shutdown", "ffp shutdown", "ffp init", "ffp render"}));

    fixedPipeline->failInit = true;
    scene.Clear();
    EXPECT_EQ(ErrorOf([&] { scene.Render(&camera); }),
              "cSceneManager::Render : failed to initialize rendering pipeline");
}

TEST(SceneManager, WithoutPipelinesRenderDrawsNothingAndSaysSoOnce) {
    cScratchFolder folder;
    cNullRenderer renderer;
    cFakeSoundEngine sound;
    cSceneManager scene;
    scene.SetRenderer(&renderer);
    scene.SetSoundEngine(&sound);
    // A scene manager left without pipelines.
    scene.SetRenderingPipeline(PIPELINE_SHADER_MODEL_20, nullptr);
    scene.SetRenderingPipeline(PIPELINE_FIXED_FUNCTION, nullptr);
    cCamera camera;
    camera.position = cVector3(4, 5, 6);
    cLogCapture log;
    scene.Render(&camera);
    scene.UseFixedFunction(true);
    scene.Render(&camera);
    EXPECT_EQ(log.Text(), "cSceneManager::Render : no rendering pipeline in this build; the scene is not drawn\n");
    EXPECT_TRUE(renderer.calls.empty());
    EXPECT_EQ(sound.listener, cVector3(4, 5, 6));
}

TEST(SceneManager, DestroyingTheManagerDeletesThePipelinesAfterClearing) {
    std::vector<std::string> events;
    {
        cSceneManager scene;
        scene.SetRenderingPipeline(PIPELINE_SHADER_MODEL_20, new cRecordingPipeline(events, "sm20"));
        scene.SetRenderingPipeline(PIPELINE_FIXED_FUNCTION, new cRecordingPipeline(events, "ffp"));
    }
    EXPECT_EQ(events, (std::vector<std::string>{"sm20 shutdown", "ffp shutdown", "sm20 deleted", "ffp deleted"}));
}

TEST_F(sSceneFixture, SavingWritesTheSceneFileInItsLayoutAndReadsBackTheSame) {
    Load("data/scene/");
    for (const char* name : {"data/saved", "data/again", "data/third"}) folder.MakeFolder(name);
    {
        cLogCapture log;
        scene.SaveScene("data/saved/");
    }
    EXPECT_TRUE(folder.Exists("data/saved/.scene"));
    // Without a terrain only ".scene" is written.
    EXPECT_FALSE(folder.Exists("data/saved/.terrain"));
    const std::string saved = folder.ReadText("data/saved/.scene");
    EXPECT_EQ(saved.rfind("environment {\n\tfog {\n\t\tdensity\t0.010000\n", 0), 0u) << saved;
    // The second water and both billboards are written; the sound with its source.
    EXPECT_NE(saved.find("\t\tlevel\t2.0000\n"), std::string::npos);
    EXPECT_NE(saved.find("\t\tsource\t\"surf.ogg\"\n"), std::string::npos);

    Load("data/saved/");
    EXPECT_EQ(scene.GetEntities().size(), 6u);
    {
        cLogCapture log;
        scene.SaveScene("data/again/");
    }
    EXPECT_EQ(folder.ReadText("data/again/.scene"), saved);

    // A terrain that cannot be written stops the save before the scene file.
    scene.SetTerrain(new cLoggedTerrain());
    EXPECT_EQ(ErrorOf([&] { scene.SaveScene("data/third/"); }), "cSerializer::WriteTerrain : failed to read the heightmap back");
    EXPECT_FALSE(folder.Exists("data/third/.scene"));
    // A folder that does not exist.
    scene.SetTerrain(nullptr);
    EXPECT_EQ(ErrorOf([&] { scene.SaveScene("data/missing/"); }),
              "cSceneManager::SaveScene : failed to open file 'data/missing/.scene' for writing");
}

TEST_F(sSceneFixture, ResourceNamesAreSortedAndListedOnce) {
    Load("data/scene/");
    cNullRenderer layers;
    cLoggedTerrain* terrain = new cLoggedTerrain();
    cNamedTexture base(layers, "sand.dds"), detail(layers, "glow.tga");
    terrain->layers[0] = &base;
    terrain->layers[3] = &detail;
    scene.SetTerrain(terrain);
    auto* flare = static_cast<cFakeLensFlare*>(factory->CreateLensFlare());
    flare->textures[2] = "flare.tga";
    scene.AddEntity(flare);
    scene.CollectResourceNames();
    EXPECT_EQ(scene.GetResourceNames(), (std::vector<std::string>{"flare.tga", "glow.tga", "rock.mesh", "rock.tga",
                                                                  "sand.dds", "sky/top.jpg", "surf.ogg"}));
    scene.SetTerrain(nullptr);
}

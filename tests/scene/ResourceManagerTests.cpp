// The scene's resource manager as a factory: what each creation logs, null
// results for what cannot be made, and the sound entity it makes.
#include <gtest/gtest.h>

#include <functional>

#include "engine/core/cException.h"
#include "scene/ISound.h"
#include "scene/ITerrain.h"
#include "scene/camera/cCamera.h"
#include "scene/cResourceManager.h"
#include "scene/cSceneManager.h"
#include "scene/cScenePath.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/support/cNullRenderer.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

TEST(ResourceManager, CamerasAreMadeWithTheirProjectionAndLogged) {
    cResourceManager resources;
    cLogCapture log;
    ICamera* camera = resources.CreateCamera(60.0, 1.5, 0.5, 800.0);
    EXPECT_EQ(log.Text(), "Creating camera... succeeded\n");
    ASSERT_NE(camera, nullptr);
    EXPECT_DOUBLE_EQ(camera->GetFieldOfView(), 60.0);
    EXPECT_DOUBLE_EQ(camera->GetAspectRatio(), 1.5);
    EXPECT_DOUBLE_EQ(camera->GetNearDistance(), 0.5);
    EXPECT_DOUBLE_EQ(camera->GetFarDistance(), 800.0);
    camera->Release();
}

TEST(ResourceManager, PathsAreNewAndEmpty) {
    cResourceManager resources;
    cLogCapture log;
    IScenePath* path = resources.CreateScenePath();
    EXPECT_EQ(log.Text(), "");
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(path->GetSegments().empty());
    EXPECT_FLOAT_EQ(path->GetCameraSpeed(), cScenePath::kDefaultCameraSpeed);
    IScenePath* other = resources.CreateScenePath();
    EXPECT_NE(other, path);
    other->Release();
    path->Release();
}

TEST(ResourceManager, TerrainsAreLoggedAndFileKindsThatAreNotReadGiveNull) {
    cResourceManager resources;
    resources.SetHeadless(true);
    const float heights[4] = {0, 0, 0, 0};
    const std::vector<std::pair<std::function<const void*()>, const char*>> cases = {
        {[&] { return resources.CreateTerrain(heights, 2, 2, 1.0f, 32); },
         "Creating terrain... cTerrain::Create : invalid chunk size 32 for terrain size 2\n"},
        {[&] { return resources.CreateTerrain("w.heights", cVector3(1, 1, 1), 32); },
         "Creating terrain... cResourceManager::CreateTerrain : height, colour and layer files are not supported; "
         "'w.heights' not loaded\n"},
        {[&] { return resources.CreateTerrain("w.world"); },
         "cResourceManager::CreateTerrain : world files are not supported; 'w.world' not loaded\n"},
    };
    for (const auto& c : cases) {
        cLogCapture log;
        EXPECT_EQ(c.first(), nullptr);
        EXPECT_EQ(log.Text(), c.second);
    }
    cLogCapture log;
    ITerrain* terrain = resources.CreateTerrain(heights, 2, 2, 1.0f, 2);
    ASSERT_NE(terrain, nullptr);
    terrain->Release();
    EXPECT_EQ(log.Text(), "Creating terrain... succeeded\n");
}

TEST(ResourceManager, AtmospheresAreNotAvailable) {
    cResourceManager resources;
    try {
        resources.CreateAtmosphere();
        FAIL() << "CreateAtmosphere returned";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cResourceManager::CreateAtmosphere : not implemented yet");
    }
}

TEST(ResourceManager, ANewManagerForTheCallerSharesTheScenesServices) {
    cSceneManager scene;
    cNullRenderer renderer;
    cFakeSoundEngine sound;
    scene.SetRenderer(&renderer);
    scene.SetSoundEngine(&sound);
    IResourceManager* made = scene.CreateResourceManager();
    ASSERT_NE(made, nullptr);
    auto* resources = dynamic_cast<cResourceManager*>(made);
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(resources->GetRenderer(), &renderer);
    EXPECT_EQ(resources->GetSoundEngine(), &sound);
    made->Release();
}

TEST(SoundEntity, StreamsItsSourceAndKeepsItAtTheEntityPosition) {
    cFakeSoundEngine engine;
    cResourceManager resources;
    resources.SetSoundEngine(&engine);
    ISound* sound = resources.CreateSound();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetType(), ENTITY_SOUND);
    EXPECT_TRUE(sound->GetWorldMatrix().Equals(cMatrix()));
    EXPECT_EQ(sound->GetSource(), nullptr);
    EXPECT_EQ(sound->GetSourceName(), "");

    // A position set before the source reaches the source when it comes.
    sound->SetWorldMatrix(cMatrix::Translation(1, 2, 3));
    sound->SetSource("data/sounds/surf.ogg");
    ASSERT_NE(sound->GetSource(), nullptr);
    EXPECT_EQ(engine.lastMode, sound::SOUND_MODE_STREAM);
    EXPECT_EQ(sound->GetSourceName(), "data/sounds/surf.ogg");
    auto* source = engine.sources.at("data/sounds/surf.ogg");
    EXPECT_EQ(source->position, cVector3(1, 2, 3));
    sound->SetWorldMatrix(cMatrix::Translation(4, 5, 6));
    EXPECT_EQ(source->position, cVector3(4, 5, 6));

    // Replacing the source releases the old one; an empty name or a missing file leaves none.
    engine.missing.push_back("data/sounds/none.wav");
    sound->SetSource("data/sounds/none.wav");
    EXPECT_EQ(sound->GetSource(), nullptr);
    EXPECT_TRUE(engine.sources.empty());
    sound->SetSource("data/sounds/birds.wav");
    sound->SetSource("");
    EXPECT_EQ(sound->GetSource(), nullptr);
    EXPECT_TRUE(engine.sources.empty());

    sound->SetSource("data/sounds/birds.wav");
    sound->Release();
    EXPECT_TRUE(engine.sources.empty());
}

TEST(SoundEntity, WithoutASoundEngineThereIsNoSource) {
    cResourceManager resources;
    ISound* sound = resources.CreateSound();
    ASSERT_NE(sound, nullptr);
    sound->SetSource("data/sounds/surf.ogg");
    EXPECT_EQ(sound->GetSource(), nullptr);
    sound->SetWorldMatrix(cMatrix::Translation(1, 1, 1));
    sound->Release();
}

// The sea's parameters as the scene reader makes them, the resource manager's
// sky, lens flare, water and light creation, and the mirror and clip planes
// of the water passes.
#include <gtest/gtest.h>

#include "engine/core/cPlane.h"
#include "scene/IDirectionalLight.h"
#include "scene/ILensFlare.h"
#include "scene/ISky.h"
#include "scene/IWater.h"
#include "scene/TerrainWalk.h"
#include "scene/cResourceManager.h"
#include "scene/cSceneManager.h"
#include "scene/cWater.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/support/cNullRenderer.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

TEST(Water, KeepsWhatItWasMadeWithAndWhatIsSetLater) {
    cResourceManager resources;
    cLogCapture log;
    IWater* water = resources.CreateWater(cColor(46, 102, 88, 255), 0.2f, 2.0f, 25.0f);
    ASSERT_NE(water, nullptr);
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(water->GetType(), ENTITY_WATER);
    EXPECT_EQ(water->GetColor(), cColor(46, 102, 88, 255));
    EXPECT_FLOAT_EQ(water->GetDensity(), 0.2f);
    EXPECT_FLOAT_EQ(water->GetSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(water->GetLevel(), 25.0f);
    EXPECT_TRUE(water->GetWorldMatrix().IsIdentity());
    EXPECT_EQ(static_cast<cWater*>(water)->GetResourceManager(), &resources);
    water->SetColor(cColor(1, 2, 3, 4));
    water->SetDensity(0.5f);
    water->SetSpeed(0.0f);
    water->SetLevel(-3.0f);
    water->SetWorldMatrix(cMatrix::Translation(128.0f, 25.0f, 128.0f));
    EXPECT_EQ(water->GetColor(), cColor(1, 2, 3, 4));
    EXPECT_FLOAT_EQ(water->GetDensity(), 0.5f);
    EXPECT_FLOAT_EQ(water->GetSpeed(), 0.0f);
    EXPECT_FLOAT_EQ(water->GetLevel(), -3.0f);
    EXPECT_EQ(water->GetWorldMatrix().GetTranslation(), cVector3(128.0f, 25.0f, 128.0f));
    water->Release();
}

TEST(Water, SceneTextMakesTheShippedSea) {
    cScratchFolder folder;
    folder.Write("scene/.scene", "entities { water { position (128, 25, 128) color (0.1804, 0.4000, 0.3451)\n"
                                 "density 0.2 level 25 speed 2 } }\n");
    cNullRenderer renderer;
    cSceneManager scene;
    scene.SetRenderer(&renderer);
    scene.LoadScene("scene/", false, nullptr);
    auto* water = dynamic_cast<IWater*>(scene.GetSpecialEntities().water);
    ASSERT_NE(water, nullptr);
    EXPECT_EQ(water->GetColor(), cColor(46, 102, 88, 255));
    EXPECT_FLOAT_EQ(water->GetLevel(), 25.0f);
    EXPECT_FLOAT_EQ(water->GetSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(water->GetDensity(), 0.2f);
}

TEST(Water, SkyFlareAndLightAreMadeWithTheirLogLines) {
    cNullRenderer renderer;
    cResourceManager resources;
    resources.SetRenderer(&renderer);
    cLogCapture log;
    ISky* sky = resources.CreateSkyBox();
    ILensFlare* flare = resources.CreateLensFlare();
    IDirectionalLight* light = resources.CreateDirectionalLight();
    EXPECT_EQ(log.Text(), "Creating sky box... succeeded\nCreating lens flares... succeeded\n");
    ASSERT_NE(sky, nullptr);
    ASSERT_NE(flare, nullptr);
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(sky->GetType(), ENTITY_SKY);
    EXPECT_FLOAT_EQ(sky->GetYOffset(), 0.0f);
    EXPECT_EQ(flare->GetType(), ENTITY_LENS_FLARE);
    EXPECT_FALSE(flare->IsBoundToCamera());
    EXPECT_EQ(light->GetType(), ENTITY_DIRECTIONAL_LIGHT);
    EXPECT_EQ(light->GetDirection(), cVector3());
    EXPECT_EQ(light->GetSecondVector(), cVector3());
    light->SetDirection(cVector3(0.0f, 1.0f, 0.0f));
    light->SetSecondVector(cVector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(light->GetDirection(), cVector3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(light->GetSecondVector(), cVector3(1.0f, 2.0f, 3.0f));
    // The sky made its box with the resource manager's renderer.
    EXPECT_EQ(renderer.liveVertexBuffers, 1);
    sky->Release();
    flare->Release();
    light->Release();
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
}

TEST(WaterPasses, MirrorAboutTheSurfaceMapsHeightsToTwiceTheLevelLessThemselves) {
    const float level = 25.0f;
    // As the reflection pass multiplies it in: mirror about y = 0, then up by twice the level.
    const cMatrix mirror = cMatrix::Scaling(1.0f, -1.0f, 1.0f) * cMatrix::Translation(0.0f, 2.0f * level, 0.0f);
    EXPECT_TRUE(mirror.Equals(cMatrix::Reflection(cPlane(0.0f, 1.0f, 0.0f, -level))));
    for (float y : {0.0f, 25.0f, 40.0f, -3.0f}) {
        EXPECT_TRUE(mirror.TransformPoint(cVector3(7.0f, y, -9.0f)).Equals(cVector3(7.0f, 2.0f * level - y, -9.0f)));
    }
    // It turns the winding over: the pass culls the other way round.
    EXPECT_LT(mirror.Determinant(), 0.0f);
}

TEST(WaterPasses, ClipPlanesKeepTheRightSideOfTheSurface) {
    const float level = 25.0f;
    // Reflection: points drawn mirrored are kept below the surface (plus a twentieth), so what stood above it.
    const cPlane reflection(0.0f, -1.0f, 0.0f, level + 0.05f);
    const cMatrix mirror = cMatrix::Reflection(cPlane(0.0f, 1.0f, 0.0f, -level));
    EXPECT_GT(reflection.Distance(mirror.TransformPoint(cVector3(0.0f, 30.0f, 0.0f))), 0.0f);
    EXPECT_LT(reflection.Distance(mirror.TransformPoint(cVector3(0.0f, 20.0f, 0.0f))), 0.0f);
    // The same plane for a program drawing through the mirrored matrices, given before the mirror.
    const cPlane unmirrored(0.0f, 1.0f, 0.0f, -(level - 0.05f));
    EXPECT_GT(unmirrored.Distance(cVector3(0.0f, 30.0f, 0.0f)), 0.0f);
    EXPECT_LT(unmirrored.Distance(cVector3(0.0f, 20.0f, 0.0f)), 0.0f);
    // Underwater: the ground below the surface plus half a unit.
    const cPlane underwater(0.0f, -1.0f, 0.0f, level + 0.5f);
    EXPECT_GT(underwater.Distance(cVector3(0.0f, 25.4f, 0.0f)), 0.0f);
    EXPECT_LT(underwater.Distance(cVector3(0.0f, 25.6f, 0.0f)), 0.0f);

    // The tree walk's test with the planes the passes give it (the surface facing up): the reflection drops
    // a box wholly below the sea, the underwater pass one wholly above the margin, both keep a box across.
    const cBox low(0, 0, 0, 32, 24, 32), crossing(0, 0, 0, 32, 40, 32), high(0, 26, 0, 32, 40, 32);
    const cPlane surface(0.0f, 1.0f, 0.0f, -level), margin(0.0f, 1.0f, 0.0f, -(level + 0.5f));
    EXPECT_FALSE(PassesClipTest(low, CLIP_REFLECTION, surface));
    EXPECT_TRUE(PassesClipTest(crossing, CLIP_REFLECTION, surface));
    EXPECT_TRUE(PassesClipTest(high, CLIP_REFLECTION, surface));
    EXPECT_TRUE(PassesClipTest(low, CLIP_UNDERWATER, margin));
    EXPECT_TRUE(PassesClipTest(crossing, CLIP_UNDERWATER, margin));
    EXPECT_FALSE(PassesClipTest(high, CLIP_UNDERWATER, margin));
    EXPECT_TRUE(PassesClipTest(low, 0, surface));
}

} // namespace

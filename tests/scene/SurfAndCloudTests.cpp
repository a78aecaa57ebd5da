// The surf on the shore and the clouds over the sky box: the foam over a
// synthetic shore (a ramp from deep water up onto land) only where the water
// is shallower than the foam's reach, the waves' opacity, the clouds' drift in
// texels per second and their shade on the lens flare, and both passes left
// out cleanly when their data is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "scene/IEnvironment.h"
#include "scene/ISky.h"
#include "scene/ITerrain.h"
#include "scene/IWater.h"
#include "scene/camera/cCamera.h"
#include "scene/cCloudLayer.h"
#include "scene/cLensFlare.h"
#include "scene/cSceneManager.h"
#include "scene/cSky.h"
#include "scene/cSurf.h"
#include "scene/support/SceneTestSupport.h"
#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/ITexture.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

constexpr int kSize = 64;
constexpr float kLevel = 5.0f;

// An uncompressed RGBA TGA, bottom row first.
std::string Tga(int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = static_cast<char>(width & 255);
    file[13] = static_cast<char>(width >> 8);
    file[14] = static_cast<char>(height & 255);
    file[15] = static_cast<char>(height >> 8);
    file[16] = 32;
    file[17] = 8;
    for (std::size_t i = 0; i + 4 <= rgba.size(); i += 4) {
        file += static_cast<char>(rgba[i + 2]);
        file += static_cast<char>(rgba[i + 1]);
        file += static_cast<char>(rgba[i]);
        file += static_cast<char>(rgba[i + 3]);
    }
    return file;
}

// The shore: the ground rises along x by 0.1 a unit, from 3 units under the water to 3.3 above it.
float Depth(float x) { return 3.0f - 0.1f * x; }

TEST(Surf, FoamOnlyWhereTheWaterIsShallowerThanItsReach) {
    const float reach = 0.8f;
    for (float t = 0.0f; t < 2.0f * cSurf::kPeriod; t += 0.37f) {
        for (float phase : {0.0f, 1.3f, 4.0f}) {
            EXPECT_EQ(cSurf::FoamAlpha(reach, 1.0f, reach, phase, t), 0.0f);
            EXPECT_EQ(cSurf::FoamAlpha(reach + 0.01f, 1.0f, reach, phase, t), 0.0f);
            EXPECT_EQ(cSurf::FoamAlpha(3.0f, 1.0f, reach, phase, t), 0.0f);
            // Above the highest swash the sand stays dry.
            EXPECT_EQ(cSurf::FoamAlpha(-(cSurf::kMaxRunUp + 0.1f), 1.0f, reach, phase, t), 0.0f);
            const float shallow = cSurf::FoamAlpha(0.1f, 1.0f, reach, phase, t);
            EXPECT_GT(shallow, 0.05f);
            EXPECT_LE(shallow, 1.0f);
        }
    }
    // No reach, no foam.
    EXPECT_EQ(cSurf::FoamAlpha(0.1f, 1.0f, 0.0f, 0.0f, 1.0f), 0.0f);
}

TEST(Surf, TheSwashRunsUpTheBeachAndBackOncePerPeriodHigherWhereTheSurfIsStronger) {
    float lowest = 1.0f, highest = 0.0f;
    for (float t = 0.0f; t < cSurf::kPeriod; t += 0.05f) {
        const float w = cSurf::Swash(0.0f, t);
        lowest = std::min(lowest, w);
        highest = std::max(highest, w);
        EXPECT_NEAR(w, cSurf::Swash(0.0f, t + cSurf::kPeriod), 1e-3f);
    }
    EXPECT_LT(lowest, 0.02f);
    EXPECT_GT(highest, 0.98f);
    // At the top of the swash a point 0.3 above the water is wet under strong surf, dry under gentle surf.
    const float top = cSurf::kPeriod * 0.35f;
    EXPECT_GT(cSurf::FoamAlpha(-0.3f, 1.0f, 1.0f, 0.0f, top), 0.3f);
    EXPECT_EQ(cSurf::FoamAlpha(-0.3f, 0.2f, 1.0f, 0.0f, top), 0.0f);
}

// The clouds: a picture whose cover is a band across u (texels 8..15 of 32 covered), drifting along u.
struct sCloudFixture {
    cScratchFolder folder;
    cSceneManager scene;

    explicit sCloudFixture(video::IRenderer* renderer) {
        std::vector<std::uint8_t> clouds;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                clouds.insert(clouds.end(), {255, 255, 255, static_cast<std::uint8_t>(x >= 8 && x < 16 ? 255 : 0)});
            }
        }
        folder.Write("data/textures/clouds.tga", Tga(32, 32, clouds));
        scene.SetRenderer(renderer);
    }
};

TEST(Clouds, DriftTheExpectedNumberOfTexelsPerSecond) {
    VTEST_REQUIRE_GL(ctx);
    sCloudFixture fixture(ctx->Renderer());
    cCloudLayer layer(ctx->Renderer());
    layer.SetTexture("data/textures/clouds.tga");
    ASSERT_TRUE(layer.IsReady());
    layer.SetDrift(cVector2(4.0f, 0.0f));
    const cVector3 up(0.0f, 1.0f, 0.0f);
    // Straight up the layer shows u = 0: uncovered. The band's near edge (texel 8) is 2 s away at 4 texels a
    // second, its far edge (16) 4 s away.
    EXPECT_NEAR(layer.GetScroll(1.0f).x * 32.0f, 4.0f, 1e-3f);
    EXPECT_NEAR(layer.GetScroll(10.0f).x * 32.0f, 8.0f, 1e-3f); // 40 texels: one repeat and 8
    EXPECT_LT(layer.GetCover(up, 1.0f), 0.01f);
    EXPECT_GT(layer.GetCover(up, 3.0f), 0.99f);
    EXPECT_LT(layer.GetCover(up, 5.0f), 0.01f);
    // On the band's edge at 2 s (between the centres of texels 7 and 8) the bilinear lookup gives half.
    EXPECT_NEAR(layer.GetCover(up, 2.0f), 0.5f, 0.05f);
    // Below the horizon nothing is covered.
    EXPECT_EQ(layer.GetCover(cVector3(1.0f, -0.2f, 0.0f), 3.0f), 0.0f);
}

TEST(Clouds, TheDomeShowsWhatTheCoverLookupFindsAndDimsTheFlare) {
    VTEST_REQUIRE_GL(ctx);
    sCloudFixture fixture(ctx->Renderer());
    video::IRenderer* r = ctx->Renderer();
    cSky sky(r);
    sky.SetCloudTexture("data/textures/clouds.tga");
    sky.SetCloudDrift(cVector2(4.0f, 0.0f));
    ASSERT_EQ(sky.GetCloudTextureName().empty(), false);
    cCamera camera;
    camera.SetFieldOfView(60.0);
    camera.SetAspectRatio(static_cast<double>(vtest::cGLTestContext::kWidth) / vtest::cGLTestContext::kHeight);
    camera.SetNearDistance(0.05);
    camera.SetFarDistance(100.0);
    camera.position = cVector3(0.0f, 0.0f, 0.0f);
    camera.LookAt(cVector3(0.0f, 10.0f, -0.5f));
    // Looking straight up at a black sky: the clouds are white where they cover it.
    auto centre = [&](float seconds) {
        r->BeginFrame(cColor(0, 0, 0, 255));
        r->SetCamera(&camera, true);
        sky.RenderClouds(cVector3(), seconds);
        const vtest::sImage picture = ctx->ReadPixels();
        return picture.At(picture.width / 2, picture.height / 2)[0];
    };
    EXPECT_LT(centre(1.0f), 10);
    EXPECT_GT(centre(3.0f), 245);
    EXPECT_LT(centre(5.0f), 10);

    // The flare behind the cloud: nothing of it shines; half covered, half of it.
    cLensFlare flare(r);
    flare.SetCloudCover(sky.GetCloudCover(cVector3(0.0f, 1.0f, 0.0f), 3.0f));
    EXPECT_FLOAT_EQ(flare.GetCloudCover(), 1.0f);
    flare.SetCloudCover(2.0f);
    EXPECT_FLOAT_EQ(flare.GetCloudCover(), 1.0f);
    flare.SetCloudCover(std::nanf(""));
    EXPECT_FLOAT_EQ(flare.GetCloudCover(), 0.0f);
}

// The shore scene: the ramp, a sea at kLevel, seen from above; foam fully opaque.
struct sShore {
    cScratchFolder folder;
    cSceneManager scene;
    cCamera camera;
    IWater* water = nullptr;
    video::IRenderer* r = nullptr;

    explicit sShore(video::IRenderer* renderer) : r(renderer) {
        folder.CopyShippedShaders();
        folder.Write("data/textures/foam.tga", Tga(4, 4, std::vector<std::uint8_t>(64, 255)));
        scene.SetRenderer(renderer);
        std::vector<float> heights(kSize * kSize);
        for (int z = 0; z < kSize; ++z) {
            for (int x = 0; x < kSize; ++x) heights[z * kSize + x] = kLevel - Depth(static_cast<float>(x));
        }
        ITerrain* terrain = scene.GetResourceManager()->CreateTerrain(heights.data(), kSize, kSize, 1.0f, 32);
        if (!terrain) return;
        std::vector<std::uint8_t> colours(kSize * kSize * 3, 100);
        terrain->GetColorMap()->UpdateRect(0, 0, kSize, kSize, colours.data());
        scene.SetTerrain(terrain);
        water = scene.GetResourceManager()->CreateWater(cColor(20, 60, 90, 255), 0.2f, 0.0f, kLevel);
        scene.AddEntity(water);
        camera.SetFieldOfView(70.0);
        camera.SetAspectRatio(static_cast<double>(vtest::cGLTestContext::kWidth) / vtest::cGLTestContext::kHeight);
        camera.SetNearDistance(0.05);
        camera.SetFarDistance(500.0);
        camera.position = cVector3(24.0f, kLevel + 28.0f, 34.0f);
        camera.LookAt(cVector3(24.0f, kLevel, 31.0f));
    }

    vtest::sImage Frame(vtest::cGLTestContext* ctx) {
        for (int frame = 0; frame < 2; ++frame) {
            r->BeginFrame(cColor(0, 0, 0, 255));
            r->SetCamera(&camera, true);
            scene.Render(&camera);
        }
        return ctx->ReadPixels();
    }
};

TEST(Surf, PictureOverASyntheticShoreShowsFoamOnlyInShallowWater) {
    VTEST_REQUIRE_GL(ctx);
    for (bool fixedFunction : {false, true}) {
        sShore shore(ctx->Renderer());
        ASSERT_NE(shore.water, nullptr);
        shore.scene.UseFixedFunction(fixedFunction);
        const vtest::sImage plain = shore.Frame(ctx);
        shore.water->SetFoamTexture("data/textures/foam.tga");
        const vtest::sImage surf = shore.Frame(ctx);
        vtest::WritePNG(vtest::OutputDir() + (fixedFunction ? "/surf_ffp.png" : "/surf_sm20.png"), surf);
        // Along the ramp (x), in the middle row of the picture's field (z = 31).
        auto brightening = [&](float x) {
            cVector3 s;
            ctx->Renderer()->Project(s, cVector3(x, kLevel, 31.0f));
            const int px = static_cast<int>(s.x), py = static_cast<int>(s.y);
            int sum = 0;
            for (int c = 0; c < 3; ++c) sum += surf.At(px, py)[c] - plain.At(px, py)[c];
            return sum / 3;
        };
        // Deeper than the reach (0.8, the default without a surf map): untouched.
        for (float x : {6.0f, 12.0f, 18.0f, 21.0f}) {
            EXPECT_LE(std::abs(brightening(x)), 3) << "depth " << Depth(x) << (fixedFunction ? " ffp" : " sm20");
        }
        // Shallow: whiter.
        for (float x : {27.0f, 29.0f}) {
            EXPECT_GT(brightening(x), 6) << "depth " << Depth(x) << (fixedFunction ? " ffp" : " sm20");
        }
    }
}

TEST(Surf, WithoutFoamTerrainOrShoreThereIsNothingToDraw) {
    VTEST_REQUIRE_GL(ctx);
    sShore shore(ctx->Renderer());
    ASSERT_NE(shore.water, nullptr);
    cSurf surf(ctx->Renderer());
    EXPECT_FALSE(surf.Prepare(shore.scene.GetTerrain(), *shore.water)) << "no foam named";
    shore.water->SetFoamTexture("data/textures/missing.tga");
    EXPECT_FALSE(surf.Prepare(shore.scene.GetTerrain(), *shore.water)) << "foam that does not load";
    shore.water->SetFoamTexture("data/textures/foam.tga");
    EXPECT_FALSE(surf.Prepare(nullptr, *shore.water)) << "no terrain";
    ASSERT_TRUE(surf.Prepare(shore.scene.GetTerrain(), *shore.water));
    // Only the cells near the waterline: depth under 0.8 and ground under 0.43 above the water, x = 22..34.
    EXPECT_GT(surf.GetVertexCount(), 0);
    EXPECT_LT(surf.GetVertexCount(), 16 * kSize);
    // A sea above all the land: no shore, no band.
    shore.water->SetLevel(kLevel + 10.0f);
    EXPECT_FALSE(surf.Prepare(shore.scene.GetTerrain(), *shore.water));
    surf.Render(1.0f); // draws nothing, does not fail
}

} // namespace

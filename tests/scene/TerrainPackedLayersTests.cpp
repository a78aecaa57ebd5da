// The terrain's packed detail layers: read back from the device and packed
// when all four are grey at one scale, made again after a layer or scale
// changes, none headless; and on the off-screen OpenGL renderer, the shader
// pipeline's picture with the packed programs against the same picture drawn
// with the eight-lookup programs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scene/IEnvironment.h"
#include "scene/ITerrain.h"
#include "scene/IWater.h"
#include "scene/camera/cCamera.h"
#include "scene/cRenderingPipelineSM20.h"
#include "scene/cResourceManager.h"
#include "scene/cSceneManager.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/support/cNullRenderer.h"
#include "video/GLTestContext.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

// An uncompressed 24-bit TGA, bottom row first, from RGB pixels.
std::string Tga(int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = static_cast<char>(width & 255);
    file[13] = static_cast<char>(width >> 8);
    file[14] = static_cast<char>(height & 255);
    file[15] = static_cast<char>(height >> 8);
    file[16] = 24;
    for (std::size_t i = 0; i + 3 <= rgb.size(); i += 3) {
        file += static_cast<char>(rgb[i + 2]);
        file += static_cast<char>(rgb[i + 1]);
        file += static_cast<char>(rgb[i]);
    }
    return file;
}

// Grey g(x, y) of detail picture `k`: a different pattern per picture, so that swapped channels show.
std::uint8_t DetailGrey(int k, int x, int y) {
    switch (k) {
    case 0: return static_cast<std::uint8_t>(20 + x * 12);
    case 1: return static_cast<std::uint8_t>(230 - y * 11);
    case 2: return static_cast<std::uint8_t>((x + y) % 2 ? 200 : 60);
    default: return static_cast<std::uint8_t>(90 + ((x * 5 + y * 3) % 7) * 20);
    }
}

// A size x size picture of detail pattern `k`; `blueShift` added to blue tints it.
std::string DetailTga(int k, int size, int blueShift = 0) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t g = DetailGrey(k, x, y);
            rgb.insert(rgb.end(), {g, g, static_cast<std::uint8_t>(std::min(255, g + blueShift))});
        }
    }
    return Tga(size, size, rgb);
}

std::string Flat(int size, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < size * size; ++i) rgb.insert(rgb.end(), {r, g, b});
    return Tga(size, size, rgb);
}

std::vector<std::uint8_t> Read(video::ITexture2D* texture) {
    std::vector<std::uint8_t> data;
    if (!texture || !texture->ReadData(data)) data.clear();
    return data;
}

} // namespace

TEST(TerrainPackedLayers, FourGreyLayersAtOneScaleArePackedChannelByChannelAndRemadeAfterChanges) {
    VTEST_REQUIRE_GL(ctx);
    cScratchFolder folder;
    for (int k = 0; k < 3; ++k) folder.Write("packtest/detail" + std::to_string(k) + ".tga", DetailTga(k, 8));
    // The fourth is smaller: the pack takes the largest size and stretches it (one grey: no pattern to blur).
    folder.Write("packtest/detail3.tga", Flat(4, 170, 170, 170));
    folder.Write("packtest/coloured.tga", Flat(8, 200, 120, 40));
    scene::cResourceManager resources;
    resources.SetRenderer(ctx->Renderer());
    ITerrain* terrain = nullptr;
    video::ITexture2D* packed = nullptr;
    {
        cLogCapture log;
        terrain = resources.CreateTerrain(nullptr, 32, 0, 1.0f, 32);
        ASSERT_NE(terrain, nullptr);
        // Layer 0 is the base layer, never packed: another scale and colour do not matter.
        terrain->SetLayerTexture(0, "packtest/coloured.tga");
        terrain->SetLayerScale(0, 3.0f, 3.0f);
        for (int k = 0; k < 4; ++k) {
            ASSERT_TRUE(terrain->SetLayerTexture(k + 1, ("packtest/detail" + std::to_string(k) + ".tga").c_str()));
            terrain->SetLayerScale(k + 1, 6.0f, 6.0f);
        }
        packed = terrain->GetPackedDetailLayers();
    }
    ASSERT_NE(packed, nullptr);
    EXPECT_EQ(packed->GetImageWidth(), 8u);
    EXPECT_EQ(packed->GetImageHeight(), 8u);
    // Tiled as the layers are.
    EXPECT_EQ(packed->GetAddressMode(), terrain->GetLayerTexture(1)->GetAddressMode());
    const std::vector<std::uint8_t> data = Read(packed);
    ASSERT_EQ(data.size(), 8u * 8u * 4u);
    int wrong = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const std::uint8_t* texel = &data[(y * 8 + x) * 4];
            for (int k = 0; k < 3; ++k) {
                wrong += texel[k] != DetailGrey(k, x, y);
            }
            wrong += texel[3] != 170;
        }
    }
    EXPECT_EQ(wrong, 0);
    // Made once.
    EXPECT_EQ(terrain->GetPackedDetailLayers(), packed);

    // A layer at another scale cannot share the lookup.
    packed->AddRef(); // kept, so that a texture made later cannot take its place in memory
    terrain->SetLayerScale(3, 6.0f, 6.5f);
    EXPECT_EQ(terrain->GetPackedDetailLayers(), nullptr);
    EXPECT_EQ(terrain->GetPackedDetailLayers(), nullptr);
    // Back at the common scale the layers are packed again, into a new texture.
    terrain->SetLayerScale(3, 6.0f, 6.0f);
    video::ITexture2D* again = nullptr;
    {
        cLogCapture log;
        again = terrain->GetPackedDetailLayers();
    }
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, packed);
    EXPECT_EQ(Read(again), data);
    packed->Release();

    // A coloured layer, or a missing one, leaves nothing to pack; the grey one back packs again.
    {
        cLogCapture log;
        terrain->SetLayerTexture(2, "packtest/coloured.tga");
        EXPECT_EQ(terrain->GetPackedDetailLayers(), nullptr);
        terrain->SetLayerTexture(2, "");
        EXPECT_EQ(terrain->GetPackedDetailLayers(), nullptr);
        terrain->SetLayerTexture(2, "packtest/detail1.tga");
        ASSERT_NE(terrain->GetPackedDetailLayers(), nullptr);
    }
    EXPECT_EQ(Read(terrain->GetPackedDetailLayers()), data);

    terrain->Release();
    resources.Clear();
}

TEST(TerrainPackedLayers, HeadlessTerrainHasNone) {
    scene::cResourceManager resources;
    cLogCapture log;
    ITerrain* terrain = resources.CreateTerrain(nullptr, 32, 0, 1.0f, 32);
    ASSERT_NE(terrain, nullptr);
    for (int layer = 1; layer <= 4; ++layer) {
        terrain->SetLayerTexture(layer, "grey.tga");
        terrain->SetLayerScale(layer, 4.0f, 4.0f);
    }
    EXPECT_EQ(terrain->GetPackedDetailLayers(), nullptr);
    terrain->Release();
}

TEST(TerrainPackedLayers, ADeviceThatCannotReadTexturesBackDrawsTheLayersOneByOne) {
    // Reading back fails quietly on one device and raises on another: neither packs, neither throws.
    for (const bool raises : {false, true}) {
        cNullRenderer renderer;
        renderer.readBackRaises = raises;
        scene::cResourceManager resources;
        resources.SetRenderer(&renderer);
        cLogCapture log;
        ITerrain* terrain = resources.CreateTerrain(nullptr, 32, 0, 1.0f, 32);
        ASSERT_NE(terrain, nullptr);
        for (int layer = 1; layer <= 4; ++layer) {
            ASSERT_TRUE(terrain->SetLayerTexture(layer, "grey.tga"));
            terrain->SetLayerScale(layer, 4.0f, 4.0f);
        }
        video::ITexture2D* packed = reinterpret_cast<video::ITexture2D*>(1);
        EXPECT_NO_THROW(packed = terrain->GetPackedDetailLayers()) << raises;
        EXPECT_EQ(packed, nullptr) << raises;
        if (raises) {
            EXPECT_NE(log.Text().find("not packed"), std::string::npos);
        }
        terrain->Release();
        resources.Clear();
    }
}

namespace {

constexpr int kSize = 64;
constexpr float kLevel = 5.0f;

float Height(int x, int z) {
    const float dx = static_cast<float>(x) - 32.0f, dz = static_cast<float>(z) - 26.0f;
    return std::max(0.0f, 16.0f * (1.0f - std::sqrt(dx * dx + dz * dz) / 24.0f)) + 1.0f;
}

// A small island with all four detail layers blended in, over a sea, seen from close by with the shader
// pipeline: the ground in the view, in the reflection and below the surface.
struct sDetailIsland {
    cScratchFolder folder;
    cSceneManager scene;
    cCamera camera;
    ITerrain* terrain = nullptr;
    video::IRenderer* r = nullptr;

    explicit sDetailIsland(video::IRenderer* renderer) : r(renderer) {
        folder.CopyShippedShaders();
        std::vector<std::uint8_t> dudv;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                dudv.insert(dudv.end(), {static_cast<std::uint8_t>(128 + 90 * std::sin(x * 0.39f + y * 0.39f)),
                                         static_cast<std::uint8_t>(128 + 90 * std::cos(x * 0.39f - y * 0.39f)), 200});
            }
        }
        folder.Write("data/textures/water2_dudv.tga", Tga(32, 32, dudv));
        std::vector<std::uint8_t> base;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                base.insert(base.end(), {static_cast<std::uint8_t>(150 + x * 3), 120, static_cast<std::uint8_t>(80 + y * 4)});
            }
        }
        folder.Write("picture/base.tga", Tga(16, 16, base));
        for (int k = 0; k < 4; ++k) {
            folder.Write("picture/grey" + std::to_string(k) + ".tga", DetailTga(k, 16));
        }
        // Layer 4 with the same red and green but a blue far off grey: it cannot be packed.
        folder.Write("picture/tinted3.tga", DetailTga(3, 16, 70));

        scene.SetRenderer(renderer);
        std::vector<float> heights(kSize * kSize);
        for (int z = 0; z < kSize; ++z) {
            for (int x = 0; x < kSize; ++x) heights[z * kSize + x] = Height(x, z);
        }
        terrain = scene.GetResourceManager()->CreateTerrain(heights.data(), kSize, kSize, 1.0f, 32);
        if (!terrain) return;
        terrain->SetLayerTexture(0, "picture/base.tga");
        terrain->SetLayerScale(0, 5.0f, 5.0f);
        for (int k = 0; k < 4; ++k) {
            terrain->SetLayerTexture(k + 1, ("picture/grey" + std::to_string(k) + ".tga").c_str());
            terrain->SetLayerScale(k + 1, 9.0f, 9.0f);
        }
        // Every layer somewhere, most places a mix; light from the left.
        std::vector<std::uint8_t> weights, light;
        for (int z = 0; z < kSize; ++z) {
            for (int x = 0; x < kSize; ++x) {
                weights.insert(weights.end(), {static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(z * 2),
                                               static_cast<std::uint8_t>(126 - x * 2), static_cast<std::uint8_t>(z * 3 % 128)});
                const auto l = static_cast<std::uint8_t>(150 + x);
                light.insert(light.end(), {l, l, l});
            }
        }
        terrain->GetLayerMap()->UpdateRect(0, 0, kSize, kSize, weights.data());
        terrain->CreateLightMap(kSize);
        terrain->GetLightMap()->UpdateRect(0, 0, kSize, kSize, light.data());
        scene.SetTerrain(terrain);
        scene.GetEnvironment()->SetFogEnabled(true);
        scene.GetEnvironment()->SetFogColor(cColor(184, 209, 232, 255));
        scene.GetEnvironment()->SetFogDensity(0.008f);
        scene.AddEntity(scene.GetResourceManager()->CreateWater(cColor(17, 83, 105, 255), 0.15f, 2.0f, kLevel));

        camera.SetFieldOfView(70.0);
        camera.SetAspectRatio(static_cast<double>(vtest::cGLTestContext::kWidth) / vtest::cGLTestContext::kHeight);
        camera.SetNearDistance(0.05);
        camera.SetFarDistance(500.0);
        camera.position = cVector3(30.0f, 14.0f, 58.0f);
        camera.LookAt(cVector3(32.0f, 4.0f, 28.0f));
    }

    vtest::sImage Frame(vtest::cGLTestContext* ctx) {
        for (int frame = 0; frame < 2; ++frame) {
            r->BeginFrame(scene.GetEnvironment()->GetFogColor());
            r->SetCamera(&camera, true);
            scene.Render(&camera);
        }
        return ctx->ReadPixels();
    }
};

} // namespace

TEST(TerrainPackedLayers, PackedProgramsDrawThePictureTheEightLookupsDraw) {
    VTEST_REQUIRE_GL(ctx);
    sDetailIsland island(ctx->Renderer());
    ASSERT_NE(island.terrain, nullptr);
    vtest::sImage packed, eight;
    {
        cLogCapture log;
        packed = island.Frame(ctx);
        const auto* pipeline =
            dynamic_cast<cRenderingPipelineSM20*>(island.scene.GetRenderingPipeline(PIPELINE_SHADER_MODEL_20));
        ASSERT_NE(pipeline, nullptr);
        ASSERT_NE(pipeline->GetPackedShader(cRenderingPipelineSM20::PACKED_TERRAIN), nullptr) << log.Text();
        ASSERT_NE(pipeline->GetPackedShader(cRenderingPipelineSM20::PACKED_UNDERWATER_TERRAIN), nullptr) << log.Text();
        ASSERT_NE(island.terrain->GetPackedDetailLayers(), nullptr) << log.Text();

        // The fourth detail layer tinted blue beyond the grey tolerance: the same red and green, no packing.
        island.terrain->SetLayerTexture(4, "picture/tinted3.tga");
        ASSERT_EQ(island.terrain->GetPackedDetailLayers(), nullptr);
        eight = island.Frame(ctx);
    }
    vtest::WritePNG(vtest::OutputDir() + "/terrain_packed_layers.png", packed);
    vtest::WritePNG(vtest::OutputDir() + "/terrain_eight_layers.png", eight);

    // Red and green the same up to rounding; blue shows that the fourth layer is drawn in both (where it
    // weighs, the tinted one is bluer).
    const int pixels = packed.width * packed.height;
    int redGreenOff = 0, bluer = 0, ground = 0;
    for (int y = 0; y < packed.height; ++y) {
        for (int x = 0; x < packed.width; ++x) {
            const std::uint8_t* a = packed.At(x, y);
            const std::uint8_t* b = eight.At(x, y);
            redGreenOff += std::abs(a[0] - b[0]) > 2 || std::abs(a[1] - b[1]) > 2;
            bluer += b[2] > a[2] + 3;
            // The grey details make the island grey; fog and sky are blue, the sea mirrors an empty (red) target.
            ground += std::abs(a[0] - a[1]) < 12 && std::abs(a[1] - a[2]) < 12 && a[0] < 170;
        }
    }
    EXPECT_GT(ground, pixels / 5) << "the island fills much of the picture";
    EXPECT_GT(bluer, pixels / 20) << "the fourth layer shows";
    EXPECT_EQ(redGreenOff, 0) << "of " << pixels;
    EXPECT_LE(vtest::MeanDifference(packed, eight, 2), 0.5);
}

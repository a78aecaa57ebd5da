// Both pipelines on the off-screen OpenGL renderer: a small island (a real
// terrain with colour, base layer and light map) in a sea with fog and a sky
// box, seen from low over the water. The pictures are compared with the
// references in tests/scene/data; the shader picture must also show the
// island mirrored in the sea. The lens flare's occlusion measurement is
// checked with real queries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scene/IEnvironment.h"
#include "scene/ILensFlare.h"
#include "scene/ISky.h"
#include "scene/ITerrain.h"
#include "scene/IWater.h"
#include "scene/camera/cCamera.h"
#include "scene/cLensFlare.h"
#include "scene/cSceneManager.h"
#include "scene/support/SceneTestSupport.h"
#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/ITexture.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

constexpr int W = vtest::cGLTestContext::kWidth;
constexpr int H = vtest::cGLTestContext::kHeight;
constexpr int kSize = 64;
constexpr float kLevel = 5.0f;

std::string SceneDataDir() { return (std::filesystem::path(__FILE__).parent_path() / "data").string(); }
// The repository's shader sources.
// An uncompressed TGA, bottom row first, from RGB or RGBA pixels.
std::string Tga(int width, int height, int bytesPerPixel, const std::vector<std::uint8_t>& pixels) {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = static_cast<char>(width & 255);
    file[13] = static_cast<char>(width >> 8);
    file[14] = static_cast<char>(height & 255);
    file[15] = static_cast<char>(height >> 8);
    file[16] = static_cast<char>(bytesPerPixel * 8);
    file[17] = static_cast<char>(bytesPerPixel == 4 ? 8 : 0);
    for (std::size_t i = 0; i + bytesPerPixel <= pixels.size(); i += bytesPerPixel) {
        file += static_cast<char>(pixels[i + 2]);
        file += static_cast<char>(pixels[i + 1]);
        file += static_cast<char>(pixels[i]);
        if (bytesPerPixel == 4) file += static_cast<char>(pixels[i + 3]);
    }
    return file;
}

// A DXT1 DDS of 8 x 8 texels: two blocks of light and two of darker sea green.
std::string WaterDds() {
    std::string file = "DDS ";
    std::uint32_t header[31] = {};
    header[0] = 124;
    header[1] = 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000;
    header[2] = 8;
    header[3] = 8;
    header[4] = 32;
    header[18] = 32;
    header[19] = 0x4;
    header[20] = 0x31545844; // "DXT1"
    header[26] = 0x1000;
    file.append(reinterpret_cast<const char*>(header), sizeof(header));
    const std::uint16_t colours[2] = {0x4D93, 0x2B0D};
    for (int block = 0; block < 4; ++block) {
        const std::uint16_t c = colours[(block + block / 2) % 2];
        file.append(reinterpret_cast<const char*>(&c), 2);
        file.append(reinterpret_cast<const char*>(&c), 2);
        file.append(4, '\0');
    }
    return file;
}

float IslandHeight(int x, int z) {
    const float dx = static_cast<float>(x) - 32.0f, dz = static_cast<float>(z) - 30.0f;
    const float r = std::sqrt(dx * dx + dz * dz);
    return std::max(0.0f, 18.0f * (1.0f - r / 22.0f)) + 1.0f;
}

// The island scene in a scratch folder on the shared off-screen renderer.
struct sIsland {
    cScratchFolder folder;
    cSceneManager scene;
    cCamera camera;
    ILensFlare* flare = nullptr;
    video::IRenderer* r = nullptr;

    explicit sIsland(video::IRenderer* renderer) : r(renderer) {
        folder.CopyShippedShaders();
        WriteTextures();
        scene.SetRenderer(renderer);

        std::vector<float> heights(kSize * kSize);
        for (int z = 0; z < kSize; ++z) {
            for (int x = 0; x < kSize; ++x) heights[z * kSize + x] = IslandHeight(x, z);
        }
        ITerrain* terrain = scene.GetResourceManager()->CreateTerrain(heights.data(), kSize, kSize, 1.0f, 32);
        if (!terrain) return;
        terrain->SetLayerTexture(0, "data/textures/ground.tga");
        terrain->SetLayerScale(0, 8.0f, 8.0f);
        std::vector<std::uint8_t> colours, light;
        for (int z = 0; z < kSize; ++z) {
            for (int x = 0; x < kSize; ++x) {
                const float h = IslandHeight(x, z);
                const bool sand = h < kLevel + 1.5f;
                colours.insert(colours.end(), {static_cast<std::uint8_t>(sand ? 214 : 70),
                                               static_cast<std::uint8_t>(sand ? 196 : 140),
                                               static_cast<std::uint8_t>(sand ? 150 : 60)});
                // Lit from the right: the slope facing +x brighter.
                const float slope = IslandHeight(std::min(x + 1, kSize - 1), z) - IslandHeight(std::max(x - 1, 0), z);
                const auto l = static_cast<std::uint8_t>(std::max(90.0f, std::min(255.0f, 200.0f + slope * 40.0f)));
                light.insert(light.end(), {l, l, l});
            }
        }
        terrain->GetColorMap()->UpdateRect(0, 0, kSize, kSize, colours.data());
        terrain->CreateLightMap(kSize);
        terrain->GetLightMap()->UpdateRect(0, 0, kSize, kSize, light.data());
        scene.SetTerrain(terrain);

        IEnvironment* environment = scene.GetEnvironment();
        environment->SetFogEnabled(true);
        environment->SetFogColor(cColor(184, 209, 232, 255));
        environment->SetFogDensity(0.012f);
        IResourceManager* resources = scene.GetResourceManager();
        IWater* water = resources->CreateWater(cColor(17, 83, 105, 255), 0.2f, 2.0f, kLevel);
        ISky* sky = resources->CreateSkyBox();
        const char* faces[6] = {"left", "right", "top", "", "front", "back"};
        for (int face = 0; face < 6; ++face) {
            if (*faces[face]) sky->SetFaceTexture(face, std::string("data/textures/sky/") + faces[face] + ".tga");
        }
        flare = resources->CreateLensFlare();
        flare->SetBoundToCamera(true);
        flare->SetWorldMatrix(cMatrix::Translation(0.45f, 0.3f, -1.0f));
        flare->SetFlareTexture(0, "data/textures/fx/sun.tga");
        flare->SetFlareTexture(3, "data/textures/fx/ring.tga");
        scene.AddEntity(water);
        scene.AddEntity(sky);
        scene.AddEntity(flare);

        camera.SetFieldOfView(90.0);
        camera.SetAspectRatio(static_cast<double>(W) / H);
        camera.SetNearDistance(0.05);
        camera.SetFarDistance(500.0);
        camera.position = cVector3(30.0f, 8.0f, 66.0f);
        camera.LookAt(cVector3(32.0f, 7.0f, 30.0f));
    }

    void WriteTextures() {
        std::vector<std::uint8_t> dudv, ground, sun, ring;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const float a = static_cast<float>(x) * 0.39f, b = static_cast<float>(y) * 0.39f;
                dudv.insert(dudv.end(), {static_cast<std::uint8_t>(128 + 90 * std::sin(a + b)),
                                         static_cast<std::uint8_t>(128 + 90 * std::cos(a - b)), 200});
                ground.insert(ground.end(), 3, static_cast<std::uint8_t>(118 + ((x * 7 + y * 13) % 5) * 5));
            }
        }
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const float d = std::hypot(x - 3.5f, y - 3.5f) / 4.0f;
                sun.insert(sun.end(), {255, 250, 220, static_cast<std::uint8_t>(255 * std::max(0.0f, 1.0f - d))});
                ring.insert(ring.end(),
                            {120, 200, 255, static_cast<std::uint8_t>(d > 0.6f && d < 0.9f ? 160 : 0)});
            }
        }
        folder.Write("data/textures/water2_dudv.tga", Tga(32, 32, 3, dudv));
        folder.Write("data/textures/ground.tga", Tga(32, 32, 3, ground));
        folder.Write("data/textures/fx/sun.tga", Tga(8, 8, 4, sun));
        folder.Write("data/textures/fx/ring.tga", Tga(8, 8, 4, ring));
        folder.Write("data/textures/water.dds", WaterDds());
        // Sky: pale at the horizon (v = 0), deep blue above; the top deep blue all over.
        for (const char* face : {"left", "right", "front", "back", "top"}) {
            std::vector<std::uint8_t> sky;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const float t = std::string(face) == "top" ? 1.0f : static_cast<float>(y) / 15.0f;
                    sky.insert(sky.end(), {static_cast<std::uint8_t>(190 - 140 * t), static_cast<std::uint8_t>(215 - 95 * t),
                                           static_cast<std::uint8_t>(240 - 20 * t)});
                }
            }
            folder.Write(std::string("data/textures/sky/") + face + ".tga", Tga(16, 16, 3, sky));
        }
    }

    // Two frames (the first one makes the pipeline's programs and targets); the second one is read back.
    vtest::sImage Frame(vtest::cGLTestContext* ctx) {
        for (int frame = 0; frame < 2; ++frame) {
            r->BeginFrame(scene.GetEnvironment()->GetFogColor());
            r->SetCamera(&camera, true);
            scene.Render(&camera);
        }
        return ctx->ReadPixels();
    }
};

// Compares with the reference, writing this run's picture where a person can look at it.
void ExpectLikeReference(const vtest::sImage& picture, const char* name) {
    vtest::WritePNG(vtest::OutputDir() + "/" + name + ".png", picture);
    vtest::sImage reference;
    const std::string path = SceneDataDir() + "/" + name + ".png";
    ASSERT_TRUE(vtest::ReadPNG(path, reference)) << "no reference " << path << "; this run's picture is in "
                                                 << vtest::OutputDir();
    ASSERT_EQ(reference.width, picture.width);
    ASSERT_EQ(reference.height, picture.height);
    int off = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                if (std::abs(picture.At(x, y)[c] - reference.At(x, y)[c]) > 24) {
                    ++off;
                    break;
                }
            }
        }
    }
    EXPECT_LE(off, picture.width * picture.height / 100) << name << ": pixels far from the reference";
    EXPECT_LE(vtest::MeanDifference(picture, reference, 3), 2.0) << name;
}

// Mean colour of a rectangle (x0..x1, y0..y1 from the bottom-left, inclusive).
std::array<double, 3> Mean(const vtest::sImage& image, int x0, int y0, int x1, int y1) {
    std::array<double, 3> sum{0, 0, 0};
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x, ++n) {
            for (int c = 0; c < 3; ++c) sum[c] += image.At(x, y)[c];
        }
    }
    for (double& s : sum) s /= n;
    return sum;
}

TEST(PipelinePictures, ShaderPipelineShowsTheIslandMirroredInTheSea) {
    VTEST_REQUIRE_GL(ctx);
    sIsland island(ctx->Renderer());
    ASSERT_NE(island.scene.GetTerrain(), nullptr);
    const vtest::sImage picture = island.Frame(ctx);
    ExpectLikeReference(picture, "pipeline_sm20");

    // Below the horizon, under the island, the sea shows its green; beside it, the sky's blue.
    cVector3 peak, side;
    ctx->Renderer()->Project(peak, cVector3(32.0f, 2.0f * kLevel - 15.0f, 30.0f));
    ctx->Renderer()->Project(side, cVector3(4.0f, kLevel, 40.0f));
    const int px = static_cast<int>(peak.x), py = static_cast<int>(peak.y);
    ASSERT_TRUE(px > 2 && px < W - 3 && py > 2 && py < H - 3) << px << " " << py;
    const std::array<double, 3> mirrored = Mean(picture, px - 2, py - 2, px + 2, py + 2);
    EXPECT_GT(mirrored[1], mirrored[2]) << "the island's green is reflected";
    const std::array<double, 3> sea = Mean(picture, 0, 0, 8, 6);
    EXPECT_GT(sea[2], sea[0] + 30.0) << "open sea reflects the blue sky";
}

TEST(PipelinePictures, FixedFunctionPipelineShowsTheIslandOverAFlatSea) {
    VTEST_REQUIRE_GL(ctx);
    sIsland island(ctx->Renderer());
    island.scene.UseFixedFunction(true);
    const vtest::sImage picture = island.Frame(ctx);
    ExpectLikeReference(picture, "pipeline_ffp");
}

TEST(PipelinePictures, LensFlareBrightnessFollowsWhatHidesTheSun) {
    VTEST_REQUIRE_GL(ctx);
    sIsland island(ctx->Renderer());
    auto* flare = static_cast<cLensFlare*>(island.flare);
    island.Frame(ctx);
    EXPECT_GT(flare->GetBrightness(), 0.95f) << "sun in the open sky";
    // Behind the island.
    const cVector3 peak = cVector3(32.0f, 10.0f, 30.0f) - island.camera.position;
    flare->SetWorldMatrix(cMatrix::Translation(peak));
    island.Frame(ctx);
    EXPECT_FLOAT_EQ(flare->GetBrightness(), 0.0f);
    // Behind the camera, and far to the side.
    for (const cVector3& direction : {cVector3(0.2f, 0.3f, 1.0f), cVector3(-1.0f, 0.2f, 0.0f)}) {
        flare->SetWorldMatrix(cMatrix::Translation(direction));
        const vtest::sImage picture = island.Frame(ctx);
        EXPECT_FLOAT_EQ(flare->GetBrightness(), 0.0f);
    }
}

} // namespace

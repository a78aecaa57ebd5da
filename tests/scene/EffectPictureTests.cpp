// Pictures of the effects drawn by the OpenGL renderer off screen: the billboard
// set's two drawings against each other, each effect on its own, and a small
// demo scene (ground, billboards, butterflies, rain) through both rendering
// pipelines. Pictures are compared with the references in tests/scene/data
// with a tolerance; this run's pictures are written to the test output folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "scene/IBillboard.h"
#include "scene/IBillboardSet.h"
#include "scene/IButterflies.h"
#include "scene/IParticleSystem.h"
#include "scene/IRain.h"
#include "scene/ISprite.h"
#include "scene/camera/cCamera.h"
#include "scene/cBillboardSet.h"
#include "scene/cParticleSystem.h"
#include "scene/cResourceManager.h"
#include "scene/cSceneManager.h"
#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/IRenderer.h"
#include "video/IShader.h"
#include "video/ITexture.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::video;

namespace {

constexpr int W = vtest::cGLTestContext::kWidth;
constexpr int H = vtest::cGLTestContext::kHeight;

std::string SourceDir() { return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string(); }

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A 32-bit TGA, bottom row first.
void WriteTGA(const vtest::cScratchFiles& files, const std::string& name, int w, int h,
              const std::function<cColor(int, int)>& texel) {
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(w & 255), bytes[13] = static_cast<char>(w >> 8);
    bytes[14] = static_cast<char>(h & 255), bytes[15] = static_cast<char>(h >> 8);
    bytes[16] = 32;
    bytes[17] = 8;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const cColor c = texel(x, y);
            bytes += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r), static_cast<char>(c.a)};
        }
    }
    files.Write(name, bytes);
}

// The textures the effects are drawn with, below the folder.
void WriteTextures(const vtest::cScratchFiles& files, const std::string& folder) {
    // Rain: thin pale streaks on nothing.
    WriteTGA(files, folder + "drop.tga", 16, 16, [](int x, int y) {
        const bool streak = (x == 2 && y >= 3) || (x == 10 && (y <= 5 || y >= 11)) || (x == 6 && y >= 7 && y <= 9);
        return streak ? cColor(220, 230, 245, 190) : cColor(220, 230, 245, 0);
    });
    // A fir: a green triangle on a brown trunk; the empty texels carry the fir's colour, so that filtering
    // leaves no dark fringe.
    WriteTGA(files, folder + "tree.tga", 32, 64, [](int x, int y) {
        const float half = (64 - y) * 0.25f;
        if (y < 12) return std::abs(x - 16) < 3 ? cColor(110, 70, 30, 255) : cColor(40, 110, 45, 0);
        return cColor(30, static_cast<std::uint8_t>(90 + y), 40, std::abs(x - 15.5f) < half ? 255 : 0);
    });
    // Wings: orange, dark at the tips, nothing beyond their rounded outline.
    WriteTGA(files, folder + "wings.tga", 32, 32, [](int x, int y) {
        const float u = std::abs(x - 15.5f) / 16.0f, v = (y - 15.5f) / 16.0f;
        if (u * u + v * v * 0.8f > 1.0f || std::abs(x - 15.5f) < 1.0f) return cColor(0, 0, 0, 0);
        return u > 0.75f ? cColor(40, 20, 10, 255) : cColor(250, 140, 20, 255);
    });
    // Grass.
    WriteTGA(files, folder + "ground.tga", 16, 16, [](int x, int y) {
        return ((x / 4 + y / 4) % 2) ? cColor(70, 120, 50, 255) : cColor(85, 135, 60, 255);
    });
    // A round spark fading to its edge.
    WriteTGA(files, folder + "spark.tga", 16, 16, [](int x, int y) {
        const float d = std::sqrt((x - 7.5f) * (x - 7.5f) + (y - 7.5f) * (y - 7.5f)) / 8.0f;
        return cColor(255, 255, 255, static_cast<std::uint8_t>(d < 1.0f ? (1.0f - d) * 255.0f : 0.0f));
    });
    // Four atlas cells: red, green, blue and yellow arrows pointing up.
    WriteTGA(files, folder + "atlas.tga", 64, 16, [](int x, int y) {
        const cColor colors[4] = {cColor(230, 40, 40), cColor(40, 200, 60), cColor(50, 80, 230), cColor(240, 220, 40)};
        const int cx = x % 16;
        const bool arrow = (y < 10 && cx >= 6 && cx <= 9) || (y >= 10 && std::abs(cx - 7.5f) < 16 - y);
        return arrow ? colors[x / 16] : cColor(0, 0, 0, 0);
    });
}

// The camera of the pictures: at `eye` looking at `at`, 60 degrees, the window's aspect.
cCamera MakeCamera(const cVector3& eye, const cVector3& at) {
    cCamera camera;
    camera.position = eye;
    camera.LookAt(at);
    camera.SetFieldOfView(60.0);
    camera.SetAspectRatio(static_cast<double>(W) / H);
    camera.SetNearDistance(0.1);
    camera.SetFarDistance(100.0);
    return camera;
}

// Compares with tests/scene/data/<name>.png after writing this run's picture to the output folder.
void ExpectReference(const vtest::sImage& picture, const std::string& name) {
    vtest::WritePNG(vtest::OutputDir() + "/" + name + ".png", picture);
    vtest::sImage reference;
    const std::string path = SourceDir() + "/tests/scene/data/" + name + ".png";
    ASSERT_TRUE(vtest::ReadPNG(path, reference)) << "no reference " << path << "; this run's picture is in "
                                                 << vtest::OutputDir();
    ASSERT_EQ(reference.width, picture.width);
    ASSERT_EQ(reference.height, picture.height);
    // Rasterizers may differ on edge pixels; the picture as a whole must agree.
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

struct sPictureTest : ::testing::Test {
    vtest::cGLTestContext* ctx = nullptr;
    IRenderer* r = nullptr;
    vtest::cScratchFiles files;
    scene::cResourceManager resources;

    void SetUp() override {
        ctx = vtest::cGLTestContext::Get();
        ASSERT_NE(ctx, nullptr) << "no OpenGL context: " << vtest::cGLTestContext::Error();
        ctx->Reset();
        r = ctx->Renderer();
        resources.SetRenderer(r);
        WriteTextures(files, "fx/");
        std::srand(1234);
    }
    void TearDown() override {
        if (!r) return;
        r->SetCamera(nullptr);
        ctx->Reset();
    }
    // Perspective view of the camera over the whole window, cleared to the colour.
    void BeginView(cCamera& camera, const cColor& clear) {
        r->SetViewportRect(0, 0, W, H);
        r->SetCamera(&camera, true);
        r->BeginFrame(clear);
    }
};

} // namespace

TEST_F(sPictureTest, BillboardSetsLookTheSameExpandedByTheShaderOrOnTheCpu) {
    files.Write("shaders/billboard_ogl.txt", ReadText(SourceDir() + "/tests/scene/data/shaders/billboard_ogl.txt"));
    IShader* shader = r->CreateShader("shaders/billboard.txt", "", "");
    ASSERT_NE(shader, nullptr);
    cBillboardSet set(r);
    ASSERT_TRUE(set.CreateBillboards(3));
    const float centres[3][3] = {{-1.5f, 0.2f, -4.0f}, {0.6f, -0.4f, -3.0f}, {1.8f, 0.9f, -7.0f}};
    const float sizes[3][2] = {{0.5f, 1.0f}, {0.9f, 0.4f}, {0.7f, 0.7f}};
    const cColor colors[3] = {cColor(230, 60, 40, 255), cColor(40, 200, 90, 255), cColor(60, 90, 240, 255)};
    sBillboardVertex* v = set.Lock();
    for (int k = 0; k < 3; ++k) {
        for (int c = 0; c < 4; ++c) {
            v[4 * k + c].x = centres[k][0], v[4 * k + c].y = centres[k][1], v[4 * k + c].z = centres[k][2];
            v[4 * k + c].halfWidth = sizes[k][0], v[4 * k + c].halfHeight = sizes[k][1];
            v[4 * k + c].color = colors[k];
        }
    }
    set.Unlock();
    // A camera turned and tilted, so that its axes are not the world's.
    cCamera camera = MakeCamera(cVector3(1.5f, 1.2f, 1.0f), cVector3(0.0f, 0.0f, -4.0f));
    const cColor clear(20, 20, 30, 255);
    BeginView(camera, clear);
    set.RenderExpanded();
    const vtest::sImage cpu = ctx->ReadPixels();
    BeginView(camera, clear);
    r->SetShader(shader);
    set.Render();
    r->SetShader(nullptr);
    const vtest::sImage gpu = ctx->ReadPixels();
    shader->Release();
    vtest::WritePNG(vtest::OutputDir() + "/billboards_cpu.png", cpu);
    vtest::WritePNG(vtest::OutputDir() + "/billboards_shader.png", gpu);
    EXPECT_EQ(cpu.At(42, 50)[0], 230);  // the red one
    int off = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) off += std::memcmp(cpu.At(x, y), gpu.At(x, y), 3) != 0;
    }
    // Only pixels on the quads' edges may fall differently.
    EXPECT_LE(off, 40);
    ExpectReference(gpu, "effect_billboard_set");
}

TEST_F(sPictureTest, RainFallsAroundTheCamera) {
    files.Write("data/shaders/common/rain_ogl.txt", ReadText(SourceDir() + "/data/shaders/common/rain_ogl.txt"));
    IShader* shader = r->CreateShader("data/shaders/common/rain.txt", "", "");
    ASSERT_NE(shader, nullptr);
    IRain* rain = resources.CreateRain(150, 10.0f, 1.0f, 0.35f);
    ASSERT_NE(rain, nullptr);
    rain->SetTexture("fx/drop.tga");
    ASSERT_NE(rain->GetTexture(), nullptr);
    cCamera camera = MakeCamera(cVector3(5.0f, 2.0f, 5.0f), cVector3(5.0f, 2.0f, 0.0f));
    BeginView(camera, cColor(40, 50, 70, 255));
    RenderRain(r, *rain, shader, camera.position, 3.7f);
    const vtest::sImage picture = ctx->ReadPixels();
    rain->Release();
    shader->Release();
    ExpectReference(picture, "effect_rain");
}

TEST_F(sPictureTest, BillboardsButterfliesParticlesAndSpritesDrawTheirPictures) {
    cCamera camera = MakeCamera(cVector3(0.0f, 1.0f, 3.0f), cVector3(0.0f, 0.5f, -2.0f));
    const cColor clear(120, 150, 190, 255);
    BeginView(camera, clear);
    r->SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
    r->SetAlphaTest(CMP_GEQUAL, 0.5f);
    IBillboard* tree = resources.CreateBillboard();
    tree->SetTexture("fx/tree.tga");
    tree->SetWorldMatrix(cMatrix::Translation(-1.2f, 0.7f, -2.0f));
    tree->SetBillboardWidth(0.5f);
    tree->SetBillboardHeight(1.0f);
    RenderBillboard(r, *tree, camera.position);
    IButterflies* butterflies = resources.CreateButterflies(cVector3(0.2f, 0.0f, 0.0f), 0.3f);
    butterflies->SetTexture("fx/wings.tga");
    butterflies->SetAreaHalfSize(0.8f);
    butterflies->SetWorldMatrix(cMatrix::Translation(1.0f, 1.0f, -1.0f));
    butterflies->Render();
    r->SetAlphaTest(CMP_OFF, 0.5f);
    r->SetBlendFunc(BF_NONE, BF_NONE);

    IParticleSystem* sparks = resources.CreateParticleSystem();
    ASSERT_NE(sparks, nullptr);
    sEmitterShape sphere;
    sphere.shape = EMITTER_SPHERE;
    sphere.sphereRadius = 0.4f;
    sparks->SetShape(sphere);
    sParticleMotion motion;
    motion.velocity = cVector3(0.0f, 0.6f, 0.0f);
    motion.velocityVariation = 0.2f;
    motion.decay = 0.6f;
    motion.decayVariation = 0.3f;
    motion.startColor = cColor(255, 220, 80, 255);
    motion.endColor = cColor(255, 40, 0, 255);
    motion.startSize = 0.12f;
    motion.endSize = 0.03f;
    sparks->SetMotion(motion);
    sparks->SetBlendFactors(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
    sparks->SetTexture("fx/spark.tga");
    sparks->SetEmitterPosition(cVector3(0.2f, 0.3f, -1.5f));
    ASSERT_TRUE(sparks->CreateParticles(60));
    for (int step = 0; step < 12; ++step) dynamic_cast<cParticleSystem*>(sparks)->Step(0.1f, step * 100.0f);
    r->SetTexture(sparks->GetTexture(), 0);
    sparks->Render(cVector3(0.2f, 0.3f, -1.5f));
    r->SetTexture(nullptr, 0);

    // The sprite on top, in pixels.
    r->SetProjection(PROJ_ORTHOGRAPHIC, W, H, 0.0, 0.0, -1.0, -1.0);
    r->SetTransform(MM_VIEW, static_cast<const cMatrix*>(nullptr));
    ISprite* sprite = resources.CreateSprite("fx/atlas.tga", 16, 16);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->GetColumns(), 4);
    sprite->AddAnimation(4, 5.0f, 0, true);
    sprite->Play(0, 0.0f);
    sprite->Update(0.25f);
    sprite->Update(0.5f);  // frame 2: blue
    sprite->SetPosition(cVector2(108, 76));
    sprite->SetScale(1.5f);
    sprite->SetRotation(-30.0f);
    sprite->Render();
    const vtest::sImage picture = ctx->ReadPixels();

    sprite->Release();
    sparks->Release();
    butterflies->Release();
    tree->Release();
    // The sprite is blue where it is drawn.
    EXPECT_GT(picture.At(108, 77)[2], 200);
    EXPECT_LT(picture.At(108, 77)[0], 80);
    ExpectReference(picture, "effect_entities");
}

TEST_F(sPictureTest, TheDemoSceneShowsRainBillboardsAndButterfliesInBothPipelines) {
    for (const auto& entry : std::filesystem::directory_iterator(SourceDir() + "/data/shaders/common")) {
        const std::string name = entry.path().filename().string();
        files.Write("data/shaders/common/" + name, ReadText(entry.path().string()));
    }
    const std::string demo = SourceDir() + "/tests/scene/data/demo/";
    files.Write("demo/.scene", ReadText(demo + ".scene"));
    files.Write("demo/ground.mesh", ReadText(demo + "ground.mesh"));
    WriteTextures(files, "demo/");

    vtest::sImage pictures[2];
    for (const bool fixedFunction : {false, true}) {
        std::srand(77);
        cSceneManager scene;
        scene.SetRenderer(r);
        scene.LoadScene("demo/", false, nullptr);
        ASSERT_EQ(scene.GetEntities().size(), 5u);
        ASSERT_EQ(scene.GetMeshes().size(), 1u);
        // What was read is written back as it was.
        if (!fixedFunction) {
            std::filesystem::create_directories(files.Root() + "/saved");
            scene.SaveScene("saved/");
            EXPECT_EQ(ReadText(files.Root() + "/saved/.scene"), ReadText(demo + ".scene"));
        }
        scene.UseFixedFunction(fixedFunction);
        cCamera camera = MakeCamera(cVector3(0.0f, 1.7f, 1.5f), cVector3(0.0f, 1.0f, -6.0f));
        BeginView(camera, cColor(153, 168, 183, 255));
        scene.Render(&camera);
        pictures[fixedFunction] = ctx->ReadPixels();
        r->SetCamera(nullptr);
        ctx->Reset();
    }
    ExpectReference(pictures[0], "demo_shader_pipeline");
    ExpectReference(pictures[1], "demo_fixed_function_pipeline");
    // The same ground, trees and butterflies; only the shader pipeline draws rain.
    int differing = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const std::uint8_t* a = pictures[0].At(x, y);
            const std::uint8_t* b = pictures[1].At(x, y);
            differing += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 30;
        }
    }
    EXPECT_GT(differing, W * H / 100);
    EXPECT_LT(differing, W * H / 2);
}

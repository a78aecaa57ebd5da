// The wind on the off-screen OpenGL renderer: the vegetation program in still
// air draws what the fixed-function drawing draws, and an impostor bends as
// its mesh does where the two take over from each other.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scene/IStaticMesh.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/cDrawBatchList.h"
#include "scene/cResourceManager.h"
#include "scene/cWind.h"
#include "scene/support/SceneTestSupport.h"
#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/IShader.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;
using namespace velmora::video;

namespace {

// A tall plant: a crown (three colours) over a trunk, both textured, 6 units high.
const char* kPlant =
    "node \"crown\" {\n"
    "\tvertices 6 { 0 2 0  4 2 0  2 6 0  1 3 0.1  3 3 0.1  2 5 0.1 }\n"
    "\tcolors 6 { 0.9 0.1 0.1  0.2 0.8 0.1  0.9 0.9 0.2  0.8 0.2 0.2  0.8 0.2 0.2  0.2 0.2 0.9 }\n"
    "\tnormals 6 { 0 1 0  0 1 0  0 1 0  0 0.6 -0.8  0 0.6 -0.8  0 0.6 -0.8 }\n"
    "\tuv 6 { 0 0  1 0  0.5 1  0.2 0.2  0.8 0.2  0.5 0.8 }\n"
    "\tmaterial \"leaf.tga\"\n"
    "\tfaces 2 { 0 1 2  3 4 5 }\n"
    "}\n"
    "node \"trunk\" {\n"
    "\tvertices 4 { 1.5 0 0  2.5 0 0  2.5 2 0  1.5 2 0 }\n"
    "\tcolors 4 { 0.5 0.3 0.1  0.5 0.3 0.1  0.4 0.25 0.1  0.4 0.25 0.1 }\n"
    "\tnormals 4 { -0.6 0 -0.8  -0.6 0 -0.8  -0.6 0 -0.8  -0.6 0 -0.8 }\n"
    "\tuv 4 { 0 0  1 0  1 1  0 1 }\n"
    "\tmaterial \"leaf.tga\"\n"
    "\tfaces 2 { 0 1 2  0 2 3 }\n"
    "}\n";

// An uncompressed 8 x 8 RGBA TGA: light stripes.
std::string LeafTga() {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = 8;
    file[14] = 8;
    file[16] = 32;
    file[17] = 8;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const char v = static_cast<char>((x + y) % 2 ? 255 : 190);
            file += v;
            file += v;
            file += static_cast<char>(230);
            file += static_cast<char>(255);
        }
    }
    return file;
}

std::string SourceFile(const std::string& name) {
    const std::filesystem::path root = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    std::ifstream in(root / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

constexpr int kSize = 128;

vtest::sImage Capture(IRenderer* renderer) {
    vtest::sImage image;
    image.width = image.height = kSize;
    renderer->ReadPixels(0, 0, kSize, kSize, image.rgba);
    return image;
}

bool Covered(const std::uint8_t* p) { return p[0] + p[1] + p[2] > 0; }

// Mean column of the covered pixels in the highest rows that hold any (the top `share` of them).
double TopColumn(const vtest::sImage& image, double share) {
    int top = -1, bottom = kSize;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (Covered(image.At(x, y))) {
                top = std::max(top, y);
                bottom = std::min(bottom, y);
            }
        }
    }
    if (top < 0) return -1.0;
    const int from = top - static_cast<int>((top - bottom) * share);
    double sum = 0.0;
    int n = 0;
    for (int y = from; y <= top; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (Covered(image.At(x, y))) {
                sum += x;
                ++n;
            }
        }
    }
    return sum / n;
}

// One plant placed by `placement` on a small terrain, with the programs loaded from the repository.
struct sWindScene {
    cScratchFolder folder;
    scene::cResourceManager resources;
    IRenderer* r;
    ITerrain* terrain = nullptr;
    IShader* vegetationProgram = nullptr;
    IShader* impostorProgram = nullptr;
    IRenderTarget* target = nullptr;
    std::string log;
    cBox box;
    cVector3 centre, eye;
    float halfWidth = 0.0f, halfHeight = 0.0f;

    sWindScene(IRenderer* renderer, const cMatrix& placement) : r(renderer) {
        folder.Write("plant.mesh", kPlant);
        folder.Write("leaf.tga", LeafTga());
        for (const char* name : {"vegetation", "impostors"}) {
            const std::string file = std::string("data/shaders/common/") + name + "_ogl.txt";
            folder.Write(file, SourceFile(file));
        }
        resources.SetRenderer(r);
        cLogCapture capture;
        terrain = resources.CreateTerrain(nullptr, 32, 0, 1.0f, 32);
        if (terrain) {
            sVegetationKind* kind = terrain->GetVegetation()->AddKind("plant.mesh");
            terrain->GetVegetation()->AddInstance(kind, cColor(255, 255, 255, 255), placement);
            terrain->GetVegetation()->Build();
            if (!terrain->GetVegetation()->GetInstances().empty()) {
                box = terrain->GetVegetation()->GetInstances()[0]->mesh->GetBoundingBox().Transformed(placement);
            }
        }
        vegetationProgram = r->CreateShader("data/shaders/common/vegetation.txt", std::string(), std::string());
        impostorProgram = r->CreateShader("data/shaders/common/impostors.txt", std::string(), std::string());
        target = r->CreateRenderTarget(kSize, kSize, 2);
        log = capture.Text();
        centre = box.GetCenter();
        eye = centre - cVector3(0, 0, 100);
        // Room on both sides for the bend.
        halfWidth = box.GetHalfExtents().x + 2.0f;
        halfHeight = box.GetHalfExtents().y + 0.5f;
    }
    ~sWindScene() {
        if (vegetationProgram) vegetationProgram->Release();
        if (impostorProgram) impostorProgram->Release();
        if (target) target->Release();
        if (terrain) terrain->Release();
        resources.Clear();
    }
    bool Ready() const { return terrain && vegetationProgram && impostorProgram && target; }

    void Begin() {
        target->SetClearColor(cColor(0, 0, 0, 255));
        r->SetRenderTarget(target);
        r->SetOrthographic(-halfWidth, halfWidth, -halfHeight, halfHeight, 1.0, 1000.0);
        r->SetTransform(MM_VIEW, cMatrix::LookAt(eye, centre, cVector3(0, 1, 0)));
        r->SetTransform(MM_WORLD, cMatrix());
        r->SetCullMode(CM_NONE);
        r->SetAlphaTest(CMP_GEQUAL, 0.35f);
    }
    vtest::sImage End() {
        const vtest::sImage picture = Capture(r);
        r->SetRenderTarget(nullptr);
        r->SetAlphaTest(CMP_OFF, 0.0f);
        r->SetCullMode(CM_CW);
        r->SetFogMode(FOG_OFF);
        r->SetLighting(false);
        return picture;
    }
    void Collect(cDrawBatchList& batches) { terrain->GetVegetation()->CollectBatches(nullptr, 0.0f, batches); }

    // The mesh with the vegetation program; flutter faded out (the camera is beyond `viewDistance`).
    vtest::sImage Mesh(const cWind& wind, const cVector4& fog, const cVector3& sun, float viewDistance) {
        Begin();
        cDrawBatchList batches;
        Collect(batches);
        r->SetShader(vegetationProgram);
        vegetationProgram->SetUniform("u_SunDirection", sun.Normalized());
        vegetationProgram->SetUniform("u_Fog", fog);
        vegetationProgram->SetUniform("u_DiffuseMap", 0);
        sMeshProgramInputs inputs;
        inputs.wind = &wind;
        inputs.camera = eye;
        inputs.viewDistance = viewDistance;
        batches.RenderWithProgram(r, vegetationProgram, inputs);
        return End();
    }
    vtest::sImage Impostor(const cWind& wind) {
        Begin();
        r->SetShader(impostorProgram);
        impostorProgram->SetUniform("u_Camera", eye);
        impostorProgram->SetUniform("u_ViewDistance", 10.0f);
        impostorProgram->SetUniform("u_DiffuseMap", 0);
        impostorProgram->SetUniform("u_Fog", 0.0f, 0.0f, 0.0f, 0.0f);
        wind.SetUniforms(impostorProgram);
        terrain->GetVegetation()->RenderImpostors();
        r->SetShader(nullptr);
        r->SetTexture(nullptr, 0);
        return End();
    }
};

} // namespace

TEST(WindOnOpenGL, StillAirDrawsWhatTheFixedFunctionDrawingDraws) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    // Scaled and turned: the program must shorten the normals as the fixed-function transform does.
    sWindScene scene(r, cMatrix::Scaling(1.3f) * cMatrix::RotationY(30.0f) * cMatrix::Translation(20, 4, 30));
    ASSERT_TRUE(scene.Ready()) << scene.log;
    const cVector4 fog(0.7f, 0.8f, 0.9f, 0.006f);
    const cVector3 sun(0.4f, 1.0f, -0.7f);

    scene.Begin();
    sLight light;
    light.direction = sun;
    r->SetLighting(true);
    r->EnableLight(0, true);
    r->SetLight(0, light);
    r->SetFogParameter(FP_DENSITY, fog.w);
    r->SetFogColor(0, fog.x, fog.y, fog.z, 1.0f);
    r->SetFogMode(FOG_EXP2);
    cDrawBatchList batches;
    scene.Collect(batches);
    batches.RenderFixedFunction(r);
    const vtest::sImage fixed = scene.End();

    cWind still;
    still.SetStrength(0.0f);
    still.SetTime(12.5);
    const vtest::sImage program = scene.Mesh(still, fog, sun, 25.0f);
    vtest::WritePNG(vtest::OutputDir() + "/wind_still_fixed.png", fixed);
    vtest::WritePNG(vtest::OutputDir() + "/wind_still_program.png", program);

    int covered = 0, close = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const std::uint8_t* a = fixed.At(x, y);
            const std::uint8_t* b = program.At(x, y);
            covered += Covered(a);
            close += std::abs(a[0] - b[0]) <= 6 && std::abs(a[1] - b[1]) <= 6 && std::abs(a[2] - b[2]) <= 6;
        }
    }
    EXPECT_GT(covered, kSize * kSize / 8);
    EXPECT_GE(close, kSize * kSize * 99 / 100) << "pixels that differ: " << kSize * kSize - close;
}

TEST(WindOnOpenGL, AnImpostorBendsAsItsMeshAtTheSwitchDistance) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    sWindScene scene(r, cMatrix::Translation(20, 4, 30));
    ASSERT_TRUE(scene.Ready()) << scene.log;
    const cVector4 noFog(0, 0, 0, 0);
    const cVector3 sun(1, 1, 1);
    cWind wind;
    wind.SetDirection(1.0f, 0.0f); // across the picture
    wind.SetStrength(4.0f);
    cWind still = wind;
    still.SetStrength(0.0f);
    // Pixels per world unit across the picture.
    const double pixels = kSize / (2.0 * scene.halfWidth);
    for (double time : {0.0, 1.7, 3.1}) {
        wind.SetTime(time);
        const vtest::sImage mesh = scene.Mesh(wind, noFog, sun, 25.0f);
        const vtest::sImage impostor = scene.Impostor(wind);
        const vtest::sImage stillMesh = scene.Mesh(still, noFog, sun, 25.0f);
        if (time == 0.0) {
            vtest::WritePNG(vtest::OutputDir() + "/wind_switch_mesh.png", mesh);
            vtest::WritePNG(vtest::OutputDir() + "/wind_switch_impostor.png", impostor);
        }
        const double meshTop = TopColumn(mesh, 0.15);
        const double impostorTop = TopColumn(impostor, 0.15);
        const double stillTop = TopColumn(stillMesh, 0.15);
        // The top moved as far as the wind says, and the impostor's with it.
        const cVector4 anchor = cWind::GetAnchor(scene.box, cMatrix());
        // (measured over the top band, about 0.93 of the height up)
        const double expected = wind.GetBend(anchor, 0.93f * scene.box.GetSize().y).x * pixels;
        EXPECT_GT(expected, 5.0) << time;
        // (Seen from -z, world +x runs to the left of the picture.)
        EXPECT_NEAR(stillTop - meshTop, expected, 1.5) << time;
        EXPECT_NEAR(impostorTop, meshTop, 1.5) << time;
    }
}

TEST(WindOnOpenGL, TheSwayingProgramsLoadThroughTheRenderer) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cScratchFolder folder;
    folder.CopyShippedShaders();
    for (const char* name : {"vegetation", "underwaterObject", "impostors"}) {
        cLogCapture log;
        IShader* shader = r->CreateShader((std::string("data/shaders/common/") + name + ".txt").c_str(),
                                          std::string(), std::string());
        EXPECT_NE(shader, nullptr) << name << ": " << log.Text();
        if (shader) shader->Release();
    }
}

// Terrain and impostors on the off-screen OpenGL renderer: terrain files
// written from textures read back, and an impostor seen from the direction
// its picture was taken from looking like the mesh it stands for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scene/ITerrain.h"
#include "scene/IStaticMesh.h"
#include "scene/ITerrainVegetation.h"
#include "scene/TerrainTestSupport.h"
#include "scene/cDrawBatchList.h"
#include "scene/cResourceManager.h"
#include "scene/cSerializer.h"
#include "scene/support/SceneTestSupport.h"
#include "video/GLTestContext.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/IShader.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;
using namespace velmora::video;

namespace {

// A crown (red on its left, green on its right) over a trunk off to the left, facing -z: a picture
// mirrored or turned would not match.
const char* kTree =
    "node \"crown\" {\n"
    "\tvertices 6 { 0 2 0  4 2 0  2 6 0  1 3 0.1  3 3 0.1  2 5 0.1 }\n"
    "\tcolors 6 { 0.9 0.1 0.1  0.2 0.8 0.1  0.9 0.9 0.2  0.8 0.2 0.2  0.8 0.2 0.2  0.2 0.2 0.9 }\n"
    "\tnormals 6 { 0 1 0  0 1 0  0 1 0  0 1 0  0 1 0  0 1 0 }\n"
    "\tfaces 2 { 0 1 2  3 4 5 }\n"
    "}\n"
    "node \"trunk\" {\n"
    "\tvertices 4 { 0.5 0 0  1.5 0 0  1.5 2 0  0.5 2 0 }\n"
    "\tcolors 4 { 0.5 0.3 0.1  0.5 0.3 0.1  0.4 0.25 0.1  0.4 0.25 0.1 }\n"
    "\tnormals 4 { 1 0 0  1 0 0  1 0 0  1 0 0 }\n"
    "\tfaces 2 { 0 1 2  0 2 3 }\n"
    "}\n";

std::string SourceFile(const std::string& name) {
    const std::filesystem::path root = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    std::ifstream in(root / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

vtest::sImage Capture(IRenderer* renderer, int size) {
    vtest::sImage image;
    image.width = image.height = size;
    renderer->ReadPixels(0, 0, size, size, image.rgba);
    return image;
}

} // namespace

TEST(TerrainOnOpenGL, TerrainFilesWriteBackFromTheTextures) {
    VTEST_REQUIRE_GL(ctx);
    cScratchFolder folder;
    folder.Write("a.mesh", kTerrainTestMesh);
    folder.Write("b.mesh", kTerrainTestMesh);
    scene::cResourceManager resources;
    resources.SetRenderer(ctx->Renderer());
    cSerializer serializer(&resources);
    const sTerrainFile file;
    folder.Write("in.terrain", file.Bytes());
    ITerrain* terrain = nullptr;
    bool written = false;
    {
        cLogCapture log;
        terrain = serializer.ReadTerrain("in.terrain", nullptr);
        written = terrain && serializer.WriteTerrain("out.terrain", terrain);
    }
    ASSERT_NE(terrain, nullptr);
    EXPECT_TRUE(written);
    EXPECT_TRUE(folder.Read("out.terrain") == file.Bytes());
    terrain->Release();
    resources.Clear();
}

TEST(TerrainOnOpenGL, AnImpostorSeenFromItsCaptureDirectionLooksLikeItsMesh) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cScratchFolder folder;
    folder.Write("tree.mesh", kTree);
    folder.Write("data/shaders/common/impostors_ogl.txt", SourceFile("data/shaders/common/impostors_ogl.txt"));
    scene::cResourceManager resources;
    resources.SetRenderer(r);
    // Moved: the impostor stands where the instance stands. (Its size following a scaled instance is checked
    // without a device; scaled normals would light the mesh differently, the fixed-function lighting not
    // renormalising them.)
    const cMatrix placement = cMatrix::Translation(20, 4, 30);
    ITerrain* terrain = nullptr;
    IShader* shader = nullptr;
    std::string made;
    {
        cLogCapture log;
        terrain = resources.CreateTerrain(nullptr, 32, 0, 1.0f, 32);
        if (terrain) {
            sVegetationKind* kind = terrain->GetVegetation()->AddKind("tree.mesh");
            terrain->GetVegetation()->AddInstance(kind, cColor(255, 255, 255, 255), placement);
            terrain->GetVegetation()->Build();
        }
        shader = r->CreateShader("data/shaders/common/impostors.txt", std::string(), std::string());
        made = log.Text();
    }
    ASSERT_NE(terrain, nullptr) << made;
    ASSERT_NE(shader, nullptr) << made;
    ITerrainVegetation* vegetation = terrain->GetVegetation();
    ASSERT_EQ(vegetation->GetImpostorCount(), 1) << made;

    // Both pictures: the placed box exactly filling a 128 x 128 target, seen from -z without perspective.
    const cBox box = vegetation->GetInstances()[0]->mesh->GetBoundingBox().Transformed(placement);
    const cVector3 centre = box.GetCenter();
    const cVector3 eye = centre - cVector3(0, 0, 100);
    const cVector3 half = box.GetHalfExtents();
    IRenderTarget* target = r->CreateRenderTarget(128, 128, 2);
    ASSERT_NE(target, nullptr);
    target->SetClearColor(cColor(0, 0, 0, 255));
    auto begin = [&] {
        r->SetRenderTarget(target);
        r->SetOrthographic(-half.x, half.x, -half.y, half.y, 1.0, 1000.0);
        r->SetTransform(MM_VIEW, cMatrix::LookAt(eye, centre, cVector3(0, 1, 0)));
        r->SetTransform(MM_WORLD, cMatrix());
        r->SetCullMode(CM_NONE);
        r->SetLighting(false);
        r->SetAlphaTest(CMP_GEQUAL, 0.35f);
    };
    // The mesh as the vegetation pass draws it under the pipelines' default sun (direction (1, 1, 1)).
    begin();
    sLight sun;
    sun.direction = cVector3(1, 1, 1);
    r->SetLighting(true);
    r->EnableLight(0, true);
    r->SetLight(0, sun);
    cDrawBatchList batches;
    vegetation->CollectBatches(nullptr, 0.0f, batches);
    batches.RenderFixedFunction(r);
    r->SetLighting(false);
    const vtest::sImage mesh = Capture(r, 128);
    r->SetRenderTarget(nullptr);

    auto drawImpostors = [&](float viewDistance) {
        begin();
        r->SetShader(shader);
        shader->SetUniform("u_Camera", eye);
        shader->SetUniform("u_ViewDistance", viewDistance);
        shader->SetUniform("u_DiffuseMap", 0);
        shader->SetUniform("u_Fog", 0.0f, 0.0f, 0.0f, 0.0f);
        EXPECT_EQ(vegetation->RenderImpostors(), 2);
        r->SetShader(nullptr);
        r->SetTexture(nullptr, 0);
        const vtest::sImage picture = Capture(r, 128);
        r->SetRenderTarget(nullptr);
        return picture;
    };
    const vtest::sImage impostor = drawImpostors(10.0f);
    r->SetAlphaTest(CMP_OFF, 0.0f);
    r->SetCullMode(CM_CW);
    vtest::WritePNG(vtest::OutputDir() + "/impostor_mesh.png", mesh);
    vtest::WritePNG(vtest::OutputDir() + "/impostor_billboard.png", impostor);

    int covered = 0, close = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const std::uint8_t* a = mesh.At(x, y);
            const std::uint8_t* b = impostor.At(x, y);
            covered += a[0] + a[1] + a[2] > 0;
            close += std::abs(a[0] - b[0]) <= 12 && std::abs(a[1] - b[1]) <= 12 && std::abs(a[2] - b[2]) <= 12;
        }
    }
    EXPECT_GT(covered, 128 * 128 / 4) << "the mesh fills much of the picture";
    EXPECT_GE(close, 128 * 128 * 98 / 100) << "pixels that differ: " << 128 * 128 - close;

    // Within the vegetation distance the impostor gives way to the mesh.
    const vtest::sImage hidden = drawImpostors(150.0f);
    int drawn = 0;
    for (int k = 0; k < 128 * 128; ++k) drawn += hidden.rgba[k * 4] + hidden.rgba[k * 4 + 1] + hidden.rgba[k * 4 + 2] > 0;
    EXPECT_EQ(drawn, 0);
    r->SetAlphaTest(CMP_OFF, 0.0f);
    r->SetCullMode(CM_CW);

    shader->Release();
    target->Release();
    terrain->Release();
    resources.Clear();
}

// A small scene through every resource kind at once: a textured cube in
// vertex and index buffers, lit by a GLSL program, seen by a camera, drawn
// into a render target that is then shown on screen. The picture is compared
// with the reference in tests/video/data with a tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "scene/camera/cCamera.h"
#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/IBuffers.h"
#include "video/IResources.h"
#include "video/IShader.h"
#include "video/ITexture.h"

using namespace velmora;
using namespace velmora::video;

namespace {

constexpr int W = vtest::cGLTestContext::kWidth;
constexpr int H = vtest::cGLTestContext::kHeight;

struct sVertex {
    float position[3];
    float normal[3];
    float uv[2];
};

// A unit cube, four vertices per face, counter-clockwise seen from outside.
void MakeCube(std::vector<sVertex>& vertices, std::vector<std::uint16_t>& indices) {
    const cVector3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    // Normal, then two edge directions whose cross product is the normal.
    const cVector3 faces[6][3] = {{x, y, z}, {-x, z, y}, {y, z, x}, {-y, x, z}, {z, x, y}, {-z, y, x}};
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& face : faces) {
        const auto base = static_cast<std::uint16_t>(vertices.size());
        for (const auto& c : corners) {
            const cVector3 p = face[0] + face[1] * c[0] + face[2] * c[1];
            vertices.push_back({{p.x, p.y, p.z}, {face[0].x, face[0].y, face[0].z}, {(c[0] + 1) / 2, (c[1] + 1) / 2}});
        }
        for (int i : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<std::uint16_t>(base + i));
    }
}

// 8 x 8 texels: orange and cream squares of 2 x 2 texels.
std::vector<std::uint8_t> Checkers() {
    std::vector<std::uint8_t> texels;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool dark = ((x / 2) + (y / 2)) % 2 == 0;
            texels.insert(texels.end(), {static_cast<std::uint8_t>(dark ? 230 : 250),
                                         static_cast<std::uint8_t>(dark ? 110 : 240),
                                         static_cast<std::uint8_t>(dark ? 20 : 210), 255});
        }
    }
    return texels;
}

} // namespace

TEST(OffscreenScene, LitTexturedCubeThroughARenderTargetMatchesTheReference) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    vtest::cScratchFiles files;
    files.Install("shaders/lit_ogl.txt");

    IShader* shader = r->CreateShader("shaders/lit.txt", "", "");
    ASSERT_NE(shader, nullptr);
    std::vector<sVertex> vertices;
    std::vector<std::uint16_t> indices;
    MakeCube(vertices, indices);
    const sVertexElement format[] = {{0, T_FLOAT, 3, VU_POSITION},
                                     {12, T_FLOAT, 3, VU_NORMAL},
                                     {24, T_FLOAT, 2, VU_TEXCOORD0},
                                     {0, 0, 0, VU_END}};
    IVertexBuffer* vb = r->CreateVertexBuffer(0, format, sizeof(sVertex), vertices.size() * sizeof(sVertex));
    IIndexBuffer* ib = r->CreateIndexBuffer(0, T_USHORT, indices.size() * 2);
    ASSERT_NE(vb, nullptr);
    ASSERT_NE(ib, nullptr);
    ASSERT_TRUE(vb->Fill(vertices.data(), vertices.size() * sizeof(sVertex)));
    ASSERT_TRUE(ib->Fill(indices.data(), indices.size() * 2));
    const std::vector<std::uint8_t> texels = Checkers();
    ITexture2D* texture = r->CreateTexture(texels.data(), 8, 8, 4);
    ASSERT_NE(texture, nullptr);
    IRenderTarget* target = r->CreateRenderTarget(128, 128, 0);
    ASSERT_NE(target, nullptr);
    target->SetClearColor(cColor(40, 70, 110, 255));

    // Into the target: camera, world matrix, shader, buffers, texture at stage 0.
    r->SetRenderTarget(target);
    scene::cCamera camera;
    camera.position = cVector3(0.0f, 0.0f, 4.5f);
    camera.SetFieldOfView(60.0);
    camera.SetAspectRatio(1.0);
    camera.SetNearDistance(0.5);
    camera.SetFarDistance(50.0);
    r->SetCamera(&camera, true);
    const cMatrix world = cMatrix::RotationY(35.0f) * cMatrix::RotationX(25.0f);
    r->SetTransform(MM_WORLD, &world);
    r->SetTexture(texture, 0);
    r->SetShader(shader);
    shader->SetUniform("u_WorldMatrix", world.Transposed());
    shader->SetUniform("u_LightDirection", cVector3(-0.4f, -0.6f, -1.0f));
    shader->SetUniform("u_Ambient", cVector4(0.25f, 0.25f, 0.3f, 1.0f));
    r->SetVertexBuffer(vb);
    r->SetIndexBuffer(ib);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, static_cast<int>(vertices.size()), static_cast<int>(indices.size()));
    r->SetShader(nullptr);
    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    r->SetTexture(nullptr, 0);
    r->SetRenderTarget(nullptr);
    r->SetCamera(nullptr);

    // On screen: the target as a 96 x 96 picture in the middle of a grey window.
    const cMatrix identity = cMatrix::Identity();
    r->SetTransform(MM_VIEW, &identity);
    r->BeginFrame(cColor(90, 90, 90, 255));
    r->RenderRect(target->GetTexture(), cRect(16, 0, 112, 96), cRect(0, 1, 1, 0), cColor(255, 255, 255));
    const vtest::sImage picture = ctx->ReadPixels();
    ctx->Screenshot("offscreen_scene");

    target->Release();
    texture->Release();
    vb->Release();
    ib->Release();
    shader->Release();

    // The cube's front face is lit and textured, the sky around it is the target's clear colour
    // and the window shows around the picture.
    EXPECT_EQ(picture.At(4, 48)[0], 90);
    EXPECT_EQ(picture.At(20, 90)[2], 110);
    const std::uint8_t* centre = picture.At(64, 48);
    EXPECT_GT(centre[0], 100);
    EXPECT_GT(centre[0], centre[2]);

    vtest::sImage reference;
    const std::string referencePath = vtest::DataDir() + "/offscreen_scene.png";
    ASSERT_TRUE(vtest::ReadPNG(referencePath, reference))
        << "no reference " << referencePath << "; this run's picture is in " << vtest::OutputDir();
    ASSERT_EQ(reference.width, W);
    ASSERT_EQ(reference.height, H);
    // Rasterizers may differ on edge pixels; the picture as a whole must agree.
    int off = 0;
    for (int yy = 0; yy < H; ++yy) {
        for (int xx = 0; xx < W; ++xx) {
            for (int c = 0; c < 3; ++c) {
                if (std::abs(picture.At(xx, yy)[c] - reference.At(xx, yy)[c]) > 24) {
                    ++off;
                    break;
                }
            }
        }
    }
    EXPECT_LE(off, W * H / 100) << "pixels far from the reference";
    EXPECT_LE(vtest::MeanDifference(picture, reference, 3), 2.0);
}

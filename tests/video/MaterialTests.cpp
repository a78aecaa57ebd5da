// Materials: what binding one after another leaves in the renderer, the
// lighting colours they give with and without vertex colours, and the
// setters' refusals.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>

#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/IBuffers.h"
#include "video/IResources.h"
#include "video/ITexture.h"
#include "video/cCommonMaterial.h"

using namespace velmora;
using namespace velmora::video;
using vtest::Captured;
using vtest::Near;

namespace {

constexpr int W = vtest::cGLTestContext::kWidth;
constexpr int H = vtest::cGLTestContext::kHeight;

// A window-filling quad facing the viewer, normals towards +z, optionally with a vertex colour.
IVertexBuffer* MakeQuad(IRenderer* r, bool withColor) {
    struct sVertex {
        float position[3];
        float normal[3];
        std::uint8_t color[4];
    };
    const sVertexElement format[] = {{0, T_FLOAT, 3, VU_POSITION},
                                     {12, T_FLOAT, 3, VU_NORMAL},
                                     {24, T_UBYTE, 4, VU_COLOR},
                                     {0, 0, 0, VU_END}};
    const sVertexElement noColor[] = {{0, T_FLOAT, 3, VU_POSITION}, {12, T_FLOAT, 3, VU_NORMAL}, {0, 0, 0, VU_END}};
    const float corners[4][2] = {{0, 0}, {W, 0}, {W, H}, {0, H}};
    sVertex vertices[4];
    for (int i = 0; i < 4; ++i) vertices[i] = {{corners[i][0], corners[i][1], 0}, {0, 0, 1}, {0, 0, 255, 255}};
    IVertexBuffer* vb = r->CreateVertexBuffer(0, withColor ? format : noColor, sizeof(sVertex), sizeof(vertices));
    if (vb) vb->Fill(vertices, sizeof(vertices));
    return vb;
}

} // namespace

TEST(Materials, BindingOneAfterAnotherLeavesTheLastOnesStates) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cCommonRenderer* common = ctx->Common();
    const std::uint8_t pixel[4] = {255, 255, 255, 255};
    ITexture2D* t0 = r->CreateTexture(pixel, 1, 1, 4);
    ITexture2D* t2 = r->CreateTexture(pixel, 1, 1, 4);
    ASSERT_NE(t0, nullptr);
    ASSERT_NE(t2, nullptr);
    IMaterial* a = r->CreateMaterial();
    IMaterial* b = r->CreateMaterial();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    a->SetTexture(t0, 0);
    a->SetTexture(t2, 2);
    a->SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
    a->SetDepthWrite(false);
    a->SetCullMode(CM_NONE);
    a->SetAlphaTest(CMP_GREATER, 0.5f);
    // A texture already bound elsewhere is replaced by the material's empty stage.
    r->SetTexture(t0, 3);

    r->SetMaterial(a);
    EXPECT_EQ(common->GetBoundMaterial(), a);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(common->GetBoundTexture(0), t0);
    EXPECT_EQ(common->GetBoundTexture(1), nullptr);
    EXPECT_EQ(common->GetBoundTexture(2), t2);
    EXPECT_EQ(common->GetBoundTexture(3), nullptr);
    EXPECT_EQ(r->GetBlendSrc(), BF_SRC_ALPHA);
    EXPECT_EQ(r->GetBlendDst(), BF_INV_SRC_ALPHA);
    EXPECT_FALSE(r->GetDepthWrite());
    EXPECT_EQ(r->GetCullMode(), CM_NONE);
    EXPECT_EQ(r->GetAlphaTestFunc(), CMP_GREATER);

    // A new material: stages empty, blending off, depth writes on, culling 2, alpha test off.
    r->SetMaterial(b);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    for (int stage = 0; stage < 4; ++stage) EXPECT_EQ(common->GetBoundTexture(stage), nullptr) << stage;
    EXPECT_EQ(r->GetBlendSrc(), BF_NONE);
    EXPECT_TRUE(r->GetDepthWrite());
    EXPECT_EQ(r->GetCullMode(), CM_CW);
    EXPECT_EQ(r->GetAlphaTestFunc(), CMP_OFF);

    // Binding the bound one again does nothing; after null the defaults with lighting off.
    r->SetMaterial(a);
    r->SetCullMode(CM_CCW);
    r->SetMaterial(a);
    EXPECT_EQ(r->GetCullMode(), CM_CCW);
    r->SetMaterial(nullptr);
    EXPECT_EQ(common->GetBoundMaterial(), nullptr);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(common->GetBoundTexture(0), nullptr);
    EXPECT_EQ(r->GetBlendSrc(), BF_NONE);
    EXPECT_EQ(r->GetCullMode(), CM_CW);
    EXPECT_TRUE(r->GetDepthWrite());
    EXPECT_EQ(r->GetAlphaTestFunc(), CMP_OFF);

    // Released while bound: unbound first.
    r->SetMaterial(a);
    a->AddRef();
    a->Release();
    EXPECT_EQ(common->GetBoundMaterial(), a);
    a->Release();
    EXPECT_EQ(common->GetBoundMaterial(), nullptr);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    b->Release();
    t0->Release();
    t2->Release();
}

TEST(Materials, ColoursLightWithAndWithoutVertexColours) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    sLight light;
    light.type = LT_DIRECTIONAL;
    light.direction = cVector3(0.0f, 0.0f, 1.0f);
    r->SetLight(0, light);
    r->EnableLight(0, true);
    IMaterial* material = r->CreateMaterial();
    ASSERT_NE(material, nullptr);
    const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    material->SetMaterialColor(MC_DIFFUSE, red);
    material->SetMaterialColor(MC_AMBIENT, cColor(0, 128, 0, 255));
    material->SetMaterialColor(MC_EMISSIVE, 0.0f, 0.0f, 0.25f, 1.0f);
    material->SetShininess(500.0f);  // beyond GL's range: capped, no error
    r->SetMaterial(material);

    // Light: diffuse 0.6 x material diffuse, ambient 0.4 x material ambient, plus emissive.
    IVertexBuffer* plain = MakeQuad(r, false);
    IVertexBuffer* colored = MakeQuad(r, true);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(colored, nullptr);
    r->SetVertexBuffer(plain);
    r->RenderPrimitives(PT_QUADS, 0, 4);
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 153, 51, 64));
    // Vertex colours stand for the diffuse colour.
    r->SetVertexBuffer(colored);
    r->RenderPrimitives(PT_QUADS, 0, 4);
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 0, 51, 217));
    // And the material's diffuse comes back for a buffer without them, whatever came between.
    r->SetVertexBuffer(plain);
    r->RenderPrimitives(PT_QUADS, 0, 4);
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 153, 51, 64));
    // A default material: diffuse 0.8, ambient 0.2.
    IMaterial* standard = r->CreateMaterial();
    ASSERT_NE(standard, nullptr);
    r->SetMaterial(standard);
    r->RenderPrimitives(PT_QUADS, 0, 4);
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 143, 143, 143));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    r->SetVertexBuffer(nullptr);
    r->SetMaterial(nullptr);
    r->EnableLight(0, false);
    plain->Release();
    colored->Release();
    material->Release();
    standard->Release();
}

TEST(Materials, SettersRefuseBadStagesAndIndices) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    IMaterial* material = r->CreateMaterial();
    ASSERT_NE(material, nullptr);
    auto* common = static_cast<cCommonMaterial*>(material);
    const std::uint8_t pixel[4] = {255, 255, 255, 255};
    ITexture2D* texture = r->CreateTexture(pixel, 1, 1, 4);
    ASSERT_NE(texture, nullptr);

    EXPECT_EQ(Captured([&] { material->SetTexture(texture, 4); }),
              "cCommonMaterial::SetTexture : invalid stage index 4\n");
    for (int stage = 0; stage < 4; ++stage) EXPECT_EQ(common->GetTexture(stage), nullptr);
    EXPECT_EQ(Captured([&] { material->SetTextureAnisotropy(4, 7); }),
              "cCommonMaterial::SetTextureAnisotropy : invalid texture index( 7 )\n");
    EXPECT_EQ(Captured([&] { material->SetTextureClamp(1, -1); }),
              "cCommonMaterial::SetTextureClamp : invalid texture index( -1 )\n");
    EXPECT_EQ(Captured([&] { material->SetTextureFiltration(1, 4); }),
              "cCommonMaterial::SetTextureFiltration : invalid texture index( 4 )\n");
    EXPECT_EQ(Captured([&] { material->SetMaterialColor(0, static_cast<const float*>(nullptr)); }),
              "cCommonMaterial::SetMaterialColor : color not set, NULL-pointer\n");
    material->SetMaterialColor(7, 1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(common->GetColor(0)[0], 0.8f);
    EXPECT_FLOAT_EQ(common->GetColor(1)[1], 0.2f);
    EXPECT_FLOAT_EQ(common->GetColor(2)[3], 1.0f);
    EXPECT_EQ(common->GetColor(7), nullptr);
    material->SetMaterialColor(1, cColor(255, 51, 0, 255));
    EXPECT_FLOAT_EQ(common->GetColor(1)[0], 1.0f);
    EXPECT_FLOAT_EQ(common->GetColor(1)[1], 0.2f);

    // Sampler values go straight to the stage's texture.
    material->SetTexture(texture, 1);
    material->SetTextureClamp(TA_CLAMP, 1);
    material->SetTextureFiltration(TF_POINT, 1);
    material->SetTextureAnisotropy(2, 1);
    EXPECT_EQ(texture->GetAddressMode(), TA_CLAMP);
    EXPECT_EQ(texture->GetFiltering(), TF_POINT);
    EXPECT_EQ(texture->GetAnisotropy(), 2);
    material->SetName("rock");
    EXPECT_EQ(material->GetName(), "rock");
    material->Release();
    texture->Release();
}

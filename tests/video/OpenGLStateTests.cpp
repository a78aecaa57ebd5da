// Render states seen in the framebuffer: blending, alpha test, depth writes,
// stencil, clip planes, fog and fixed-function lights.
#include <gtest/gtest.h>

#include "video/GLTestContext.h"

using namespace velmora;
using namespace velmora::video;

namespace {

bool Near(const std::array<std::uint8_t, 4>& p, int r, int g, int b, int tolerance) {
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

const cRect kWhole(0, 0, 128, 96);
const cRect kUnit(0, 0, 1, 1);

} // namespace

TEST(OpenGLStates, BlendingAndAlphaTest) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    r->RenderRect(nullptr, kWhole, kUnit, cColor(255, 0, 0));
    r->SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
    r->RenderRect(nullptr, cRect(0, 0, 64, 96), kUnit, cColor(0, 255, 0, 128));
    EXPECT_TRUE(Near(ctx->Pixel(10, 10), 127, 128, 0, 1));
    // Colour writes off leave the colours alone.
    r->SetColorWrite(false);
    r->RenderRect(nullptr, kWhole, kUnit, cColor(0, 0, 255));
    EXPECT_TRUE(Near(ctx->Pixel(100, 10), 255, 0, 0, 0));
    r->SetColorWrite(true);  // which also switches blending off
    EXPECT_EQ(r->GetBlendSrc(), BF_NONE);

    // Alpha test greater than 0.5 (127 as a byte): alpha 127 fails, alpha 128 passes.
    r->SetAlphaTest(CMP_GREATER, 0.5f);
    r->RenderRect(nullptr, cRect(0, 0, 10, 10), kUnit, cColor(0, 0, 255, 127));
    EXPECT_TRUE(Near(ctx->Pixel(5, 5), 127, 128, 0, 1));
    r->RenderRect(nullptr, cRect(0, 0, 10, 10), kUnit, cColor(0, 0, 255, 128));
    EXPECT_TRUE(Near(ctx->Pixel(5, 5), 0, 0, 255, 0));
    r->SetAlphaTest(CMP_OFF, 0.0f);
}

TEST(OpenGLStates, DepthWritesAndDepthFunction) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    // In the orthographic pixel projection z = 100 is nearer than z = 0 (depth runs -4096..4096).
    const cVector3 nearQuad[4] = {cVector3(0, 0, 100), cVector3(0, 96, 100), cVector3(64, 96, 100), cVector3(64, 0, 100)};
    const cVector3 farQuad[4] = {cVector3(0, 0, 0), cVector3(0, 96, 0), cVector3(128, 96, 0), cVector3(128, 0, 0)};
    r->SetCullMode(CM_NONE);
    r->RenderQuad(nullptr, nearQuad, kUnit, cColor(255, 0, 0));
    r->RenderQuad(nullptr, farQuad, kUnit, cColor(0, 255, 0));
    EXPECT_TRUE(Near(ctx->Pixel(10, 10), 255, 0, 0, 0));
    EXPECT_TRUE(Near(ctx->Pixel(100, 10), 0, 255, 0, 0));
    // Without depth writes the near quad leaves no depth behind.
    r->BeginFrame(cColor(0, 0, 0));
    r->SetDepthWrite(false);
    r->RenderQuad(nullptr, nearQuad, kUnit, cColor(255, 0, 0));
    r->SetDepthWrite(true);
    r->RenderQuad(nullptr, farQuad, kUnit, cColor(0, 255, 0));
    EXPECT_TRUE(Near(ctx->Pixel(10, 10), 0, 255, 0, 0));
    // BeginFrame clears depth even while depth writes are off.
    r->SetDepthWrite(false);
    r->BeginFrame(cColor(0, 0, 0));
    r->SetDepthWrite(true);
    r->RenderQuad(nullptr, farQuad, kUnit, cColor(0, 0, 255));
    EXPECT_TRUE(Near(ctx->Pixel(10, 10), 0, 0, 255, 0));
    // The offset form moves every corner.
    r->SetDepthFunc(CMP_ALWAYS);
    r->RenderQuad(nullptr, nearQuad, cVector3(64, 0, 0), kUnit, cColor(255, 255, 0));
    EXPECT_TRUE(Near(ctx->Pixel(100, 10), 255, 255, 0, 0));
    EXPECT_TRUE(Near(ctx->Pixel(10, 10), 0, 0, 255, 0));
}

TEST(OpenGLStates, StencilMasksDrawing) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    r->SetStencilTest(true);
    r->SetStencilFunc(CMP_ALWAYS, 1, 0xFF);
    r->SetStencilOp(SO_KEEP, SO_KEEP, SO_REPLACE);
    r->SetColorWrite(false);
    r->RenderRect(nullptr, cRect(0, 0, 40, 96), kUnit, cColor(255, 255, 255));
    r->SetColorWrite(true);
    r->SetStencilFunc(CMP_EQUAL, 1, 0xFF);
    r->SetStencilOp(SO_KEEP, SO_KEEP, SO_KEEP);
    r->RenderRect(nullptr, kWhole, kUnit, cColor(0, 255, 0));
    EXPECT_TRUE(Near(ctx->Pixel(39, 50), 0, 255, 0, 0));
    EXPECT_TRUE(Near(ctx->Pixel(40, 50), 0, 0, 0, 0));
    // The mask selects the compared bits: with mask 2 the stored 1 reads as 0.
    r->SetStencilFunc(CMP_EQUAL, 0, 0x02);
    r->RenderRect(nullptr, kWhole, kUnit, cColor(255, 0, 0));
    EXPECT_TRUE(Near(ctx->Pixel(39, 50), 255, 0, 0, 0));
    r->SetStencilTest(false);
}

TEST(OpenGLStates, ClipPlanesKeepThePositiveSide) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    // World-space plane x - 64 >= 0, with a view that moves everything 8 pixels right.
    const cMatrix view = cMatrix::Translation(8, 0, 0);
    r->SetTransform(MM_VIEW, &view);
    r->SetClipPlane(3, 1, 1, 0, 0, -64);
    r->RenderRect(nullptr, cRect(-8, 0, 120, 96), kUnit, cColor(255, 0, 0));
    EXPECT_TRUE(Near(ctx->Pixel(64 + 8, 50), 255, 0, 0, 0));
    EXPECT_TRUE(Near(ctx->Pixel(64 + 6, 50), 0, 0, 0, 0));
    // Disabling any plane switches every plane off.
    r->SetClipPlane(0, 0, 0, 0, 0, 0);
    r->RenderRect(nullptr, cRect(-8, 0, 120, 96), kUnit, cColor(0, 255, 0));
    EXPECT_TRUE(Near(ctx->Pixel(20, 50), 0, 255, 0, 0));
}

TEST(OpenGLStates, FogAndLights) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    r->SetProjection(PROJ_PERSPECTIVE, 0, 0, 0.1, 100.0, -1.0, -1.0);
    r->SetFogMode(FOG_LINEAR);
    r->SetFogColor(0, 0.0f, 0.0f, 1.0f, 1.0f);
    r->SetFogColor(1, 1.0f, 0.0f, 0.0f, 1.0f);  // only index 0 counts
    r->SetFogParameter(FP_START, 0.0f);
    r->SetFogParameter(FP_END, 10.0f);
    // A white quad 5 units away is half fog.
    const cVector3 quad[4] = {cVector3(-1, -1, -5), cVector3(1, -1, -5), cVector3(1, 1, -5), cVector3(-1, 1, -5)};
    r->RenderQuad(nullptr, quad, kUnit, cColor(255, 255, 255));
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 127, 127, 255, 3));
    r->SetFogMode(FOG_OFF);

    // A directional light shining down -z onto a quad facing +z: diffuse 0.6 x white plus ambient
    // 0.4 x material ambient 0.6.
    r->BeginFrame(cColor(0, 0, 0));
    r->SetLighting(true);
    sLight light;
    light.type = LT_DIRECTIONAL;
    light.direction = cVector3(0, 0, 1);
    r->SetLight(0, light);
    r->EnableLight(0, true);
    r->RenderQuad(nullptr, quad, kUnit, cColor(255, 255, 255));
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 214, 214, 214, 2));
    // Turned away, only the ambient part is left.
    light.direction = cVector3(0, 0, -1);
    r->SetLight(0, light);
    r->RenderQuad(nullptr, quad, kUnit, cColor(255, 255, 255));
    EXPECT_TRUE(Near(ctx->Pixel(64, 48), 61, 61, 61, 2));
    r->EnableLight(0, false);
    r->SetLighting(false);
}

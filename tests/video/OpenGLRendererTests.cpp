// The OpenGL renderer drawn off-screen and read back: primitives, projections,
// viewport and scissor rectangles, render states and their shadow, matrix
// stacks, feature queries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "engine/core/cException.h"
#include "video/GLTestContext.h"
#include "video/opengl/GLUtil.h"

using namespace velmora;
using namespace velmora::video;
using vtest::cGLTestContext;

namespace {

const cColor kRed(255, 0, 0);
const cColor kGreen(0, 255, 0);
const cColor kBlue(0, 0, 255);

bool Is(const std::array<std::uint8_t, 4>& p, int r, int g, int b, int tolerance = 0) {
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

std::string ThrownText(const std::function<void()>& f) {
    try {
        f();
    } catch (const cException& e) {
        return e.GetText();
    }
    return std::string();
}

// Counts pixels of a colour inside the framebuffer.
int CountPixels(const vtest::sImage& image, int r, int g, int b) {
    int count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.At(x, y);
            if (p[0] == r && p[1] == g && p[2] == b) ++count;
        }
    }
    return count;
}

} // namespace

TEST(OpenGLRenderer, StartsWithTheContractDefaults) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    EXPECT_EQ(r->GetCullMode(), CM_CW);
    EXPECT_EQ(r->GetFillMode(), FM_SOLID);
    EXPECT_TRUE(r->GetDepthWrite());
    EXPECT_EQ(r->GetBlendSrc(), BF_NONE);
    EXPECT_EQ(r->GetAlphaTestFunc(), CMP_OFF);
    EXPECT_EQ(r->GetFogMode(), FOG_OFF);
    EXPECT_EQ(r->GetReservedValue0(), 0);
    EXPECT_EQ(r->Reserved44(1, 2), -1.0f);
    EXPECT_GE(r->GetMaxTextureStages(), 2);
    EXPECT_EQ(ctx->Common()->GetTextureFiltering(), 3);
    EXPECT_EQ(ctx->Common()->GetTextureDetailReduction(), 1);
    EXPECT_EQ(r->GetClearColor(), cColor(0, 0, 0, 255));
}

TEST(OpenGLRenderer, FeatureQueries) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    EXPECT_FALSE(r->QueryFeature(FEAT_NP2_TEXTURES));
    // A GLSL context runs the shader model 2.0 programs.
    EXPECT_TRUE(r->QueryFeature(FEAT_FRAGMENT_SHADERS_2_0));
    EXPECT_TRUE(r->QueryFeature(FEAT_VERTEX_SHADERS_1_1));
    EXPECT_TRUE(r->QueryFeature(FEAT_CUBE_TEXTURES));
    EXPECT_EQ(r->QueryFeature(FEAT_ANISOTROPIC_FILTERING), r->GetMaxAnisotropy() > 0);
    EXPECT_EQ(ThrownText([&] { r->QueryFeature(15); }), "cOpenGLRenderer::QueryFeature : unhandled feature 15");
    EXPECT_EQ(ThrownText([&] { r->QueryFeature(-1); }), "cOpenGLRenderer::QueryFeature : unhandled feature -1");
    EXPECT_STREQ(GetFeatureName(13), "Fragemnt shaders 2.0");
    EXPECT_STREQ(GetFeatureName(0), "Rendering to target");
    EXPECT_EQ(GetFeatureName(15), nullptr);
}

TEST(OpenGLRenderer, StateShadowReachesTheDeviceOncePerChange) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cCommonRenderer* common = ctx->Common();
    auto calls = [&] { return common->GetDeviceCallCount(); };

    std::uint64_t before = calls();
    r->SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
    r->SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
    EXPECT_EQ(calls() - before, 1u);
    EXPECT_EQ(r->GetBlendSrc(), BF_SRC_ALPHA);
    EXPECT_EQ(r->GetBlendDst(), BF_INV_SRC_ALPHA);

    before = calls();
    r->SetAlphaTest(CMP_GREATER, 0.5f);
    r->SetAlphaTest(CMP_GREATER, 0.5f);
    r->SetAlphaTest(CMP_GREATER, 0.25f);  // another reference is a change
    EXPECT_EQ(calls() - before, 2u);

    before = calls();
    for (int i = 0; i < 2; ++i) {
        r->SetFillMode(FM_WIREFRAME);
        r->SetCullMode(CM_NONE);
        r->SetDepthWrite(false);
        r->SetFogMode(FOG_EXP2);
    }
    EXPECT_EQ(calls() - before, 4u);

    // Colour writes go through the blend function and its shadow.
    r->SetColorWrite(false);
    EXPECT_EQ(r->GetBlendSrc(), BF_ZERO);
    EXPECT_EQ(r->GetBlendDst(), BF_ONE);
    before = calls();
    r->SetColorWrite(false);
    EXPECT_EQ(calls() - before, 0u);
    r->SetColorWrite(true);
    EXPECT_EQ(r->GetBlendSrc(), BF_NONE);

    // Unshadowed states reach the device every time.
    before = calls();
    r->SetStencilTest(false);
    r->SetStencilTest(false);
    EXPECT_EQ(calls() - before, 2u);
}

TEST(OpenGLRenderer, RenderRectCoversExactlyItsPixels) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    r->BeginFrame(cColor(0, 0, 64));
    r->RenderRect(nullptr, cRect(10, 20, 30, 40), cRect(0, 0, 1, 1), kRed);
    const vtest::sImage image = ctx->ReadPixels();
    EXPECT_EQ(CountPixels(image, 255, 0, 0), 20 * 20);
    EXPECT_TRUE(Is(ctx->Pixel(10, 20), 255, 0, 0));
    EXPECT_TRUE(Is(ctx->Pixel(29, 39), 255, 0, 0));
    EXPECT_TRUE(Is(ctx->Pixel(9, 20), 0, 0, 64));
    EXPECT_TRUE(Is(ctx->Pixel(30, 39), 0, 0, 64));
    EXPECT_TRUE(Is(ctx->Pixel(29, 40), 0, 0, 64));
    // The clear colour of BeginFrame() without argument.
    r->SetClearColor(cColor(1, 2, 3));
    r->BeginFrame();
    EXPECT_TRUE(Is(ctx->Pixel(64, 48), 1, 2, 3));
}

TEST(OpenGLRenderer, LinesTrianglesAndWinding) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    r->RenderLine2D(cVector2(10.5f, 50.5f), cVector2(100.5f, 50.5f), kGreen);
    EXPECT_TRUE(Is(ctx->Pixel(11, 50), 0, 255, 0));
    EXPECT_TRUE(Is(ctx->Pixel(99, 50), 0, 255, 0));
    EXPECT_TRUE(Is(ctx->Pixel(50, 51), 0, 0, 0));
    // Counter-clockwise on screen is the front under culling mode 2.
    r->RenderTriangle2D(cVector2(0, 0), cVector2(40, 0), cVector2(0, 40), kBlue);
    EXPECT_TRUE(Is(ctx->Pixel(5, 5), 0, 0, 255));
    r->BeginFrame(cColor(0, 0, 0));
    r->RenderTriangle2D(cVector2(0, 0), cVector2(0, 40), cVector2(40, 0), kBlue);
    EXPECT_TRUE(Is(ctx->Pixel(5, 5), 0, 0, 0));
    r->SetCullMode(CM_CCW);
    r->RenderTriangle2D(cVector2(0, 0), cVector2(0, 40), cVector2(40, 0), kBlue);
    EXPECT_TRUE(Is(ctx->Pixel(5, 5), 0, 0, 255));
    r->SetCullMode(CM_NONE);
    r->RenderTriangle2D(cVector2(50, 0), cVector2(90, 0), cVector2(50, 40), kRed);
    EXPECT_TRUE(Is(ctx->Pixel(55, 5), 255, 0, 0));
}

TEST(OpenGLRenderer, BezierCurvesNeedTwoSegments) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const sBezier2 quadratic{cVector3(10, 10, 0), cVector3(110, 10, 0), cVector3(60, 90, 0)};
    EXPECT_EQ(ThrownText([&] { r->RenderBezier2(quadratic, 1); }), "cOpenGLRenderer::RenderBezier2 : invalid point count");
    const sBezier3 cubic{cVector3(10, 10, 0), cVector3(110, 10, 0), cVector3(10, 90, 0), cVector3(110, 90, 0)};
    EXPECT_EQ(ThrownText([&] { r->RenderBezier3(cubic, 0); }), "cOpenGLRenderer::RenderBezier3 : invalid point count");
    r->RenderBezier2(quadratic, 2);
    // Two white segments through (10, 10), (60, 50) and (110, 10).
    EXPECT_TRUE(Is(ctx->Pixel(60, 49), 255, 255, 255) || Is(ctx->Pixel(60, 50), 255, 255, 255));
    r->RenderBezier3(cubic, 32);
    // The curve's middle point (60, 70).
    bool found = false;
    for (int y = 67; y <= 72; ++y) found = found || Is(ctx->Pixel(60, y), 255, 255, 255);
    EXPECT_TRUE(found);
    ctx->Screenshot("bezier");
}

TEST(OpenGLRenderer, ViewportRectanglesCountFromTheBottomLeft) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const int w = cGLTestContext::kWidth, h = cGLTestContext::kHeight;
    r->SetViewportRect(0, 0, 64, 48);
    int x = -1, y = -1, vw = -1, vh = -1;
    r->GetViewportRect(x, y, vw, vh);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, h - 48);  // the device's top-left origin
    EXPECT_EQ(vw, 64);
    EXPECT_EQ(vh, 48);
    r->SetProjection(PROJ_ORTHOGRAPHIC, 64, 48, 0.0, 0.0, -1.0, -1.0);
    r->RenderRect(nullptr, cRect(0, 0, 64, 48), cRect(0, 0, 1, 1), kRed);
    const vtest::sImage image = ctx->ReadPixels();
    EXPECT_EQ(CountPixels(image, 255, 0, 0), 64 * 48);
    EXPECT_TRUE(Is(ctx->Pixel(63, 47), 255, 0, 0));
    EXPECT_TRUE(Is(ctx->Pixel(64, 47), 0, 0, 0));
    // Clearing covers the viewport only.
    r->SetViewportRect(w / 2, h / 2, w, h);
    r->GetViewportRect(x, y, vw, vh);
    EXPECT_EQ(vw, w / 2);  // cut at the window's right and top edges
    EXPECT_EQ(vh, h / 2);
    EXPECT_EQ(y, 0);
    r->BeginFrame(kBlue);
    EXPECT_TRUE(Is(ctx->Pixel(w - 1, h - 1), 0, 0, 255));
    EXPECT_TRUE(Is(ctx->Pixel(10, 10), 255, 0, 0));
    ctx->Screenshot("viewports");
}

TEST(OpenGLRenderer, ScissorRectanglesCountFromTheTopLeft) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const int h = cGLTestContext::kHeight;
    r->SetScissor(true, 0, 0, 32, 16);
    r->RenderRect(nullptr, cRect(0, 0, 128, 96), cRect(0, 0, 1, 1), kGreen);
    EXPECT_EQ(CountPixels(ctx->ReadPixels(), 0, 255, 0), 32 * 16);
    EXPECT_TRUE(Is(ctx->Pixel(0, h - 1), 0, 255, 0));
    EXPECT_TRUE(Is(ctx->Pixel(0, h - 17), 0, 0, 0));
    // The rectangle form converts corners to a position and size.
    r->SetScissor(true, cRect(100, 10, 110, 30));
    r->RenderRect(nullptr, cRect(0, 0, 128, 96), cRect(0, 0, 1, 1), kRed);
    EXPECT_EQ(CountPixels(ctx->ReadPixels(), 255, 0, 0), 10 * 20);
    EXPECT_TRUE(Is(ctx->Pixel(100, h - 11), 255, 0, 0));
    r->SetScissor(false, 0, 0, 0, 0);
}

TEST(OpenGLRenderer, PerspectiveProjectionOfASolidBox) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    // 90 degrees, aspect from the window (128 / 96): the front face at z = -4 spans
    // x = +-1 / (4 x 4/3) and y = +-1/4 of the half window.
    r->SetProjection(PROJ_PERSPECTIVE, 0, 0, 0.1, 100.0, -1.0, -1.0);
    r->RenderSolidBox(cVector3(-1, -1, -6), cVector3(1, 1, -4), kGreen);
    ctx->Screenshot("solid_box");
    EXPECT_TRUE(Is(ctx->Pixel(64, 48), 0, 255, 0));
    EXPECT_TRUE(Is(ctx->Pixel(64 + 11, 48 + 11), 0, 255, 0));
    EXPECT_TRUE(Is(ctx->Pixel(64 + 13, 48), 0, 0, 0));
    EXPECT_TRUE(Is(ctx->Pixel(64, 48 + 13), 0, 0, 0));
    // A point on the front face projects to window coordinates counted from the bottom.
    cVector3 window;
    r->Project(window, cVector3(1, 1, -4));
    EXPECT_NEAR(window.x, 64 + 12, 1e-3);
    EXPECT_NEAR(window.y, 48 + 12, 1e-3);
    EXPECT_GT(window.z, -1.0f);
    EXPECT_LT(window.z, 1.0f);
    // The wire box and its centre mark.
    r->BeginFrame(cColor(0, 0, 0));
    r->RenderBox(cVector3(-1, -1, -6), cVector3(1, 1, -4), kRed, true);
    EXPECT_TRUE(Is(ctx->Pixel(64 + 12, 48), 255, 0, 0) || Is(ctx->Pixel(64 + 11, 48), 255, 0, 0));
    EXPECT_TRUE(Is(ctx->Pixel(64, 48), 0, 0, 0));
}

TEST(OpenGLRenderer, TransformsAndStacks) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const cMatrix t = cMatrix::Translation(10, 0, 0);
    const cMatrix s = cMatrix::Scaling(2, 2, 2);
    r->SetTransform(MM_WORLD, &t);
    r->SetTransform(MM_WORLD, &s, true);
    cMatrix world;
    r->GetTransform(MM_WORLD, world);
    EXPECT_TRUE(world.Equals(s * t));  // the given matrix first
    // Drawing goes through world x view: the rect at (5, 5)-(10, 10) lands at (20, 10)-(30, 20).
    r->RenderRect(nullptr, cRect(5, 5, 10, 10), cRect(0, 0, 1, 1), kRed);
    EXPECT_EQ(CountPixels(ctx->ReadPixels(), 255, 0, 0), 10 * 10);
    EXPECT_TRUE(Is(ctx->Pixel(20, 10), 255, 0, 0));

    r->PushTransform(MM_WORLD);
    r->SetTransform(MM_WORLD, static_cast<const cMatrix*>(nullptr));
    r->PopTransform(MM_WORLD);
    r->GetTransform(MM_WORLD, world);
    EXPECT_TRUE(world.Equals(s * t));

    for (int i = 0; i < 32; ++i) r->PushTransform(MM_VIEW);
    EXPECT_EQ(ThrownText([&] { r->PushTransform(MM_VIEW); }), "cOpenGLRenderer::PushTransform : stack overflow");
    // Modes 0 and 1 share the matrix but not the stack.
    r->PushTransform(MM_WORLD1);
    r->PopTransform(MM_WORLD1);
    EXPECT_EQ(ThrownText([&] { r->PopTransform(MM_WORLD1); }), "cOpenGLRenderer::PopTransform : stack underflow");
    for (int i = 0; i < 32; ++i) r->PopTransform(MM_VIEW);
    EXPECT_EQ(ThrownText([&] { r->PopTransform(MM_VIEW); }), "cOpenGLRenderer::PopTransform : stack underflow");
    EXPECT_EQ(ThrownText([&] { r->PopTransform(MM_PROJECTION); }), "cOpenGLRenderer::PopTransform : stack underflow");
}

TEST(OpenGLRenderer, SoftwareRasterizersSkipAnisotropicFiltering) {
    EXPECT_TRUE(gl::IsSoftwareRasterizer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(gl::IsSoftwareRasterizer("softpipe"));
    EXPECT_TRUE(gl::IsSoftwareRasterizer("Google SwiftShader"));
    EXPECT_TRUE(gl::IsSoftwareRasterizer("GDI Generic"));
    EXPECT_FALSE(gl::IsSoftwareRasterizer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(gl::IsSoftwareRasterizer("NVIDIA GeForce RTX 3060/PCIe/SSE2"));
    EXPECT_FALSE(gl::IsSoftwareRasterizer(""));
    EXPECT_FALSE(gl::IsSoftwareRasterizer(nullptr));

    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    if (gl::IsSoftwareRasterizer(reinterpret_cast<const char*>(glGetString(GL_RENDERER)))) {
        EXPECT_EQ(r->GetMaxAnisotropy(), 0);
        EXPECT_FALSE(r->QueryFeature(FEAT_ANISOTROPIC_FILTERING));
    }
}

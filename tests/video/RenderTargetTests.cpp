// Render targets drawn into and then sampled, with their own depth buffer and
// the renderer's state put back after them; occlusion queries counting pixels.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/IResources.h"
#include "video/ITexture.h"
#include "video/opengl/cOpenGLRenderTarget.h"

using namespace velmora;
using namespace velmora::video;
using vtest::Captured;
using vtest::Near;

namespace {

constexpr int W = vtest::cGLTestContext::kWidth;
constexpr int H = vtest::cGLTestContext::kHeight;

// A quad over the whole window at height z of the orthographic box (larger z is nearer).
void FillAtDepth(IRenderer* r, float z, const cColor& color) {
    const cVector3 corners[4] = {cVector3(0, 0, z), cVector3(W, 0, z), cVector3(W, H, z), cVector3(0, H, z)};
    r->RenderQuad(nullptr, corners, cRect(0, 0, 1, 1), color);
}

} // namespace

TEST(RenderTargets, DrawnIntoThenSampledUpright) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    IRenderTarget* target = r->CreateRenderTarget(64, 32, 0);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->GetImageWidth(), 64u);
    EXPECT_EQ(target->GetImageHeight(), 32u);
    EXPECT_EQ(target->GetSecondTexture(), nullptr);
    ASSERT_NE(target->GetTexture(), nullptr);
    EXPECT_EQ(target->GetClearColor(), cColor(0, 0, 0, 0));
    target->SetClearColor(cColor(0, 0, 255, 255));

    const cMatrix world = cMatrix::Translation(1, 2, 3);
    r->SetTransform(MM_WORLD, &world);
    cMatrix projectionBefore;
    r->GetTransform(MM_PROJECTION, projectionBefore);
    int vx, vy, vw, vh;
    r->GetViewportRect(vx, vy, vw, vh);

    r->SetRenderTarget(target);
    int tx, ty, tw, th;
    r->GetViewportRect(tx, ty, tw, th);
    EXPECT_EQ(tw, 64);
    EXPECT_EQ(th, 32);
    // Red over the lower-left quarter of the target.
    r->SetTransform(MM_WORLD, static_cast<const cMatrix*>(nullptr));
    r->SetProjection(PROJ_ORTHOGRAPHIC, 64, 32, 0.0, 0.0, -1.0, -1.0);
    r->RenderRect(nullptr, cRect(0, 0, 32, 16), cRect(0, 0, 1, 1), cColor(255, 0, 0));
    std::vector<std::uint8_t> texels;
    ASSERT_TRUE(target->GetTexture()->ReadData(texels));
    ASSERT_EQ(texels.size(), 64u * 32u * 4u);
    EXPECT_TRUE(Near(&texels[0], 255, 0, 0));                         // bottom-left texel
    EXPECT_TRUE(Near(&texels[(31 * 64 + 63) * 4], 0, 0, 255));       // top-right texel
    r->SetRenderTarget(nullptr);

    // The window's matrices, viewport and framebuffer are back.
    cMatrix m;
    r->GetTransform(MM_WORLD, m);
    EXPECT_TRUE(m.Equals(world));
    r->GetTransform(MM_PROJECTION, m);
    EXPECT_TRUE(m.Equals(projectionBefore));
    int x, y, w, h;
    r->GetViewportRect(x, y, w, h);
    EXPECT_EQ(x, vx);
    EXPECT_EQ(y, vy);
    EXPECT_EQ(w, vw);
    EXPECT_EQ(h, vh);
    GLint framebuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_TRUE(Near(ctx->Pixel(5, 5), 0, 0, 0));  // nothing went to the window

    // Sampled over the whole window: red in the lower-left quarter, the clear colour elsewhere.
    r->SetTransform(MM_WORLD, static_cast<const cMatrix*>(nullptr));
    r->RenderRect(target->GetTexture(), cRect(0, 0, W, H), cRect(0, 1, 1, 0), cColor(255, 255, 255));
    EXPECT_TRUE(Near(ctx->Pixel(W / 4, H / 4), 255, 0, 0));
    EXPECT_TRUE(Near(ctx->Pixel(3 * W / 4, H / 4), 0, 0, 255));
    EXPECT_TRUE(Near(ctx->Pixel(W / 4, 3 * H / 4), 0, 0, 255));
    ctx->Screenshot("render_target_sampled");

    // Bound again it starts from its clear colour.
    r->SetRenderTarget(target);
    ASSERT_TRUE(target->GetTexture()->ReadData(texels));
    EXPECT_TRUE(Near(&texels[0], 0, 0, 255));
    // Released while bound: unbound first.
    target->Release();
    EXPECT_EQ(ctx->Common()->GetBoundRenderTarget(), nullptr);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, 0);
    r->GetViewportRect(x, y, w, h);
    EXPECT_EQ(w, vw);
}

TEST(RenderTargets, HaveTheirOwnDepthBuffer) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    // The window's depth holds a near quad.
    FillAtDepth(r, 100.0f, cColor(0, 255, 0));
    IRenderTarget* target = r->CreateRenderTarget(W, H, 2);
    ASSERT_NE(target, nullptr);
    r->SetRenderTarget(target);
    r->SetProjection(PROJ_ORTHOGRAPHIC, W, H, 0.0, 0.0, -1.0, -1.0);
    // Cleared to depth 1: a far quad shows, a farther one behind it does not.
    FillAtDepth(r, 0.0f, cColor(255, 0, 0));
    FillAtDepth(r, -100.0f, cColor(0, 0, 255));
    std::vector<std::uint8_t> texels;
    ASSERT_TRUE(target->GetTexture()->ReadData(texels));
    EXPECT_TRUE(Near(&texels[(10 * W + 10) * 4], 255, 0, 0));
    r->SetRenderTarget(nullptr);
    // The window's depth was not touched: the far quad stays hidden there.
    FillAtDepth(r, 0.0f, cColor(255, 0, 0));
    EXPECT_TRUE(Near(ctx->Pixel(10, 10), 0, 255, 0));
    target->Release();
}

TEST(RenderTargets, FormatsAndRefusedArguments) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    // Format 2 keeps alpha (transparent clear colour), format 0 has none.
    IRenderTarget* rgba = r->CreateRenderTarget(8, 8, 2);
    IRenderTarget* rgb = r->CreateRenderTarget(8, 8, 0);
    IRenderTarget* single = r->CreateRenderTarget(8, 8, 4);
    ASSERT_NE(rgba, nullptr);
    ASSERT_NE(rgb, nullptr);
    ASSERT_NE(single, nullptr);
    std::vector<std::uint8_t> texels;
    r->SetRenderTarget(rgba);
    r->SetRenderTarget(rgb);
    r->SetRenderTarget(nullptr);
    ASSERT_TRUE(rgba->GetTexture()->ReadData(texels));
    EXPECT_EQ(texels[3], 0);
    ASSERT_TRUE(rgb->GetTexture()->ReadData(texels));
    EXPECT_EQ(texels[3], 255);
    EXPECT_EQ(static_cast<cOpenGLRenderTarget*>(rgba)->GetColorFormat(), static_cast<GLenum>(GL_RGBA8));
    const GLenum singleFormat = static_cast<cOpenGLRenderTarget*>(single)->GetColorFormat();
    EXPECT_TRUE(singleFormat == GL_R32F || singleFormat == GL_RGBA32F_ARB);
    EXPECT_EQ(rgba->GetTexture()->GetAddressMode(), TA_CLAMP_TO_EDGE);
    rgba->Release();
    rgb->Release();
    single->Release();

    std::string log = Captured([&] { EXPECT_EQ(r->CreateRenderTarget(8, 8, 6), nullptr); });
    EXPECT_EQ(log, "Creating render target... cOpenGLRenderTarget::Create : invalid format 6\n");
    log = Captured([&] { EXPECT_EQ(r->CreateRenderTarget(0, 8, 0), nullptr); });
    EXPECT_NE(log.find("invalid size 0x8"), std::string::npos);
    log = Captured([&] { EXPECT_EQ(r->CreateRenderTarget(1 << 20, 8, 0), nullptr); });
    EXPECT_NE(log.find("invalid size"), std::string::npos);
}

TEST(OcclusionQueries, CountExactlyThePixelsThatPassTheDepthTest) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    IOcclusionQuery* query = r->CreateOcclusionQuery();
    ASSERT_NE(query, nullptr);
    // Nothing asked yet: the last result at once.
    EXPECT_EQ(query->GetResult(), 0u);
    EXPECT_TRUE(query->IsAvailable());

    query->Begin();
    r->RenderRect(nullptr, cRect(10, 10, 20, 30), cRect(0, 0, 1, 1), cColor(255, 255, 255));
    query->End();
    EXPECT_EQ(query->GetResult(), 200u);
    EXPECT_EQ(query->GetLastResult(), 200u);
    EXPECT_TRUE(query->IsAvailable());

    // Behind a nearer quad nothing passes; the colour buffer need not be written.
    FillAtDepth(r, 100.0f, cColor(0, 255, 0));
    r->SetColorWrite(false);
    query->Begin();
    r->RenderRect(nullptr, cRect(10, 10, 20, 30), cRect(0, 0, 1, 1), cColor(255, 255, 255));
    query->End();
    r->SetColorWrite(true);
    EXPECT_EQ(query->GetResult(), 0u);

    // One query counts at a time: a second Begin while one is open is ignored.
    IOcclusionQuery* other = r->CreateOcclusionQuery();
    ASSERT_NE(other, nullptr);
    r->BeginFrame(cColor(0, 0, 0, 255));
    query->Begin();
    other->Begin();
    r->RenderRect(nullptr, cRect(0, 0, 4, 4), cRect(0, 0, 1, 1), cColor(255, 255, 255));
    other->End();
    query->End();
    EXPECT_EQ(query->GetResult(), 16u);
    EXPECT_EQ(other->GetResult(), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Destroyed while counting: the count is closed.
    other->Begin();
    other->Release();
    query->Begin();
    query->End();
    EXPECT_EQ(query->GetResult(), 0u);
    query->Release();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(RenderTargets, TheWindowsScissorRectangleDoesNotCutTheTarget) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    IRenderTarget* target = r->CreateRenderTarget(32, 32, 0);
    ASSERT_NE(target, nullptr);
    r->SetScissor(true, 0, 0, 4, 4);
    GLint before[4];
    glGetIntegerv(GL_SCISSOR_BOX, before);
    r->SetRenderTarget(target);
    r->SetProjection(PROJ_ORTHOGRAPHIC, 32, 32, 0.0, 0.0, -1.0, -1.0);
    r->RenderRect(nullptr, cRect(0, 0, 32, 32), cRect(0, 0, 1, 1), cColor(255, 255, 0));
    std::vector<std::uint8_t> texels;
    ASSERT_TRUE(target->GetTexture()->ReadData(texels));
    EXPECT_TRUE(Near(&texels[(20 * 32 + 20) * 4], 255, 255, 0));
    r->SetRenderTarget(nullptr);
    GLint after[4];
    glGetIntegerv(GL_SCISSOR_BOX, after);
    EXPECT_EQ(std::vector<GLint>(before, before + 4), std::vector<GLint>(after, after + 4));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    r->SetScissor(false, 0, 0, 0, 0);
    target->Release();
}

// Frame figures counted by the renderer and the colour-buffer read-back.
#include <gtest/gtest.h>

#include <vector>

#include "video/GLTestContext.h"

using namespace velmora;
using namespace velmora::video;

TEST(FrameStatistics, CountsDrawCallsAndTrianglesPerFrame) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cCommonRenderer* common = ctx->Common();
    r->EndFrame();  // closes whatever earlier tests drew
    r->BeginFrame(cColor(0, 0, 0, 255));
    r->RenderRect(nullptr, cRect(0, 0, 10, 10), cRect(0, 0, 1, 1), cColor(255, 0, 0, 255));
    r->RenderSolidBox(cVector3(0, 0, 0), cVector3(1, 1, 1), cColor(0, 255, 0, 255));
    r->RenderLine(cVector3(0, 0, 0), cVector3(5, 5, 0), cColor(0, 0, 255, 255));
    r->EndFrame();
    EXPECT_EQ(common->GetFrameStatistics().drawCalls, 3u);
    EXPECT_EQ(common->GetFrameStatistics().triangles, 14u);
    // The next frame starts from zero.
    r->BeginFrame(cColor(0, 0, 0, 255));
    r->EndFrame();
    EXPECT_EQ(common->GetFrameStatistics().drawCalls, 0u);
}

TEST(FrameStatistics, ReadPixelsReturnsTheFrameBottomRowFirst) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    r->RenderRect(nullptr, cRect(0, 0, 4, 2), cRect(0, 0, 1, 1), cColor(10, 20, 30, 255));
    std::vector<std::uint8_t> pixels;
    ASSERT_TRUE(r->ReadPixels(0, 0, 8, 4, pixels));
    ASSERT_EQ(pixels.size(), 8u * 4u * 4u);
    EXPECT_EQ(pixels[0], 10);                 // (0, 0)
    EXPECT_EQ(pixels[(1 * 8 + 3) * 4 + 2], 30); // (3, 1)
    EXPECT_EQ(pixels[(2 * 8 + 0) * 4], 0);     // (0, 2) above the rectangle
    EXPECT_EQ(pixels[(0 * 8 + 4) * 4], 0);     // (4, 0) right of it
    EXPECT_FALSE(r->ReadPixels(-1, 0, 4, 4, pixels));
    EXPECT_FALSE(r->ReadPixels(0, 0, vtest::cGLTestContext::kWidth + 1, 1, pixels));
    EXPECT_FALSE(r->ReadPixels(0, 0, 0, 1, pixels));
}

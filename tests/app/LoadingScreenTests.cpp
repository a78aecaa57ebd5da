// The loading screen: which progress-bar cells a progress value lights, and
// one frame drawn on the off-screen OpenGL renderer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "app/cLoadingScreen.h"
#include "video/GLTestContext.h"
#include "video/ITexture.h"

using namespace brevonne;
using namespace velmora;
using namespace velmora::video;

namespace {

constexpr int kView = 1280;

int Lit(float fraction) { return cLoadingScreen::GetCells(fraction, kView).lit; }
int FirstEmpty(float fraction) { return cLoadingScreen::GetCells(fraction, kView).firstEmpty; }

} // namespace

TEST(ProgressBar, CellsLitForProgressValues) {
    EXPECT_EQ(Lit(0.0f), 1);  // cell 0 only
    EXPECT_EQ(FirstEmpty(0.0f), 1);
    EXPECT_EQ(Lit(0.5f), 26);  // cells 0-25
    EXPECT_EQ(FirstEmpty(0.5f), 26);
    EXPECT_EQ(Lit(1.0f), 51);  // all of them, none empty
    EXPECT_EQ(FirstEmpty(1.0f), 51);
    // Above 1 the cells go on past the bar and the empty pass is skipped.
    EXPECT_EQ(Lit(1.2f), 61);
    EXPECT_EQ(FirstEmpty(1.2f), 51);
}

TEST(ProgressBar, OutOfRangeValuesStayBounded) {
    // Cells run to the right edge of the view at most: (1280 - (640 - 200)) / 8 = 105.
    EXPECT_EQ(Lit(100.0f), 105);
    EXPECT_EQ(Lit(std::numeric_limits<float>::infinity()), 105);
    // A narrow view still has the whole bar.
    EXPECT_EQ(cLoadingScreen::GetCells(1.0f, 100).lit, 51);
    EXPECT_EQ(Lit(-0.5f), 0);
    EXPECT_EQ(FirstEmpty(-0.5f), 0);
    EXPECT_EQ(Lit(std::nanf("")), 0);
    EXPECT_EQ(FirstEmpty(std::nanf("")), 51);
    EXPECT_EQ(cLoadingScreen::GetCellX(0, kView), 440);
    EXPECT_EQ(cLoadingScreen::GetCellX(50, kView), 840);
}

namespace {

ITexture2D* SolidTexture(IRenderer* r, int width, int height, cColor bottom, cColor top) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        const cColor c = y < height / 2 ? bottom : top;
        for (int x = 0; x < width; ++x) pixels.insert(pixels.end(), {c.r, c.g, c.b, c.a});
    }
    return r->CreateTexture(pixels.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 4);
}

} // namespace

TEST(LoadingScreenFrame, SplashUprightAndCellsByProgress) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    const int w = vtest::cGLTestContext::kWidth, h = vtest::cGLTestContext::kHeight;
    ITexture2D* splash = SolidTexture(r, 32, 16, cColor(0, 0, 255), cColor(255, 0, 0));
    ITexture2D* lit = SolidTexture(r, 8, 8, cColor(0, 255, 0), cColor(0, 255, 0));
    ITexture2D* empty = SolidTexture(r, 8, 8, cColor(90, 90, 90), cColor(90, 90, 90));
    ASSERT_TRUE(splash && lit && empty);

    cLoadingScreen screen(nullptr, r, lit, splash, empty);
    vtest::sImage frame;
    screen.SetBeforePresent([&] { frame = ctx->ReadPixels(); });
    screen.Draw(0.5f, w, h);
    ASSERT_EQ(frame.width, w);
    vtest::WritePNG(vtest::OutputDir() + "/loading_screen.png", frame);

    auto at = [&](int x, int y) {
        const std::uint8_t* p = frame.At(x, y);
        return cColor(p[0], p[1], p[2], 255);
    };
    // Splash centred: (48, 40)-(80, 56), its top half red (bottom row first in the image).
    EXPECT_EQ(at(64, 54), cColor(255, 0, 0));
    EXPECT_EQ(at(64, 41), cColor(0, 0, 255));
    EXPECT_EQ(at(46, 48), cColor(0, 0, 0));
    // Cell k starts at 64 - 200 + 8 k: cell 25 at 64 is lit, cell 26 at 72 is empty.
    EXPECT_EQ(at(68, 14), cColor(0, 255, 0));
    EXPECT_EQ(at(76, 14), cColor(90, 90, 90));
    EXPECT_EQ(at(68, 19), cColor(0, 0, 0));  // the bar is 8 pixels high from y = 10
    EXPECT_EQ(at(68, 9), cColor(0, 0, 0));
    // The frame leaves the renderer with blending off and no texture bound.
    EXPECT_EQ(r->GetBlendSrc(), BF_NONE);
    EXPECT_EQ(ctx->Common()->GetBoundTexture(0), nullptr);

    // Without the splash the loading screen draws nothing at all.
    bool presented = false;
    cLoadingScreen blind(nullptr, r, lit, nullptr, empty);
    blind.SetBeforePresent([&] { presented = true; });
    blind.Draw(0.5f, w, h);
    EXPECT_FALSE(presented);
    for (ITexture2D* t : {splash, lit, empty}) t->Release();
}

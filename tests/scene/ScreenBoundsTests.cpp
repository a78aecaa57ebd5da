// Where a flat polygon lands on the screen: projected corners of a quad in
// view, the sea's huge quad seen from above it (clipped at the eye and the
// sides), polygons out of view or crossing the eye plane, and the pixel
// rectangle the water passes scissor their targets to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/core/cMatrix.h"
#include "scene/ScreenBounds.h"

using namespace velmora;
using namespace velmora::scene;

namespace {

// The renderer's composition: world to view, then view to clip (row vectors, view applied first).
cMatrix ViewProjection(const cVector3& eye, const cVector3& at, double fov, double aspect) {
    return cMatrix::LookAt(eye, at, cVector3(0, 1, 0)) * cMatrix::Perspective(fov, aspect, 0.1, 1000.0);
}

bool Finite(const sScreenBounds& b) {
    return std::isfinite(b.minX) && std::isfinite(b.maxX) && std::isfinite(b.minY) && std::isfinite(b.maxY);
}

bool WithinScreen(const sScreenBounds& b) {
    return Finite(b) && b.minX >= -1.0f && b.maxX <= 1.0f && b.minY >= -1.0f && b.maxY <= 1.0f && b.minX <= b.maxX &&
           b.minY <= b.maxY;
}

constexpr float kSeaHalf = 5120.0f;

} // namespace

TEST(ScreenBounds, QuadInViewBoundsItsProjectedCorners) {
    // Eye off the origin looking down -z; 90 degrees high, twice as wide: ndc x = view x / (2 depth),
    // ndc y = view y / depth. The quad leans away: its top edge lies twice as deep as its bottom edge.
    const cVector3 eye(5.0f, 3.0f, 7.0f);
    const cMatrix vp = ViewProjection(eye, eye + cVector3(0, 0, -1), 90.0, 2.0);
    const cVector3 quad[4] = {eye + cVector3(-4, -2, -10), eye + cVector3(6, -2, -10), eye + cVector3(6, 1, -20),
                              eye + cVector3(-4, 1, -20)};
    sScreenBounds b;
    ASSERT_TRUE(ProjectedBounds(quad, 4, vp, b));
    EXPECT_NEAR(b.minX, -0.2f, 1e-5f);
    EXPECT_NEAR(b.maxX, 0.3f, 1e-5f);
    EXPECT_NEAR(b.minY, -0.2f, 1e-5f);
    EXPECT_NEAR(b.maxY, 0.05f, 1e-5f);

    // Triangles and octagons are taken too, whichever way round their corners go.
    const cVector3 triangle[3] = {eye + cVector3(0, 5, -10), eye + cVector3(-10, -5, -10), eye + cVector3(2, 0, -10)};
    ASSERT_TRUE(ProjectedBounds(triangle, 3, vp, b));
    EXPECT_NEAR(b.minX, -0.5f, 1e-5f);
    EXPECT_NEAR(b.maxX, 0.1f, 1e-5f);
    EXPECT_NEAR(b.minY, -0.5f, 1e-5f);
    EXPECT_NEAR(b.maxY, 0.5f, 1e-5f);
    cVector3 octagon[8];
    for (int i = 0; i < 8; ++i) {
        const float a = static_cast<float>(i) * 3.14159265f / 4.0f;
        octagon[i] = eye + cVector3(4.0f * std::cos(a), 4.0f * std::sin(a), -10.0f);
    }
    ASSERT_TRUE(ProjectedBounds(octagon, 8, vp, b));
    EXPECT_NEAR(b.minX, -0.2f, 1e-5f);
    EXPECT_NEAR(b.maxX, 0.2f, 1e-5f);
    EXPECT_NEAR(b.minY, -0.4f, 1e-5f);
    EXPECT_NEAR(b.maxY, 0.4f, 1e-5f);
}

TEST(ScreenBounds, SeaSeenLevelFromAboveFillsTheScreenBelowTheHorizon) {
    // 10240 units square at y = 0, the eye 10 above its middle looking level: the sea reaches from the
    // bottom of the screen up to its far edge just under the horizon, across the whole width. Half of it
    // lies behind the eye.
    const cVector3 sea[4] = {cVector3(-kSeaHalf, 0, -kSeaHalf), cVector3(kSeaHalf, 0, -kSeaHalf),
                             cVector3(kSeaHalf, 0, kSeaHalf), cVector3(-kSeaHalf, 0, kSeaHalf)};
    const cVector3 eye(0, 10, 0);
    const double fov = 60.0;
    const float f = static_cast<float>(1.0 / std::tan(fov * 3.141592653589793 / 360.0));
    sScreenBounds b;
    ASSERT_TRUE(ProjectedBounds(sea, 4, ViewProjection(eye, eye + cVector3(0, 0, -1), fov, 4.0 / 3.0), b));
    EXPECT_FLOAT_EQ(b.minX, -1.0f);
    EXPECT_FLOAT_EQ(b.maxX, 1.0f);
    EXPECT_FLOAT_EQ(b.minY, -1.0f);
    EXPECT_NEAR(b.maxY, -10.0f * f / kSeaHalf, 1e-5f);
    EXPECT_LT(b.maxY, 0.0f);

    // Turned half round and standing off to one side: the same from any heading.
    const cVector3 aside(3000, 10, 1000);
    ASSERT_TRUE(ProjectedBounds(sea, 4, ViewProjection(aside, aside + cVector3(-1, 0, 0.2f), fov, 4.0 / 3.0), b));
    EXPECT_FLOAT_EQ(b.minY, -1.0f);
    EXPECT_FLOAT_EQ(b.minX, -1.0f);
    EXPECT_FLOAT_EQ(b.maxX, 1.0f);
    EXPECT_LT(b.maxY, 0.0f);
    EXPECT_GT(b.maxY, -0.02f);

    // Looking up with the whole view above the horizon: nothing of the sea is seen.
    EXPECT_FALSE(ProjectedBounds(sea, 4, ViewProjection(eye, eye + cVector3(0, 2, -1), fov, 4.0 / 3.0), b));
    // Looking down from high up at a corner of it: the sea covers part of the screen only.
    const cVector3 high(kSeaHalf, 3000, kSeaHalf);
    ASSERT_TRUE(ProjectedBounds(sea, 4, ViewProjection(high, cVector3(kSeaHalf, 0, kSeaHalf), fov, 1.0), b));
    // Straight down, which way is up on the screen is the view's choice: the sea's corner is at the centre
    // and it fills one quarter of the screen.
    EXPECT_TRUE(WithinScreen(b));
    EXPECT_NEAR(b.maxX - b.minX, 1.0f, 1e-3f);
    EXPECT_NEAR(b.maxY - b.minY, 1.0f, 1e-3f);
    EXPECT_NEAR(std::min(std::fabs(b.minX), std::fabs(b.maxX)), 0.0f, 1e-3f);
    EXPECT_NEAR(std::min(std::fabs(b.minY), std::fabs(b.maxY)), 0.0f, 1e-3f);
}

TEST(ScreenBounds, PolygonsBehindOrBesideTheViewAreNotSeen) {
    const cVector3 eye(0, 0, 0);
    const cMatrix vp = ViewProjection(eye, cVector3(0, 0, -1), 90.0, 1.0);
    sScreenBounds b;
    // Behind the eye: in front of it mirrored, it would project inside the screen.
    const cVector3 behind[4] = {cVector3(-1, -1, 10), cVector3(1, -1, 10), cVector3(1, 1, 10), cVector3(-1, 1, 10)};
    EXPECT_FALSE(ProjectedBounds(behind, 4, vp, b));
    // Beside the view on either side, above and below (90 degrees: |x| or |y| beyond the depth).
    const cVector3 right[4] = {cVector3(12, -1, -10), cVector3(20, -1, -10), cVector3(20, 1, -10), cVector3(12, 1, -10)};
    const cVector3 left[4] = {cVector3(-20, -1, -10), cVector3(-12, -1, -10), cVector3(-12, 1, -5), cVector3(-20, 1, -5)};
    const cVector3 above[3] = {cVector3(0, 11, -10), cVector3(1, 30, -10), cVector3(-1, 30, -10)};
    const cVector3 below[3] = {cVector3(0, -11, -10), cVector3(1, -30, -10), cVector3(-1, -30, -10)};
    EXPECT_FALSE(ProjectedBounds(right, 4, vp, b));
    EXPECT_FALSE(ProjectedBounds(left, 4, vp, b));
    EXPECT_FALSE(ProjectedBounds(above, 3, vp, b));
    EXPECT_FALSE(ProjectedBounds(below, 3, vp, b));
    // A quad whose corners are all outside while it spans the view is seen, over the whole screen.
    const cVector3 wall[4] = {cVector3(-50, -50, -10), cVector3(50, -50, -10), cVector3(50, 50, -10),
                              cVector3(-50, 50, -10)};
    ASSERT_TRUE(ProjectedBounds(wall, 4, vp, b));
    EXPECT_FLOAT_EQ(b.minX, -1.0f);
    EXPECT_FLOAT_EQ(b.maxX, 1.0f);
    EXPECT_FLOAT_EQ(b.minY, -1.0f);
    EXPECT_FLOAT_EQ(b.maxY, 1.0f);
}

TEST(ScreenBounds, PolygonsThroughTheEyePlaneStayOnTheScreen) {
    const cMatrix vp = ViewProjection(cVector3(0, 0, 0), cVector3(0, 0, -1), 90.0, 1.0);
    sScreenBounds b;
    // A strip of floor running from ahead to behind the eye, a corner exactly at the eye, and a corner just
    // behind it: corners with w at, near or below 0 must not throw the rectangle to infinity.
    const cVector3 floor[4] = {cVector3(-1, -1, -10), cVector3(1, -1, -10), cVector3(1, -1, 10), cVector3(-1, -1, 10)};
    ASSERT_TRUE(ProjectedBounds(floor, 4, vp, b));
    EXPECT_TRUE(WithinScreen(b));
    EXPECT_FLOAT_EQ(b.minY, -1.0f);
    EXPECT_NEAR(b.maxY, -0.1f, 1e-5f);
    const cVector3 atEye[3] = {cVector3(0, 0, 0), cVector3(1, 0.5f, -4), cVector3(-1, 0.5f, -4)};
    ASSERT_TRUE(ProjectedBounds(atEye, 3, vp, b));
    EXPECT_TRUE(WithinScreen(b));
    const cVector3 grazing[3] = {cVector3(0.5f, 0.5f, 1e-6f), cVector3(1, 0.5f, -4), cVector3(-1, -0.5f, -4)};
    ASSERT_TRUE(ProjectedBounds(grazing, 3, vp, b));
    EXPECT_TRUE(WithinScreen(b));
}

TEST(ScreenBounds, CornerCountsOutsideThreeToEightAreRefused) {
    const cMatrix vp = ViewProjection(cVector3(0, 0, 0), cVector3(0, 0, -1), 90.0, 1.0);
    cVector3 corners[9];
    for (int i = 0; i < 9; ++i) {
        const float a = static_cast<float>(i) * 2.0f * 3.14159265f / 9.0f;
        corners[i] = cVector3(std::cos(a), std::sin(a), -10.0f);
    }
    sScreenBounds b;
    EXPECT_FALSE(ProjectedBounds(corners, 2, vp, b));
    EXPECT_FALSE(ProjectedBounds(corners, 9, vp, b));
    EXPECT_FALSE(ProjectedBounds(corners, 0, vp, b));
    EXPECT_FALSE(ProjectedBounds(corners, -1, vp, b));
    EXPECT_FALSE(ProjectedBounds(nullptr, 4, vp, b));
    EXPECT_TRUE(ProjectedBounds(corners, 3, vp, b));
    EXPECT_TRUE(ProjectedBounds(corners, 8, vp, b));
}

TEST(ScreenBounds, PixelRectCountsRowsFromTheTopAndCoversPartlyCoveredPixels) {
    // The whole screen, the upper half (the top rows), the lower-left quarter.
    sPixelRect r = ToPixelRect(sScreenBounds{-1, -1, 1, 1}, 0.0f, 640, 480);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.width, 640);
    EXPECT_EQ(r.height, 480);
    r = ToPixelRect(sScreenBounds{-1, 0, 1, 1}, 0.0f, 640, 480);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.height, 240);
    r = ToPixelRect(sScreenBounds{-1, -1, 0, 0}, 0.0f, 640, 480);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 240);
    EXPECT_EQ(r.width, 320);
    EXPECT_EQ(r.height, 240);
    // A thin band just under the top: its rows are the first ones.
    r = ToPixelRect(sScreenBounds{0.5f, 0.875f, 0.75f, 0.9375f}, 0.0f, 400, 256);
    EXPECT_EQ(r.x, 300);
    EXPECT_EQ(r.width, 50);
    EXPECT_EQ(r.y, 8);
    EXPECT_EQ(r.height, 8);

    // Edges between pixels round outwards: columns 10.4..20.2 take 10..21.
    r = ToPixelRect(sScreenBounds{10.4f / 50.0f - 1.0f, -1, 20.2f / 50.0f - 1.0f, 1}, 0.0f, 100, 100);
    EXPECT_EQ(r.x, 10);
    EXPECT_EQ(r.width, 11);
}

TEST(ScreenBounds, PixelRectGrowsByTheMarginAndStaysInsideTheTarget) {
    // -0.5..0.5 grown by 0.25 each way: -0.75..0.75, pixels 80..560 of 640 and 60..420 of 480.
    sPixelRect r = ToPixelRect(sScreenBounds{-0.5f, -0.5f, 0.5f, 0.5f}, 0.25f, 640, 480);
    EXPECT_EQ(r.x, 80);
    EXPECT_EQ(r.width, 480);
    EXPECT_EQ(r.y, 60);
    EXPECT_EQ(r.height, 360);

    // Near a corner the margin stops at the target's edges.
    r = ToPixelRect(sScreenBounds{0.5f, 0.5f, 1.0f, 1.0f}, 0.5f, 640, 480);
    EXPECT_EQ(r.x, 320);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.width, 320);
    EXPECT_EQ(r.height, 240);
    r = ToPixelRect(sScreenBounds{0.75f, -1.0f, 1.0f, -0.75f}, 0.125f, 128, 128);
    EXPECT_EQ(r.x, 104);
    EXPECT_EQ(r.width, 24);
    EXPECT_EQ(r.y, 104);
    EXPECT_EQ(r.height, 24);

    // Margins far beyond the screen (or infinite) give the whole target, not an overflowed rectangle.
    for (const float margin : {1e6f, 1e30f, std::numeric_limits<float>::max(), std::numeric_limits<float>::infinity()}) {
        r = ToPixelRect(sScreenBounds{-0.1f, -0.1f, 0.1f, 0.1f}, margin, 1024, 512);
        EXPECT_EQ(r.x, 0) << margin;
        EXPECT_EQ(r.y, 0) << margin;
        EXPECT_EQ(r.width, 1024) << margin;
        EXPECT_EQ(r.height, 512) << margin;
    }
    // NaN bounds or margins (a camera at infinity) give a rectangle inside the target, not undefined pixels.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const sScreenBounds& b : {sScreenBounds{nan, nan, nan, nan}, sScreenBounds{-0.5f, nan, 0.5f, 0.5f}}) {
        r = ToPixelRect(b, 0.0f, 640, 480);
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.x + r.width, 640);
        EXPECT_LE(r.y + r.height, 480);
    }
    r = ToPixelRect(sScreenBounds{-0.5f, -0.5f, 0.5f, 0.5f}, nan, 640, 480);
    EXPECT_LE(r.x + r.width, 640);
    EXPECT_LE(r.y + r.height, 480);
    // A target of no size gives an empty rectangle; an inverted one no rows or columns.
    r = ToPixelRect(sScreenBounds{-1, -1, 1, 1}, 0.0f, 0, 480);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.height, 0);
    r = ToPixelRect(sScreenBounds{0.5f, 0.5f, -0.5f, -0.5f}, 0.0f, 640, 480);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.height, 0);
}

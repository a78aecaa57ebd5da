// Scalar helpers, vectors and rectangles.

#include "engine/core/MathUtil.h"
#include "engine/core/cRect.h"
#include "engine/core/cVector2.h"
#include "engine/core/cVector3.h"
#include "engine/core/cVector4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace velmora;

TEST(MathUtil, AnglesClampAndLerp) {
    EXPECT_DOUBLE_EQ(DegToRad(180.0), 3.141592653589793);
    EXPECT_DOUBLE_EQ(RadToDeg(DegToRad(37.5)), 37.5);
    EXPECT_EQ(Clamp(5, 0, 3), 3);
    // An unordered value must not slip through as NaN.
    EXPECT_FLOAT_EQ(Clamp(std::numeric_limits<float>::quiet_NaN(), 0.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(Lerp(2.0f, 6.0f, 0.25f), 3.0f);
}

TEST(Vector3, CrossProductIsRightHanded) {
    EXPECT_EQ(Cross(cVector3(1, 0, 0), cVector3(0, 1, 0)), cVector3(0, 0, 1));
    // The default camera: right = direction x up.
    EXPECT_EQ(Cross(cVector3(0, 0, -1), cVector3(0, 1, 0)), cVector3(1, 0, 0));
}

TEST(Vector3, NormalizeIsSafeOnZeroLength) {
    cVector3 v(3, 0, 4);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
    EXPECT_TRUE(v.Equals(cVector3(0.6f, 0, 0.8f)));

    cVector3 zero;
    EXPECT_EQ(zero.Normalize(), 0.0f);
    EXPECT_EQ(zero, cVector3(0, 0, 0));
    // Components too small to square in float precision still do not divide by zero.
    cVector3 tiny(1e-30f, 0, 0);
    tiny.Normalize();
    EXPECT_TRUE(std::isfinite(tiny.x));
    EXPECT_EQ(cVector3(std::numeric_limits<float>::infinity(), 0, 0).Normalized().y, 0.0f);
}

TEST(Vector3, ToleranceAndIndexAccess) {
    const cVector3 a(1, 2, 3);
    EXPECT_TRUE(a.Equals(cVector3(1.000001f, 2, 3)));
    EXPECT_FALSE(a.Equals(cVector3(1.01f, 2, 3)));
    EXPECT_TRUE(a.Equals(cVector3(1.01f, 2, 3), 0.02f));

    cVector3 v(1, 2, 3);
    v[1] = 7.0f;
    EXPECT_EQ(v.y, 7.0f);
    // Out-of-range indices land on the last component, never outside the object.
    EXPECT_EQ(v[3], 3.0f);
    EXPECT_EQ(v[-1], 3.0f);
    EXPECT_EQ(cVector4(1, 2, 3, 4)[9], 4.0f);
}

TEST(Vector4, HomogeneousDivide) {
    EXPECT_EQ(cVector4(cVector3(2, 4, 6), 2.0f).Project(), cVector3(1, 2, 3));
    // A direction (w = 0) is not divided.
    EXPECT_EQ(cVector4(1, 2, 3, 0).Project(), cVector3(1, 2, 3));
}

TEST(Rect, CornersInAnyOrderAndInclusiveTest) {
    const cRect r(10, 20, 110, 70);
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(110, 70));
    EXPECT_FALSE(r.Contains(110.01f, 45));
    EXPECT_FALSE(r.Contains(60, 19.99f));

    const cRect flipped(110, 70, 10, 20);
    EXPECT_FLOAT_EQ(flipped.GetWidth(), 100.0f);
    EXPECT_FLOAT_EQ(flipped.GetHeight(), 50.0f);
    EXPECT_TRUE(flipped.Contains(60, 45));
    EXPECT_EQ(flipped.Normalized(), r);

}

// cPlane and cBox.

#include "engine/core/cBox.h"
#include "engine/core/cPlane.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velmora;

TEST(Plane, FromThreePointsFollowsTheWinding) {
    // Counter-clockwise seen from above: the inside is above.
    const cPlane p = cPlane::FromPoints(cVector3(0, 3, 0), cVector3(1, 3, 0), cVector3(0, 3, -1));
    EXPECT_TRUE(p.Equals(cPlane(0, 1, 0, -3)));
    EXPECT_FLOAT_EQ(p.Distance(cVector3(5, 10, 5)), 7.0f);
    EXPECT_FLOAT_EQ(p.Distance(cVector3(-2, 3, 8)), 0.0f);
    EXPECT_LT(p.Distance(cVector3(0, 2, 0)), 0.0f);

    const cPlane reversed = cPlane::FromPoints(cVector3(0, 3, 0), cVector3(0, 3, -1), cVector3(1, 3, 0));
    EXPECT_GT(reversed.Distance(cVector3(0, 2, 0)), 0.0f);

    // Any three points: the normal has unit length and all three lie on the plane.
    const cVector3 a(1, -2, 4), b(3, 5, -1), c(-6, 2, 2);
    const cPlane q = cPlane::FromPoints(a, b, c);
    EXPECT_NEAR(q.GetNormal().Length(), 1.0f, 1e-6f);
    for (const cVector3& v : {a, b, c}) EXPECT_NEAR(q.Distance(v), 0.0f, 1e-5f);
}

TEST(Plane, DegenerateInputAndNormalize) {
    EXPECT_EQ(cPlane::FromPoints(cVector3(0, 0, 0), cVector3(1, 1, 1), cVector3(2, 2, 2)), cPlane());
    EXPECT_EQ(cPlane::FromPoints(cVector3(4, 4, 4), cVector3(4, 4, 4), cVector3(1, 0, 0)), cPlane());
    cPlane none;
    EXPECT_EQ(none.Normalize(), 0.0f);

    cPlane p = cPlane::FromPointNormal(cVector3(0, 0, 2), cVector3(0, 0, 10));
    EXPECT_FLOAT_EQ(p.Normalize(), 10.0f);
    EXPECT_FLOAT_EQ(p.Distance(cVector3(0, 0, 3)), 1.0f);
}

TEST(Plane, TransformCarriesThePlaneWithThePoints) {
    const cPlane ground(0, 1, 0, 0);
    cPlane lifted;
    ASSERT_TRUE(ground.Transform(cMatrix::Translation(0, 5, 0), lifted));
    EXPECT_NEAR(lifted.Distance(cVector3(3, 6, -2)), 1.0f, 1e-5f);

    // Sidedness and the plane equation are preserved for every point under a general transform.
    const cMatrix m = cMatrix::Scaling(2, 1, 0.5f) * cMatrix::RotationAxis(cVector3(1, 1, 0), 40) *
                      cMatrix::Translation(3, -1, 2);
    const cPlane slanted = cPlane::FromPoints(cVector3(1, 0, 0), cVector3(0, 1, 0), cVector3(0, 0, 1));
    cPlane moved;
    ASSERT_TRUE(slanted.Transform(m, moved));
    for (const cVector3& v : {cVector3(1, 0, 0), cVector3(2, 2, 2), cVector3(-1, 0.5f, 0)})
        EXPECT_NEAR(moved.Distance(m.TransformPoint(v)), slanted.Distance(v), 1e-4f);

    cPlane unchanged;
    EXPECT_FALSE(ground.Transform(cMatrix::Scaling(1, 0, 1), unchanged));
    EXPECT_EQ(unchanged, ground);
}

TEST(Plane, ClipSpaceConversionKeepsPointsOnThePlane) {
    // The renderer turns a world-space clip plane into clip space with the
    // transpose of the inverse of world x view x projection.
    const cMatrix wvp = cMatrix::LookAt(cVector3(0, 10, 20), cVector3(0, 0, 0), cVector3(0, 1, 0)) *
                        cMatrix::Perspective(60, 1.5, 0.5, 200);
    const cPlane water(0, 1, 0, -2);
    const cPlane clip = water.TransformByInverseTranspose(wvp.Inverse().Transposed());
    auto clipValue = [&](const cVector3& p) {
        const cVector4 c = cVector4(p, 1) * wvp;
        return clip.a * c.x + clip.b * c.y + clip.c * c.z + clip.d * c.w;
    };
    EXPECT_NEAR(clipValue(cVector3(4, 2, -3)), 0.0f, 1e-4f);
    EXPECT_GT(clipValue(cVector3(4, 3, -3)), 0.0f);
    EXPECT_LT(clipValue(cVector3(4, 1, -3)), 0.0f);
}

TEST(Box, EmptyUntilExtendedAndInclusive) {
    cBox box;
    EXPECT_TRUE(box.IsEmpty());
    EXPECT_FALSE(box.Contains(cVector3(0, 0, 0)));
    box.Extend(cVector3(1, 2, 3));
    EXPECT_FALSE(box.IsEmpty());
    EXPECT_EQ(box, cBox(1, 2, 3, 1, 2, 3));
    box.Extend(cVector3(-1, 5, 0));
    box.Extend(cBox());
    EXPECT_EQ(box, cBox(-1, 2, 0, 1, 5, 3));

    EXPECT_TRUE(box.Contains(cVector3(-1, 2, 0)));   // corner
    EXPECT_TRUE(box.Contains(cVector3(1, 3, 1.5f)));  // face
    EXPECT_FALSE(box.Contains(cVector3(1.0001f, 3, 1.5f)));
    EXPECT_EQ(cBox::FromCorners(cVector3(1, 5, 0), cVector3(-1, 2, 3)), box);
    EXPECT_EQ(cBox::FromCenter(box.GetCenter(), -box.GetHalfExtents()), box);
    EXPECT_EQ(box.GetCorner(1), cVector3(1, 2, 0));
    EXPECT_EQ(box.GetCorner(6), cVector3(-1, 5, 3));
}

TEST(Box, IntersectionAndContainment) {
    const cBox a(0, 0, 0, 2, 2, 2);
    EXPECT_TRUE(a.Intersects(cBox(1, 1, 1, 3, 3, 3)));
    EXPECT_TRUE(a.Intersects(cBox(2, 0, 0, 4, 2, 2)));  // touching faces
    EXPECT_FALSE(a.Intersects(cBox(2.01f, 0, 0, 4, 2, 2)));
    EXPECT_FALSE(a.Intersects(cBox(0, 3, 0, 2, 4, 2)));
    EXPECT_FALSE(a.Intersects(cBox()));
}

TEST(Box, TransformedEnclosesTheMovedCorners) {
    const cBox unit(-1, -1, -1, 1, 1, 1);
    const cBox turned = unit.Transformed(cMatrix::RotationY(45) * cMatrix::Translation(10, 0, 0));
    const float r = std::sqrt(2.0f);
    EXPECT_TRUE(turned.min.Equals(cVector3(10 - r, -1, -r)));
    EXPECT_TRUE(turned.max.Equals(cVector3(10 + r, 1, r)));

    // Against brute force over the corners for a mirrored, scaled, rotated matrix.
    const cBox box(1, -2, 0.5f, 4, 3, 2);
    const cMatrix m = cMatrix::Scaling(-2, 1, 0.5f) * cMatrix::RotationAxis(cVector3(1, 3, -2), 71) *
                      cMatrix::Translation(-5, 2, 9);
    cVector3 corners[8];
    box.GetCorners(corners);
    cBox expected;
    for (const cVector3& c : corners) expected.Extend(m.TransformPoint(c));
    const cBox got = box.Transformed(m);
    EXPECT_TRUE(got.min.Equals(expected.min, 1e-4f));
    EXPECT_TRUE(got.max.Equals(expected.max, 1e-4f));

    EXPECT_TRUE(cBox().Transformed(m).IsEmpty());
}

TEST(Box, RayIntersection) {
    const cBox box(0, 0, 0, 2, 2, 2);
    float t = -1.0f;
    EXPECT_TRUE(box.IntersectRay(cVector3(-3, 1, 1), cVector3(1, 0, 0), &t));
    EXPECT_FLOAT_EQ(t, 3.0f);
    EXPECT_FALSE(box.IntersectRay(cVector3(-3, 1, 1), cVector3(-1, 0, 0)));   // pointing away
    EXPECT_FALSE(box.IntersectRay(cVector3(-3, 3, 1), cVector3(1, 0, 0)));    // passes above
    EXPECT_TRUE(box.IntersectRay(cVector3(1, 1, 1), cVector3(0, 0, -1), &t)); // from inside
    EXPECT_FLOAT_EQ(t, 0.0f);
    // Grazing along a face counts (inclusive), even with zero direction components.
    EXPECT_TRUE(box.IntersectRay(cVector3(-1, 2, 2), cVector3(1, 0, 0)));
    EXPECT_FALSE(box.IntersectRay(cVector3(-1, 1, 1), cVector3(0, 0, 0)));
    EXPECT_FALSE(cBox().IntersectRay(cVector3(0, 0, 0), cVector3(1, 0, 0)));
}

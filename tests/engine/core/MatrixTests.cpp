// cMatrix: row-vector conventions, inverse, projections and the view matrix.

#include "engine/core/cMatrix.h"
#include "engine/core/cPlane.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velmora;

namespace {

::testing::AssertionResult Near(const cVector3& a, const cVector3& b, float tol = 1e-4f) {
    if (a.Equals(b, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", "
                                         << b.y << ", " << b.z << ")";
}

bool Near(const cMatrix& a, const cMatrix& b, float tol = 1e-4f) { return a.Equals(b, tol); }

cMatrix SomeWorld() {
    return cMatrix::Scaling(2.0f, 0.5f, 3.0f) * cMatrix::RotationAxis(cVector3(1, 2, -1), 33.0f) *
           cMatrix::Translation(4, -7, 12);
}

} // namespace

TEST(Matrix, LeftOperandIsAppliedFirst) {
    const cMatrix translate = cMatrix::Translation(10, 0, 0);
    EXPECT_EQ(translate.m[12], 10.0f);
    EXPECT_EQ(translate.TransformDirection(cVector3(1, 1, 1)), cVector3(1, 1, 1));
    const cMatrix turn = cMatrix::RotationY(90.0f);
    // Move out along x, then swing about the y axis: x turns into -z.
    EXPECT_TRUE(Near((translate * turn).TransformPoint(cVector3(0, 0, 0)), cVector3(0, 0, -10)));
    // Turn in place, then move.
    EXPECT_TRUE(Near((turn * translate).TransformPoint(cVector3(0, 0, 0)), cVector3(10, 0, 0)));
    // p * (A * B) == (p * A) * B for a full chain.
    const cVector3 p(1.5f, -2, 0.25f);
    const cMatrix a = SomeWorld(), b = cMatrix::RotationX(-20.0f) * cMatrix::Translation(0, 3, 0);
    EXPECT_TRUE(Near((a * b).TransformPoint(p), b.TransformPoint(a.TransformPoint(p))));
}

TEST(Matrix, RotationsAreCounterClockwiseAboutTheirAxis) {
    EXPECT_TRUE(Near(cMatrix::RotationX(90).TransformDirection(cVector3(0, 1, 0)), cVector3(0, 0, 1)));
    EXPECT_TRUE(Near(cMatrix::RotationY(90).TransformDirection(cVector3(0, 0, -1)), cVector3(-1, 0, 0)));
    EXPECT_TRUE(Near(cMatrix::RotationZ(90).TransformDirection(cVector3(1, 0, 0)), cVector3(0, 1, 0)));
    // The axis form agrees with the fixed axes, and does not mind an unnormalised axis.
    EXPECT_TRUE(Near(cMatrix::RotationAxis(cVector3(3, 0, 0), 25), cMatrix::RotationX(25)));
    EXPECT_TRUE(Near(cMatrix::RotationAxis(cVector3(0, 1, 0), -70), cMatrix::RotationY(-70)));
    EXPECT_TRUE(Near(cMatrix::RotationAxis(cVector3(0, 0, 0.5f), 140), cMatrix::RotationZ(140)));
    // 120 degrees about the diagonal cycles the axes x -> y -> z.
    EXPECT_TRUE(Near(cMatrix::RotationAxis(cVector3(1, 1, 1), 120).TransformDirection(cVector3(1, 0, 0)),
                     cVector3(0, 1, 0)));
    EXPECT_TRUE(cMatrix::RotationAxis(cVector3(0, 0, 0), 45).IsIdentity());
}

TEST(Matrix, InverseRoundTrips) {
    const cMatrix world = SomeWorld();
    const cMatrix projection = cMatrix::Perspective(70.0, 1.6, 0.05, 500.0);
    const cMatrix view = cMatrix::LookAt(cVector3(3, 8, 2), cVector3(-4, 0, -9), cVector3(0, 1, 0));
    for (const cMatrix& m : {world, projection, view, world * view * projection}) {
        cMatrix inverse;
        ASSERT_TRUE(m.Invert(inverse));
        EXPECT_TRUE(Near(m * inverse, cMatrix(), 1e-3f));
        EXPECT_TRUE(Near(inverse * m, cMatrix(), 1e-3f));
    }
    // A small uniform scale is not mistaken for a singular matrix.
    bool ok = false;
    const cMatrix small = cMatrix::Scaling(1e-3f) * cMatrix::Translation(1000, 0, 0);
    EXPECT_TRUE(Near(small.Inverse(&ok) * small, cMatrix()));
    EXPECT_TRUE(ok);
}

TEST(Matrix, SingularMatricesAreReported) {
    cMatrix out = cMatrix::Translation(1, 2, 3);
    EXPECT_FALSE(cMatrix::Scaling(1, 0, 1).Invert(out));
    EXPECT_TRUE(out.IsIdentity());

    // Dependent rows without any zero element.
    cMatrix dependent(1, 2, 3, 4, 2, 4, 6, 8, 5, 1, 7, 2, 3, 3, 1, 1);
    bool ok = true;
    EXPECT_TRUE(dependent.Inverse(&ok).IsIdentity());
    EXPECT_FALSE(ok);
    EXPECT_FLOAT_EQ(dependent.Determinant(), 0.0f);
    EXPECT_NEAR(cMatrix::Scaling(2, 3, 4).Determinant(), 24.0f, 1e-4f);
}

TEST(Matrix, MemoryIsTheOpenGLColumnMajorMatrix) {
    // OpenGL computes M * v with M stored column by column; with our sixteen
    // floats handed over unchanged that must equal v * M in our convention.
    const cMatrix m = SomeWorld() * cMatrix::Perspective(75, 1.25, 0.1, 100);
    const float* gl = m.Data();
    const float v[4] = {0.3f, -1.2f, -4.0f, 1.0f};
    float glResult[4];
    for (int row = 0; row < 4; ++row) {
        glResult[row] = 0.0f;
        for (int col = 0; col < 4; ++col) glResult[row] += gl[col * 4 + row] * v[col];
    }
    const cVector4 ours = cVector4(v[0], v[1], v[2], v[3]) * m;
    EXPECT_TRUE(ours.Equals(cVector4(glResult[0], glResult[1], glResult[2], glResult[3]), 1e-4f));
}

TEST(Matrix, PerspectiveMapsNearAndFarToTheClipDepthRange) {
    const double fov = 90.0, aspect = 2.0, zn = 0.05, zf = 500.0;
    const cMatrix p = cMatrix::Perspective(fov, aspect, zn, zf);
    // The element layout of the engine's formula (f = 1 for 90 degrees).
    EXPECT_FLOAT_EQ(p.m[0], 0.5f);
    EXPECT_FLOAT_EQ(p.m[5], 1.0f);
    EXPECT_FLOAT_EQ(p.m[11], -1.0f);
    EXPECT_EQ(p.m[15], 0.0f);

    EXPECT_NEAR(p.TransformCoord(cVector3(0, 0, -zn)).z, -1.0f, 1e-5f);
    EXPECT_NEAR(p.TransformCoord(cVector3(0, 0, -zf)).z, 1.0f, 1e-4f);
    // The view volume's corner at depth 10 (aspect 2, 45 degrees up) reaches the ndc edges.
    const cVector3 corner = p.TransformCoord(cVector3(20, 10, -10));
    EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
    EXPECT_NEAR(corner.y, 1.0f, 1e-5f);
    // Clip w is the distance in front of the eye.
    EXPECT_NEAR((cVector4(0, 0, -7, 1) * p).w, 7.0f, 1e-5f);

    // Unusable parameters fall back to the identity instead of dividing by zero.
    EXPECT_TRUE(cMatrix::Perspective(90, 0, 0.1, 100).IsIdentity());
    EXPECT_TRUE(cMatrix::Perspective(90, 1.3, 5, 5).IsIdentity());
    EXPECT_TRUE(cMatrix::Perspective(0, 1.3, 0.1, 100).IsIdentity());
    EXPECT_TRUE(cMatrix::Orthographic(0, 0, 0, 600, -1, 1).IsIdentity());
}

TEST(Matrix, OrthographicCoversTheGivenBox) {
    const cMatrix o = cMatrix::Orthographic(0, 800, 0, 600, -1, 1);
    EXPECT_TRUE(Near(o.TransformCoord(cVector3(400, 300, 0)), cVector3(0, 0, 0)));
    EXPECT_TRUE(Near(o.TransformCoord(cVector3(0, 0, 1)), cVector3(-1, -1, -1)));
    EXPECT_TRUE(Near(o.TransformCoord(cVector3(800, 600, -1)), cVector3(1, 1, 1)));
    EXPECT_GT(o.TransformCoord(cVector3(900, 300, 0)).x, 1.0f);
}

TEST(Matrix, LookAtBuildsARightHandedView) {
    // Looking down -z from (1, 2, 3): a plain translation.
    const cMatrix plain = cMatrix::LookAt(cVector3(1, 2, 3), cVector3(1, 2, -7), cVector3(0, 1, 0));
    EXPECT_TRUE(Near(plain, cMatrix::Translation(-1, -2, -3)));

    // Looking down +x: the target lies ahead (-z in view space) and world +z is to the right.
    const cMatrix east = cMatrix::LookAt(cVector3(0, 0, 0), cVector3(10, 0, 0), cVector3(0, 1, 0));
    EXPECT_TRUE(Near(east.TransformPoint(cVector3(10, 0, 0)), cVector3(0, 0, -10)));
    EXPECT_TRUE(Near(east.TransformPoint(cVector3(10, 0, 5)), cVector3(5, 0, -10)));
    EXPECT_TRUE(Near(east.TransformPoint(cVector3(10, 3, 0)), cVector3(0, 3, -10)));

    // The renderer's camera-less view: up = -y mirrors x and y.
    const cMatrix flipped = cMatrix::LookAt(cVector3(0, 0, 0), cVector3(0, 0, -1), cVector3(0, -1, 0));
    EXPECT_TRUE(Near(flipped.TransformPoint(cVector3(1, 2, -1)), cVector3(-1, -2, -1)));
}

TEST(Matrix, LookAtAlongTheUpVectorStaysUsable) {
    const cVector3 eye(2, 0, 1);
    const cMatrix up = cMatrix::LookAt(eye, cVector3(2, 9, 1), cVector3(0, 1, 0));
    for (float e : up.m) EXPECT_TRUE(std::isfinite(e));
    EXPECT_NEAR(std::fabs(up.Determinant()), 1.0f, 1e-5f);
    EXPECT_TRUE(Near(up.TransformPoint(cVector3(2, 9, 1)), cVector3(0, 0, -9)));
}

TEST(Matrix, CameraPipelineProducesExpectedClipCoordinates) {
    // Camera at (5, 1, 0) looking at (0, 1, 0); near 1, far 21.
    const cMatrix view = cMatrix::LookAt(cVector3(5, 1, 0), cVector3(0, 1, 0), cVector3(0, 1, 0));
    const cMatrix vp = view * cMatrix::Perspective(90, 1, 1, 21);
    const cVector3 nearPoint = vp.TransformCoord(cVector3(4, 1, 0));
    const cVector3 farPoint = vp.TransformCoord(cVector3(-16, 1, 0));
    EXPECT_TRUE(Near(nearPoint, cVector3(0, 0, -1)));
    EXPECT_TRUE(Near(farPoint, cVector3(0, 0, 1)));
    // Behind the camera w turns negative.
    EXPECT_LT((cVector4(8, 1, 0, 1) * vp).w, 0.0f);
    // 45 degrees up at distance 3 sits on the top edge.
    EXPECT_NEAR(vp.TransformCoord(cVector3(2, 4, 0)).y, 1.0f, 1e-5f);
}

TEST(Matrix, ReflectionMirrorsAboutAPlane) {
    const float level = 2.0f;
    const cMatrix mirror = cMatrix::Reflection(cPlane(0, 1, 0, -level));
    EXPECT_TRUE(Near(mirror.TransformPoint(cVector3(3, 5, 7)), cVector3(3, -1, 7)));
    // Same as flipping y and lifting by twice the level (the water pass's form).
    EXPECT_TRUE(Near(mirror, cMatrix::Scaling(1, -1, 1) * cMatrix::Translation(0, 2 * level, 0)));
    // An unnormalised plane describes the same mirror.
    EXPECT_TRUE(Near(cMatrix::Reflection(cPlane(0, 4, 0, -4 * level)), mirror));
    EXPECT_TRUE(Near(mirror * mirror, cMatrix()));
    EXPECT_NEAR(mirror.Determinant(), -1.0f, 1e-6f);

    // A slanted plane: its points stay, the normal flips.
    const cPlane slant = cPlane::FromPointNormal(cVector3(1, 1, 1), cVector3(1, 1, 0).Normalized());
    const cMatrix m = cMatrix::Reflection(slant);
    EXPECT_TRUE(Near(m.TransformPoint(cVector3(1, 1, 1)), cVector3(1, 1, 1)));
    EXPECT_NEAR(slant.Distance(m.TransformPoint(cVector3(3, 2, 0))), -slant.Distance(cVector3(3, 2, 0)), 1e-5f);
    EXPECT_TRUE(cMatrix::Reflection(cPlane(0, 0, 0, 1)).IsIdentity());
}

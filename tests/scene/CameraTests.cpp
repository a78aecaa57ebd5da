#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/cMatrix.h"
#include "scene/camera/cCamera.h"
#include "scene/camera/cFrustum.h"

using namespace velmora;
using namespace velmora::scene;

namespace {

void ExpectVec(const cVector3& v, float x, float y, float z, float tol = 1e-5f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

cFrustum PerspectiveFrustum(const cVector3& eye, const cVector3& at) {
    cFrustum f;
    f.Build(cMatrix::LookAt(eye, at, cVector3(0, 1, 0)) * cMatrix::Perspective(90.0, 1.0, 1.0, 100.0));
    return f;
}

} // namespace

TEST(CameraTest, NewCameraMovesAndTurns) {
    cCamera camera;
    ExpectVec(camera.direction, 0, 0, -1);
    ExpectVec(camera.up, 0, 1, 0);
    ExpectVec(camera.right, 1, 0, 0);
    EXPECT_DOUBLE_EQ(camera.GetFieldOfView(), 90.0);
    EXPECT_DOUBLE_EQ(camera.GetAspectRatio(), 0.0);
    EXPECT_DOUBLE_EQ(camera.GetNearDistance(), 0.001);
    EXPECT_DOUBLE_EQ(camera.GetFarDistance(), 1000.0);
    camera.MoveForward(2.0f);
    ExpectVec(camera.position, 0, 0, -2);
    camera.MoveRight(1.5f);
    ExpectVec(camera.position, 1.5f, 0, -2);

    camera.Rotate(90.0f, 0, 1, 0);
    ExpectVec(camera.direction, -1, 0, 0);
    ExpectVec(camera.right, 1, 0, 0); // right and up stay
    // A non-unit axis is normalised first: the same turn about (0, 2, 0) ... 
    cCamera other;
    other.Rotate(90.0f, 0, 2, 0);
    ExpectVec(other.direction, -1, 0, 0);
    // ... but an axis whose components sum to one is used as it is (here it scales the result).
    cCamera odd;
    odd.Rotate(180.0f, 0.5f, 0.5f, 0.0f);
    EXPECT_NEAR(odd.direction.Length(), 0.5f, 1e-5f);
}

TEST(CameraTest, LookAtSetsDirectionAndAnUnnormalisedRight) {
    cCamera camera;
    camera.position = cVector3(1, 2, 3);
    camera.LookAt(cVector3(1, 2, -7));
    ExpectVec(camera.direction, 0, 0, -1);
    ExpectVec(camera.right, 1, 0, 0);
    camera.LookAt(cVector3(4, 6, 3)); // (3, 4, 0) away
    ExpectVec(camera.direction, 0.6f, 0.8f, 0.0f);
    ExpectVec(camera.right, 0.0f, 0.0f, 0.6f);
    camera.LookAt(cVector3(1, 10, 3)); // straight up: right collapses
    EXPECT_NEAR(camera.right.Length(), 0.0f, 1e-6f);
    ExpectVec(camera.direction, 0, 1, 0);
}

TEST(FrustumTest, OrthographicScreenBox) {
    cFrustum f;
    f.Build(cMatrix::Orthographic(0, 800, 0, 600, -1, 1));
    EXPECT_TRUE(f.ContainsPoint(cVector3(400, 300, 0)));
    EXPECT_FALSE(f.ContainsPoint(cVector3(900, 300, 0)));
    EXPECT_FALSE(f.ContainsPoint(cVector3(800, 300, 0))); // on a plane counts as outside
    for (int i = 0; i < 6; ++i) {
        const cPlane& p = f.GetPlane(i);
        EXPECT_NEAR(std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c), 1.0f, 1e-5f);
    }
    // Right plane points to -x and passes through x = 800.
    EXPECT_NEAR(f.GetPlane(cFrustum::kRight).a, -1.0f, 1e-5f);
    EXPECT_NEAR(f.GetPlane(cFrustum::kRight).d, 800.0f, 1e-3f);
}

TEST(FrustumTest, PerspectivePointsSpheresAndBoxes) {
    const cFrustum f = PerspectiveFrustum(cVector3(0, 0, 0), cVector3(0, 0, -1));
    EXPECT_TRUE(f.ContainsPoint(cVector3(0, 0, -10)));
    EXPECT_FALSE(f.ContainsPoint(cVector3(0, 0, 10)));   // behind
    EXPECT_FALSE(f.ContainsPoint(cVector3(0, 0, -0.5f))); // before near
    EXPECT_FALSE(f.ContainsPoint(cVector3(0, 0, -150)));  // beyond far
    EXPECT_FALSE(f.ContainsPoint(cVector3(20, 0, -10)));  // 90 degrees: |x| < |z|
    EXPECT_TRUE(f.ContainsSphere(cVector3(11, 0, -10), 2.0f));
    EXPECT_FALSE(f.ContainsSphere(cVector3(20, 0, -10), 2.0f));
    const float record[4] = {0, 0, -10, 1};
    EXPECT_TRUE(f.ContainsSphere(record));

    EXPECT_TRUE(f.ContainsBox(cVector3(-1, -1, -11), cVector3(1, 1, -9)));      // inside
    EXPECT_FALSE(f.ContainsBox(cVector3(-1, -1, 5), cVector3(1, 1, 9)));        // behind
    EXPECT_TRUE(f.ContainsBox(cVector3(5, -1, -11), cVector3(15, 1, -9)));      // straddles the right plane
    // Straddling the right plane ends the test early, so a box beyond the far
    // plane that also straddles the right plane is reported visible.
    EXPECT_TRUE(f.ContainsBox(cVector3(150, -1, -300), cVector3(350, 1, -200)));
    // A box only beyond the far plane is culled.
    EXPECT_FALSE(f.ContainsBox(cVector3(-1, -1, -300), cVector3(1, 1, -200)));
}

TEST(FrustumTest, PlacedBoxesFollowTheirMatrix) {
    const cFrustum f = PerspectiveFrustum(cVector3(0, 0, 0), cVector3(0, 0, -1));
    const cVector3 mn(-1, -1, -1), mx(1, 1, 1);
    EXPECT_TRUE(f.ContainsBox(mn, mx, cMatrix::Translation(0, 0, -10)));
    EXPECT_FALSE(f.ContainsBox(mn, mx, cMatrix::Translation(0, 0, 10)));
    // A long thin box rotated into view.
    const cVector3 thinMin(-0.1f, -0.1f, -20), thinMax(0.1f, 0.1f, 20);
    EXPECT_FALSE(f.ContainsBox(thinMin, thinMax, cMatrix::Translation(40, 0, 0)));
    EXPECT_TRUE(f.ContainsBox(thinMin, thinMax, cMatrix::RotationY(90.0f) * cMatrix::Translation(0, 0, -30)));
}

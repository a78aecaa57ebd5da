// cQuaternion: agreement with cMatrix rotations, products and interpolation.

#include "engine/core/cQuaternion.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velmora;

namespace {

struct sAxisAngle {
    cVector3 axis;
    float degrees;
};

const sAxisAngle kRotations[] = {
    {cVector3(1, 0, 0), 30},   {cVector3(0, 1, 0), -75},  {cVector3(0, 0, 1), 160},
    {cVector3(1, 2, 3), 47},   {cVector3(-2, 1, 0.5f), 200}, {cVector3(1, 0, 0), 180},
    {cVector3(0, 1, 0), 180},  {cVector3(0, 0, 1), 180},  {cVector3(1, 1, 0), 180},
    {cVector3(0, 1, 0), 0},
};

} // namespace

TEST(Quaternion, AxisAngleRotatesLikeTheMatrix) {
    // Turning the default view direction left by 90 degrees about y.
    const cQuaternion left = cQuaternion::FromAxisAngle(cVector3(0, 1, 0), 90);
    EXPECT_TRUE(left.Rotate(cVector3(0, 0, -1)).Equals(cVector3(-1, 0, 0)));

    for (const sAxisAngle& r : kRotations) {
        const cQuaternion q = cQuaternion::FromAxisAngle(r.axis, r.degrees);
        const cMatrix m = cMatrix::RotationAxis(r.axis, r.degrees);
        EXPECT_TRUE(q.ToMatrix().Equals(m, 1e-5f)) << r.degrees;
        const cVector3 v(0.3f, -1.7f, 2.2f);
        EXPECT_TRUE(q.Rotate(v).Equals(m.TransformDirection(v), 1e-4f)) << r.degrees;
    }
    EXPECT_EQ(cQuaternion::FromAxisAngle(cVector3(0, 0, 0), 50), cQuaternion());
}

TEST(Quaternion, MatrixRoundTripIncludingHalfTurns) {
    for (const sAxisAngle& r : kRotations) {
        const cQuaternion q = cQuaternion::FromAxisAngle(r.axis, r.degrees);
        EXPECT_TRUE(cQuaternion::FromMatrix(q.ToMatrix()).SameRotation(q, 1e-5f))
            << r.axis.x << " " << r.axis.y << " " << r.axis.z << " " << r.degrees;
    }
    // Scale in front of the rotation and a translation do not disturb it.
    const cQuaternion q = cQuaternion::FromAxisAngle(cVector3(3, -1, 2), 110);
    const cMatrix world = cMatrix::Scaling(2, 5, 0.25f) * q.ToMatrix() * cMatrix::Translation(7, 8, 9);
    EXPECT_TRUE(cQuaternion::FromMatrix(world).SameRotation(q, 1e-5f));
    EXPECT_EQ(cQuaternion::FromMatrix(cMatrix::Scaling(0, 1, 1)), cQuaternion());
}

TEST(Quaternion, ProductComposesRightOperandFirst) {
    const cQuaternion a = cQuaternion::FromAxisAngle(cVector3(1, 0, 0), 90);
    const cQuaternion b = cQuaternion::FromAxisAngle(cVector3(0, 1, 0), 90);
    const cVector3 v(0, 0, -1);
    EXPECT_TRUE((a * b).Rotate(v).Equals(a.Rotate(b.Rotate(v))));
    EXPECT_TRUE((a * b).ToMatrix().Equals(b.ToMatrix() * a.ToMatrix(), 1e-5f));
    EXPECT_FALSE((a * b).SameRotation(b * a));
    EXPECT_TRUE((a * a.Inverse()).SameRotation(cQuaternion()));
    EXPECT_TRUE(cQuaternion(0, 0, 0, 0).ToMatrix().IsIdentity());
}

TEST(Quaternion, SlerpEndpointsAndConstantSpeed) {
    const cVector3 y(0, 1, 0);
    const cQuaternion from = cQuaternion::FromAxisAngle(y, 10);
    const cQuaternion to = cQuaternion::FromAxisAngle(y, 130);
    EXPECT_TRUE(Slerp(from, to, 0.0f).SameRotation(from));
    EXPECT_TRUE(Slerp(from, to, 1.0f).SameRotation(to));
    EXPECT_TRUE(Slerp(from, to, 0.5f).SameRotation(cQuaternion::FromAxisAngle(y, 70)));
    EXPECT_TRUE(Slerp(from, to, 0.25f).SameRotation(cQuaternion::FromAxisAngle(y, 40)));

    // The same end rotation given with the opposite sign: still the short way round.
    EXPECT_TRUE(Slerp(from, -to, 0.5f).SameRotation(cQuaternion::FromAxisAngle(y, 70)));
    // From 0 to 300 degrees the short way passes -30 degrees.
    EXPECT_TRUE(Slerp(cQuaternion(), cQuaternion::FromAxisAngle(y, 300), 0.5f)
                    .SameRotation(cQuaternion::FromAxisAngle(y, -30)));
    // Nearly identical inputs stay finite.
    const cQuaternion almost = cQuaternion::FromAxisAngle(y, 10.0001f);
    const cQuaternion mid = Slerp(from, almost, 0.5f);
    EXPECT_TRUE(std::isfinite(mid.x) && std::isfinite(mid.w));
    EXPECT_NEAR(mid.Length(), 1.0f, 1e-6f);
}

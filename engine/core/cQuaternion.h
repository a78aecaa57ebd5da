#pragma once
// Rotation quaternion (x, y, z, w): vector part x, y, z and scalar part w.
//
// operator* is the Hamilton product. A unit quaternion q rotates a vector v
// as q v q*, and (a * b) rotates by b first, then by a. Because matrices
// apply the left operand first, ToMatrix(a * b) == b.ToMatrix() * a.ToMatrix().

#include "engine/core/cMatrix.h"
#include "engine/core/cVector3.h"

namespace velmora {

class cQuaternion {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;

    // The identity rotation (0, 0, 0, 1).
    constexpr cQuaternion() = default;
    constexpr cQuaternion(float qx, float qy, float qz, float qw) : x(qx), y(qy), z(qz), w(qw) {}

    // Rotation by degrees about an axis (normalised here; a zero axis gives
    // the identity): (axis * sin(h), cos(h)) with h = half the angle in radians.
    static cQuaternion FromAxisAngle(const cVector3& axis, float degrees);
    // The rotation of a matrix's upper 3x3 part. Its rows are normalised
    // first, so a scale applied before the rotation (Scaling * rotation, the
    // usual world matrix) is ignored; a row of zeros gives the identity.
    static cQuaternion FromMatrix(const cMatrix& m);
    // The rotation matrix (row-vector convention, no translation). The
    // quaternion is normalised first; the zero quaternion gives the identity.
    cMatrix ToMatrix() const;

    // Hamilton product.
    cQuaternion operator*(const cQuaternion& o) const;
    cQuaternion& operator*=(const cQuaternion& o) { return *this = *this * o; }
    constexpr cQuaternion operator-() const { return cQuaternion(-x, -y, -z, -w); }

    constexpr cQuaternion Conjugate() const { return cQuaternion(-x, -y, -z, w); }
    // The multiplicative inverse; the zero quaternion stays zero.
    cQuaternion Inverse() const;
    float Length() const;
    // Scales to unit length and returns the previous length; the zero
    // quaternion becomes the identity and 0 is returned.
    float Normalize();
    cQuaternion Normalized() const { cQuaternion q(*this); q.Normalize(); return q; }

    // The vector rotated by this quaternion, q v q* (normalised internally).
    cVector3 Rotate(const cVector3& v) const;

    // Same rotation: the components agree within tolerance up to a common sign.
    bool SameRotation(const cQuaternion& o, float tolerance = kEpsilon) const;
    bool Equals(const cQuaternion& o, float tolerance = kEpsilon) const;
    constexpr bool operator==(const cQuaternion& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    constexpr bool operator!=(const cQuaternion& o) const { return !(*this == o); }
};

constexpr float Dot(const cQuaternion& a, const cQuaternion& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

// Spherical interpolation along the shorter arc: a at t = 0, the rotation of
// b at t = 1 (possibly as -b), constant angular speed in between. Inputs are
// normalised; nearly equal inputs fall back to normalised linear blending.
cQuaternion Slerp(const cQuaternion& a, const cQuaternion& b, float t);

} // namespace velmora

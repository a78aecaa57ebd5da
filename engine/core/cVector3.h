#pragma once
// Three-component float vector: positions, directions, normals. The world is
// right-handed with y up; x and z span the ground; the default view looks
// down -z.

#include "engine/core/MathUtil.h"

#include <cmath>

namespace velmora {

class cVector3 {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f;

    constexpr cVector3() = default;
    constexpr cVector3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}

    // Component access: 0 x, 1 y, 2 z; any other index reads and writes z.
    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    constexpr cVector3 operator-() const { return cVector3(-x, -y, -z); }
    constexpr cVector3 operator+(const cVector3& o) const { return cVector3(x + o.x, y + o.y, z + o.z); }
    constexpr cVector3 operator-(const cVector3& o) const { return cVector3(x - o.x, y - o.y, z - o.z); }
    constexpr cVector3 operator*(float s) const { return cVector3(x * s, y * s, z * s); }
    constexpr cVector3 operator/(float s) const { return cVector3(x / s, y / s, z / s); }
    cVector3& operator+=(const cVector3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    cVector3& operator-=(const cVector3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    cVector3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    cVector3& operator/=(float s) { x /= s; y /= s; z /= s; return *this; }

    // Exact comparison.
    constexpr bool operator==(const cVector3& o) const { return x == o.x && y == o.y && z == o.z; }
    constexpr bool operator!=(const cVector3& o) const { return !(*this == o); }
    // Every component within tolerance.
    bool Equals(const cVector3& o, float tolerance = kEpsilon) const {
        return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance && std::fabs(z - o.z) <= tolerance;
    }

    // Component-wise product.
    constexpr cVector3 Multiply(const cVector3& o) const { return cVector3(x * o.x, y * o.y, z * o.z); }

    constexpr float LengthSquared() const { return x * x + y * y + z * z; }
    float Length() const { return std::sqrt(LengthSquared()); }

    // Scales to unit length and returns the previous length. A zero (or
    // non-finite) length leaves the vector unchanged and returns 0.
    float Normalize() {
        const float len = Length();
        if (!(len > 0.0f) || !std::isfinite(len)) return 0.0f;
        x /= len; y /= len; z /= len;
        return len;
    }
    // A unit-length copy; the zero vector stays zero.
    cVector3 Normalized() const { cVector3 v(*this); v.Normalize(); return v; }

    // Component-wise minimum and maximum.
    static constexpr cVector3 Min(const cVector3& a, const cVector3& b) {
        return cVector3(a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z);
    }
    static constexpr cVector3 Max(const cVector3& a, const cVector3& b) {
        return cVector3(a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y, a.z > b.z ? a.z : b.z);
    }
};

constexpr cVector3 operator*(float s, const cVector3& v) { return v * s; }
constexpr float Dot(const cVector3& a, const cVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// Right-handed cross product: Cross(x axis, y axis) = z axis.
constexpr cVector3 Cross(const cVector3& a, const cVector3& b) {
    return cVector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline float Distance(const cVector3& a, const cVector3& b) { return (b - a).Length(); }
constexpr float DistanceSquared(const cVector3& a, const cVector3& b) { return (b - a).LengthSquared(); }
// a at t = 0, b at t = 1.
constexpr cVector3 Lerp(const cVector3& a, const cVector3& b, float t) { return a + (b - a) * t; }

static_assert(sizeof(cVector3) == 3 * sizeof(float), "cVector3 must stay three packed floats");

} // namespace velmora

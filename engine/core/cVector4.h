#pragma once
// Four-component float vector: homogeneous points (clip coordinates) and
// packed shader constants.

#include "engine/core/MathUtil.h"
#include "engine/core/cVector3.h"

#include <cmath>

namespace velmora {

class cVector4 {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;

    constexpr cVector4() = default;
    constexpr cVector4(float vx, float vy, float vz, float vw) : x(vx), y(vy), z(vz), w(vw) {}
    // A point (w = 1) or a direction (w = 0) from three components.
    constexpr cVector4(const cVector3& v, float vw) : x(v.x), y(v.y), z(v.z), w(vw) {}

    // Component access: 0 x, 1 y, 2 z, 3 w; any other index reads and writes w.
    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }

    // The first three components.
    constexpr cVector3 XYZ() const { return cVector3(x, y, z); }
    // x, y, z divided by w; unchanged when w is 0.
    cVector3 Project() const { return w != 0.0f ? cVector3(x / w, y / w, z / w) : XYZ(); }

    constexpr cVector4 operator-() const { return cVector4(-x, -y, -z, -w); }
    constexpr cVector4 operator+(const cVector4& o) const { return cVector4(x + o.x, y + o.y, z + o.z, w + o.w); }
    constexpr cVector4 operator-(const cVector4& o) const { return cVector4(x - o.x, y - o.y, z - o.z, w - o.w); }
    constexpr cVector4 operator*(float s) const { return cVector4(x * s, y * s, z * s, w * s); }
    constexpr cVector4 operator/(float s) const { return cVector4(x / s, y / s, z / s, w / s); }
    cVector4& operator+=(const cVector4& o) { x += o.x; y += o.y; z += o.z; w += o.w; return *this; }
    cVector4& operator-=(const cVector4& o) { x -= o.x; y -= o.y; z -= o.z; w -= o.w; return *this; }
    cVector4& operator*=(float s) { x *= s; y *= s; z *= s; w *= s; return *this; }
    cVector4& operator/=(float s) { x /= s; y /= s; z /= s; w /= s; return *this; }

    // Exact comparison.
    constexpr bool operator==(const cVector4& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    constexpr bool operator!=(const cVector4& o) const { return !(*this == o); }
    // Every component within tolerance.
    bool Equals(const cVector4& o, float tolerance = kEpsilon) const {
        return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance &&
               std::fabs(z - o.z) <= tolerance && std::fabs(w - o.w) <= tolerance;
    }

    // Component-wise product.
    constexpr cVector4 Multiply(const cVector4& o) const { return cVector4(x * o.x, y * o.y, z * o.z, w * o.w); }

    constexpr float LengthSquared() const { return x * x + y * y + z * z + w * w; }
    float Length() const { return std::sqrt(LengthSquared()); }

    // Scales to unit length (all four components) and returns the previous
    // length. A zero (or non-finite) length leaves the vector unchanged and returns 0.
    float Normalize() {
        const float len = Length();
        if (!(len > 0.0f) || !std::isfinite(len)) return 0.0f;
        x /= len; y /= len; z /= len; w /= len;
        return len;
    }
    // A unit-length copy; the zero vector stays zero.
    cVector4 Normalized() const { cVector4 v(*this); v.Normalize(); return v; }
};

constexpr cVector4 operator*(float s, const cVector4& v) { return v * s; }
constexpr float Dot(const cVector4& a, const cVector4& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }
// a at t = 0, b at t = 1.
constexpr cVector4 Lerp(const cVector4& a, const cVector4& b, float t) { return a + (b - a) * t; }

static_assert(sizeof(cVector4) == 4 * sizeof(float), "cVector4 must stay four packed floats");

} // namespace velmora

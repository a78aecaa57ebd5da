#pragma once
// Two-component float vector (texture coordinates, screen positions).

#include "engine/core/MathUtil.h"

#include <cmath>

namespace velmora {

class cVector2 {
public:
    float x = 0.0f, y = 0.0f;

    constexpr cVector2() = default;
    constexpr cVector2(float vx, float vy) : x(vx), y(vy) {}

    // Component access: 0 x, 1 y; any other index reads and writes y.
    float& operator[](int i) { return i == 0 ? x : y; }
    float operator[](int i) const { return i == 0 ? x : y; }

    constexpr cVector2 operator-() const { return cVector2(-x, -y); }
    constexpr cVector2 operator+(const cVector2& o) const { return cVector2(x + o.x, y + o.y); }
    constexpr cVector2 operator-(const cVector2& o) const { return cVector2(x - o.x, y - o.y); }
    constexpr cVector2 operator*(float s) const { return cVector2(x * s, y * s); }
    constexpr cVector2 operator/(float s) const { return cVector2(x / s, y / s); }
    cVector2& operator+=(const cVector2& o) { x += o.x; y += o.y; return *this; }
    cVector2& operator-=(const cVector2& o) { x -= o.x; y -= o.y; return *this; }
    cVector2& operator*=(float s) { x *= s; y *= s; return *this; }
    cVector2& operator/=(float s) { x /= s; y /= s; return *this; }

    // Exact comparison.
    constexpr bool operator==(const cVector2& o) const { return x == o.x && y == o.y; }
    constexpr bool operator!=(const cVector2& o) const { return !(*this == o); }
    // Every component within tolerance.
    bool Equals(const cVector2& o, float tolerance = kEpsilon) const {
        return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance;
    }

    // Component-wise product.
    constexpr cVector2 Multiply(const cVector2& o) const { return cVector2(x * o.x, y * o.y); }

    constexpr float LengthSquared() const { return x * x + y * y; }
    float Length() const { return std::sqrt(LengthSquared()); }

    // Scales to unit length and returns the previous length. A zero (or
    // non-finite) length leaves the vector unchanged and returns 0.
    float Normalize() {
        const float len = Length();
        if (!(len > 0.0f) || !std::isfinite(len)) return 0.0f;
        x /= len; y /= len;
        return len;
    }
    // A unit-length copy; the zero vector stays zero.
    cVector2 Normalized() const { cVector2 v(*this); v.Normalize(); return v; }
};

constexpr cVector2 operator*(float s, const cVector2& v) { return v * s; }
constexpr float Dot(const cVector2& a, const cVector2& b) { return a.x * b.x + a.y * b.y; }
inline float Distance(const cVector2& a, const cVector2& b) { return (b - a).Length(); }
// a at t = 0, b at t = 1.
constexpr cVector2 Lerp(const cVector2& a, const cVector2& b, float t) { return a + (b - a) * t; }

static_assert(sizeof(cVector2) == 2 * sizeof(float), "cVector2 must stay two packed floats");

} // namespace velmora

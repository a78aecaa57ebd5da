#pragma once
// Scalar helpers shared by the math types. Every interface of the engine takes
// angles in degrees; radians appear only inside the implementations.

#include <cmath>

namespace velmora {

// The engine's value of pi.
constexpr double kPi = 3.141592653589793;

// Default tolerance of the approximate comparisons (Equals, IsNearlyEqual).
constexpr float kEpsilon = 1e-5f;

// Degrees to radians and back.
constexpr double DegToRad(double degrees) { return degrees / 180.0 * kPi; }
constexpr float DegToRad(float degrees) { return static_cast<float>(degrees / 180.0 * kPi); }
constexpr double RadToDeg(double radians) { return radians / kPi * 180.0; }
constexpr float RadToDeg(float radians) { return static_cast<float>(radians / kPi * 180.0); }

// value limited to [low, high]; low is returned when value compares unordered (NaN).
template <typename T>
constexpr T Clamp(T value, T low, T high) {
    if (!(value >= low)) return low;
    if (value > high) return high;
    return value;
}

// a at t = 0, b at t = 1; t is not limited.
constexpr float Lerp(float a, float b, float t) { return a + (b - a) * t; }
constexpr double Lerp(double a, double b, double t) { return a + (b - a) * t; }

// |a - b| <= tolerance.
inline bool IsNearlyEqual(float a, float b, float tolerance = kEpsilon) { return std::fabs(a - b) <= tolerance; }

} // namespace velmora

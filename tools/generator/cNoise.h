#pragma once
// Gradient noise for the island's shapes and textures. Every function is a
// pure function of its arguments and the seed, so the same seed draws the same
// island. The periodic variants tile with the given period (in noise cells),
// which the layer textures use to repeat without seams.

#include <cstdint>

namespace brevonne {

class cNoise {
public:
    explicit cNoise(std::uint32_t seed = 0) : m_Seed(seed) {}

    // Gradient noise in about -1..1.
    float Gradient(float x, float y) const;
    // Gradient noise repeating every periodX by periodY cells.
    float Gradient(float x, float y, int periodX, int periodY) const;
    // Fractal sum of octaves (each at double frequency and gain times the amplitude), about -1..1.
    float Fbm(float x, float y, int octaves, float gain = 0.5f) const;
    // Fractal sum that repeats every period cells at the base frequency.
    float FbmTiled(float x, float y, int period, int octaves, float gain = 0.5f) const;
    // Ridged fractal noise in 0..1: sharp crests where the noise crosses zero.
    float Ridged(float x, float y, int octaves, float gain = 0.5f) const;
    // Cellular (Worley) distance to the nearest feature point, repeating every period cells; about 0..1.
    float Cellular(float x, float y, int period) const;
    // A hash of integer coordinates in 0..1.
    float Hash(int x, int y, int salt = 0) const;

private:
    float Grad(int ix, int iy, float fx, float fy) const;
    std::uint32_t m_Seed;
};

// Smooth Hermite step of x between e0 and e1.
float SmoothStep(float e0, float e1, float x);
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
inline float Clamp(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }
inline float Saturate(float x) { return Clamp(x, 0.0f, 1.0f); }

} // namespace brevonne

#include "tools/generator/cNoise.h"

#include <cmath>

namespace brevonne {

namespace {

std::uint32_t HashInts(std::uint32_t seed, int x, int y)
{
    std::uint32_t h = seed * 0x27d4eb2dU;
    h ^= static_cast<std::uint32_t>(x) * 0x85ebca6bU;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xc2b2ae35U;
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

int Wrap(int v, int period)
{
    if (period <= 0)
        return v;
    int r = v % period;
    return r < 0 ? r + period : r;
}

} // namespace

float SmoothStep(float e0, float e1, float x)
{
    if (e0 == e1)
        return x < e0 ? 0.0f : 1.0f;
    float t = Saturate((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

float cNoise::Hash(int x, int y, int salt) const
{
    return static_cast<float>(HashInts(m_Seed + static_cast<std::uint32_t>(salt) * 7919u, x, y) >> 8) * (1.0f / 16777216.0f);
}

float cNoise::Grad(int ix, int iy, float fx, float fy) const
{
    // Sixteen evenly spread unit directions.
    static const float kDirs[16][2] = {
        {1.0f, 0.0f}, {0.92388f, 0.38268f}, {0.70711f, 0.70711f}, {0.38268f, 0.92388f},
        {0.0f, 1.0f}, {-0.38268f, 0.92388f}, {-0.70711f, 0.70711f}, {-0.92388f, 0.38268f},
        {-1.0f, 0.0f}, {-0.92388f, -0.38268f}, {-0.70711f, -0.70711f}, {-0.38268f, -0.92388f},
        {0.0f, -1.0f}, {0.38268f, -0.92388f}, {0.70711f, -0.70711f}, {0.92388f, -0.38268f}};
    const float* d = kDirs[HashInts(m_Seed, ix, iy) & 15u];
    return d[0] * fx + d[1] * fy;
}

float cNoise::Gradient(float x, float y) const { return Gradient(x, y, 0, 0); }

float cNoise::Gradient(float x, float y, int periodX, int periodY) const
{
    float flx = std::floor(x), fly = std::floor(y);
    int ix = static_cast<int>(flx), iy = static_cast<int>(fly);
    float fx = x - flx, fy = y - fly;
    int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    float n00 = Grad(x0, y0, fx, fy);
    float n10 = Grad(x1, y0, fx - 1.0f, fy);
    float n01 = Grad(x0, y1, fx, fy - 1.0f);
    float n11 = Grad(x1, y1, fx - 1.0f, fy - 1.0f);
    float u = Fade(fx), v = Fade(fy);
    return 1.41421f * Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v);
}

float cNoise::Fbm(float x, float y, int octaves, float gain) const
{
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        // Each octave is shifted so the lattice points of the octaves do not line up.
        sum += amp * Gradient(x + 17.31f * o, y - 9.77f * o);
        norm += amp;
        amp *= gain;
        x *= 2.0f;
        y *= 2.0f;
    }
    return sum / norm;
}

float cNoise::FbmTiled(float x, float y, int period, int octaves, float gain) const
{
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        float shift = static_cast<float>(o * 7);
        sum += amp * Gradient(x + shift, y + shift, period, period);
        norm += amp;
        amp *= gain;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
    }
    return sum / norm;
}

float cNoise::Ridged(float x, float y, int octaves, float gain) const
{
    float sum = 0.0f, amp = 1.0f, norm = 0.0f, weight = 1.0f;
    for (int o = 0; o < octaves; ++o) {
        float n = 1.0f - std::fabs(Gradient(x + 31.7f * o, y + 11.3f * o));
        n *= n;
        n *= weight;
        weight = Saturate(n * 1.5f);
        sum += amp * n;
        norm += amp;
        amp *= gain;
        x *= 2.0f;
        y *= 2.0f;
    }
    return sum / norm;
}

float cNoise::Cellular(float x, float y, int period) const
{
    float flx = std::floor(x), fly = std::floor(y);
    int ix = static_cast<int>(flx), iy = static_cast<int>(fly);
    float best = 10.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = ix + dx, cy = iy + dy;
            int hx = Wrap(cx, period), hy = Wrap(cy, period);
            float px = static_cast<float>(cx) + Hash(hx, hy, 1);
            float py = static_cast<float>(cy) + Hash(hx, hy, 2);
            float d = (px - x) * (px - x) + (py - y) * (py - y);
            if (d < best)
                best = d;
        }
    }
    return std::sqrt(best);
}

} // namespace brevonne

#include "tools/generator/LifeTextures.h"

#include <algorithm>
#include <cmath>

#include "tools/generator/cNoise.h"

namespace brevonne {

namespace {

// How far inside an ellipse (1 at the centre, 0 on the outline, negative outside).
float Inside(float x, float y, float cx, float cy, float rx, float ry, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    float dx = x - cx, dy = y - cy;
    float u = (dx * c + dy * s) / rx, v = (-dx * s + dy * c) / ry;
    return 1.0f - std::sqrt(u * u + v * v);
}

// Piecewise linear through (x0, y0), (x1, y1), ... for x in [x0, xn].
float Through(const float* xs, const float* ys, int n, float x)
{
    if (x <= xs[0])
        return ys[0];
    for (int i = 1; i < n; ++i)
        if (x <= xs[i])
            return Lerp(ys[i - 1], ys[i], (x - xs[i - 1]) / (xs[i] - xs[i - 1]));
    return ys[n - 1];
}

} // namespace

cImage PaintButterfly(int size, eButterflyKind kind)
{
    const sColor blue(0.15f, 0.45f, 0.95f), orange(0.98f, 0.55f, 0.08f);
    const sColor main = kind == BUTTERFLY_BLUE ? blue : orange;
    const sColor border(0.05f, 0.04f, 0.05f);
    cImage img(size, size, sColor(main.r, main.g, main.b, 0.0f));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // d: distance from the body (0) to the tip (1); v: head (0) to tail (1).
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            float d = std::fabs(u - 0.5f) * 2.0f;
            float fore = Inside(d, v, 0.52f, 0.30f, 0.50f, 0.25f, -0.35f);
            float hind = Inside(d, v, 0.36f, 0.66f, 0.36f, 0.27f, 0.30f);
            float wing = std::max(fore, hind);
            bool body = d < 0.07f && v > 0.08f && v < 0.88f;
            sColor& px = img.At(x, y);
            if (body) {
                px = sColor(0.12f, 0.10f, 0.08f, 1.0f);
                continue;
            }
            if (wing <= 0.0f)
                continue;
            sColor c = main;
            if (kind == BUTTERFLY_BLUE) {
                // Bright towards the body, deepening outwards, a black margin with white dots.
                c = LerpColor(sColor(0.35f, 0.75f, 1.0f), blue, Saturate(d * 1.3f));
                if (wing < 0.22f)
                    c = border;
                if (wing < 0.16f && wing > 0.06f && std::fmod(v * 11.0f + d * 3.0f, 1.0f) < 0.3f)
                    c = sColor(0.95f, 0.95f, 0.9f);
            } else {
                // Orange cells between black veins, a black margin with white spots.
                float vein = std::fabs(std::sin((std::atan2(v - 0.5f, d) * 5.0f)));
                if (vein < 0.12f)
                    c = border;
                if (wing < 0.2f)
                    c = border;
                if (wing < 0.14f && wing > 0.05f && std::fmod(v * 9.0f + d * 4.0f, 1.0f) < 0.35f)
                    c = sColor(0.98f, 0.96f, 0.9f);
            }
            px = sColor(c.r, c.g, c.b, 1.0f);
        }
    return img;
}

cImage PaintGull(int width, int height)
{
    // The bird's frame in half spans: x across (-1 left tip .. 1 right tip), z forward. The texture covers
    // z from +0.30 (v = 0, the head) to -0.32 (v = 1, the tail), as the birds lay it.
    const float wingX[5] = {0.0f, 0.45f, 0.75f, 0.93f, 1.0f};
    const float leading[5] = {0.08f, 0.12f, 0.05f, -0.06f, -0.13f};
    const float trailing[5] = {-0.13f, -0.12f, -0.12f, -0.13f, -0.14f};
    const sColor white(0.96f, 0.97f, 0.98f), grey(0.74f, 0.78f, 0.83f), black(0.08f, 0.08f, 0.1f);
    cImage img(width, height, sColor(grey.r, grey.g, grey.b, 0.0f));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float u = (x + 0.5f) / width, v = (y + 0.5f) / height;
            float ax = std::fabs(u - 0.5f) * 2.0f;
            float z = 0.30f - v * 0.62f;
            sColor& px = img.At(x, y);
            // Body: a round head, a slim middle, a short squared tail.
            float bodyHalf = z > 0.18f ? 0.055f * std::sqrt(Saturate((0.28f - z) / 0.10f)) : (z > -0.18f ? 0.06f : 0.075f * Saturate((z + 0.31f) / 0.13f));
            bool body = z < 0.28f && z > -0.31f && ax < bodyHalf;
            if (body) {
                px = white;
                // The beak.
                if (z > 0.25f)
                    px = sColor(0.95f, 0.78f, 0.2f);
                continue;
            }
            float lead = Through(wingX, leading, 5, ax), trail = Through(wingX, trailing, 5, ax);
            if (ax > 1.0f || z > lead || z < trail)
                continue;
            // Light grey on top, a white trailing edge, black tips with a white spot.
            sColor c = grey;
            if (z < trail + 0.025f)
                c = white;
            if (ax > 0.78f) {
                c = black;
                float sx = ax - 0.9f, sz = z - (lead + trail) * 0.5f;
                if (sx * sx + sz * sz * 4.0f < 0.0009f)
                    c = white;
            }
            px = sColor(c.r, c.g, c.b, 1.0f);
        }
    return img;
}

} // namespace brevonne

#include "tools/generator/MaterialTextures.h"

#include <algorithm>
#include <cmath>

#include "tools/generator/cNoise.h"
#include "tools/generator/cRandom.h"

namespace brevonne {

namespace {

// Centres the picture on middle grey so that adding it to the colour map keeps that colour on average.
void CenterOnGrey(cImage& img, float contrast)
{
    sColor mean = img.Mean();
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x) {
            sColor& c = img.At(x, y);
            c = sColor(0.5f + (c.r - mean.r) * contrast, 0.5f + (c.g - mean.g) * contrast, 0.5f + (c.b - mean.b) * contrast, 1.0f);
        }
}

} // namespace

cImage PaintGroundLayer(eGround kind, int size, std::uint32_t seed)
{
    // Grey: the colour map carries the ground's colour, the layers only its grain. Grey layers tiled at one
    // scale are packed into one texture by the engine and cost one lookup instead of four.
    cNoise n(seed);
    cImage img(size, size);
    const int P = 8; // noise periods across the tile
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = static_cast<float>(x) / size * P, v = static_cast<float>(y) / size * P;
            sColor c;
            switch (kind) {
            case eGround::Sand: {
                float grain = n.Hash(x, y, 3) - 0.5f;
                // A whole number of ripples across the tile (2.25 x 8), so its edges meet without a step.
                float ripple = std::sin((v * 2.25f + 0.6f * n.FbmTiled(u * 0.5f, v * 0.5f, P / 2, 3)) * 3.14159f * 2.0f);
                float patch = n.FbmTiled(u, v, P, 4);
                float t = 0.5f + 0.14f * grain + 0.035f * ripple * (0.5f + 0.5f * patch) + 0.12f * patch;
                c = sColor(t, t, t);
                break;
            }
            case eGround::WetSand: {
                // Damp, packed sand: darker and smoother than the dry sand, with backwash streaks and a
                // scatter of small pebbles and shell bits. Only some cells carry one, and they differ
                // little from the sand, so the tiling does not show as a regular pattern of dots.
                // Which pebbles show and how light they are come from smooth tiled noise rather than
                // from the cell a pixel lies in: a pebble straddles cells and would be cut in two.
                float cell = n.Cellular(u * 3.0f, v * 3.0f, P * 3);
                float keep = n.FbmTiled(u * 2.0f + 11.0f, v * 2.0f, P * 2, 2);
                float pebble = SmoothStep(0.22f, 0.12f, cell) * SmoothStep(0.05f, 0.25f, keep);
                float shade = 0.5f + n.FbmTiled(u * 4.0f + 5.0f, v * 4.0f, P * 4, 1);
                float grain = n.Hash(x, y, 4) - 0.5f;
                float streak = n.FbmTiled(u * 0.6f, v * 4.0f, P * 4, 3);
                float t = 0.46f + 0.07f * grain + 0.06f * n.FbmTiled(u, v, P, 3) + 0.03f * streak;
                float p = 0.36f + 0.16f * shade + 0.05f * (0.2f - cell);
                t = Lerp(t, p, 0.8f * pebble);
                c = sColor(t, t, t);
                break;
            }
            case eGround::Grass: {
                // Short blades seen from above: fine and without a direction, or the whole lawn shows
                // streaks running one way across the island.
                float blades = n.FbmTiled(u * 5.0f, v * 5.0f, P * 5, 3);
                float clumps = n.FbmTiled(u, v, P, 4);
                float t = 0.5f + 0.16f * blades + 0.12f * clumps + 0.06f * (n.Hash(x, y, 5) - 0.5f);
                c = sColor(t, t, t);
                break;
            }
            case eGround::Jungle: {
                // Leaf litter: blotches of old and fresh leaves at two scales, darker gaps between them.
                float big = n.FbmTiled(u * 1.5f, v * 1.5f, P * 3 / 2, 4);
                float leaves = n.FbmTiled(u * 5.0f + 3.0f, v * 5.0f, P * 5, 3);
                float gaps = SmoothStep(0.05f, -0.25f, leaves);
                float t = 0.45f + 0.16f * big + 0.14f * SmoothStep(-0.1f, 0.3f, leaves) - 0.14f * gaps + 0.05f * (n.Hash(x, y, 8) - 0.5f);
                c = sColor(t, t, t);
                break;
            }
            case eGround::Rock: {
                // Weathered basalt: lumpy body, fine grain and thin cracks where a noise crosses zero.
                float body = n.FbmTiled(u, v, P, 5);
                float crackNoise = n.FbmTiled(u * 1.5f + 7.0f, v * 1.5f, P * 3 / 2, 3);
                float crack = SmoothStep(0.035f, 0.0f, std::fabs(crackNoise));
                float fine = n.Hash(x, y, 6) - 0.5f;
                float t = 0.5f + 0.2f * body + 0.06f * fine - 0.2f * crack;
                c = sColor(t, t, t);
                break;
            }
            }
            img.At(x, y) = c;
        }
    CenterOnGrey(img, kind == eGround::Rock ? 1.0f : 0.85f);
    return img;
}

cImage PaintWaterSurface(int size, std::uint32_t seed)
{
    cNoise n(seed + 7);
    cImage img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = static_cast<float>(x) / size * 4, v = static_cast<float>(y) / size * 4;
            float w = n.FbmTiled(u, v, 4, 5, 0.55f);
            float caustic = 1.0f - std::fabs(n.FbmTiled(u * 2.0f + 3.0f, v * 2.0f, 8, 3));
            float t = 0.78f + 0.12f * w + 0.12f * std::pow(caustic, 6.0f);
            img.At(x, y) = sColor(t * 0.92f, t * 0.98f, t);
        }
    return img;
}

cImage PaintWaterDistortion(int size, std::uint32_t seed)
{
    cNoise n(seed + 13);
    const int P = 4;
    std::vector<float> h(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = static_cast<float>(x) / size * P, v = static_cast<float>(y) / size * P;
            // Both octaves repeat exactly once per tile, so the distortion has no seam at the edges.
            h[static_cast<std::size_t>(y) * size + x] = n.FbmTiled(u, v, P, 4, 0.5f) + 0.5f * n.FbmTiled(u * 2.0f + 5.0f, v * 2.0f, P * 2, 2);
        }
    cImage img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            auto at = [&](int xx, int yy) { return h[static_cast<std::size_t>((yy + size) % size) * size + (xx + size) % size]; };
            float dx = (at(x + 1, y) - at(x - 1, y)) * size / 16.0f;
            float dy = (at(x, y + 1) - at(x, y - 1)) * size / 16.0f;
            img.At(x, y) = sColor(Saturate(0.5f + 0.5f * std::tanh(dx)), Saturate(0.5f + 0.5f * std::tanh(dy)), 1.0f);
        }
    return img;
}

cImage PaintFlare(int index, int size)
{
    cImage img(size, size, sColor(0, 0, 0, 0));
    // Colours of the ghost reflections along the flare line.
    static const sColor tints[7] = {sColor(1.0f, 0.95f, 0.85f), sColor(0.55f, 0.75f, 1.0f), sColor(0.7f, 1.0f, 0.7f), sColor(1.0f, 0.7f, 0.45f),
                                    sColor(0.6f, 0.6f, 1.0f), sColor(1.0f, 0.85f, 0.55f), sColor(0.55f, 0.95f, 0.95f)};
    const sColor& tint = tints[index % 7];
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f) / size * 2.0f - 1.0f, dy = (y + 0.5f) / size * 2.0f - 1.0f;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = 0.0f;
            switch (index) {
            case 0: { // the sun's glow with soft rays
                float ang = std::atan2(dy, dx);
                float rays = 0.5f + 0.5f * std::cos(ang * 6.0f) * std::cos(ang * 3.0f + 1.0f);
                a = std::exp(-r * r * 9.0f) * 0.9f + 0.25f * rays * std::exp(-r * 3.5f) * (1.0f - SmoothStep(0.8f, 1.0f, r));
                break;
            }
            case 1: a = 0.35f * (1.0f - SmoothStep(0.7f, 0.95f, r)) * (0.4f + 0.6f * r); break;               // soft disc, brighter rim
            case 2: a = 0.45f * std::exp(-std::pow((r - 0.78f) / 0.08f, 2.0f)); break;                        // thin ring
            case 3: { // hexagon
                float ang = std::atan2(dy, dx);
                float sector = std::fmod(ang + 3.14159f * 2.0f, 3.14159f / 3.0f) - 3.14159f / 6.0f;
                float edge = r * std::cos(sector) / std::cos(3.14159f / 6.0f);
                a = 0.3f * (1.0f - SmoothStep(0.8f, 0.9f, edge));
                break;
            }
            case 4: a = 0.5f * std::exp(-r * r * 12.0f); break;                                              // small bright blob
            case 5: a = 0.28f * (1.0f - SmoothStep(0.85f, 0.98f, r)) * SmoothStep(0.3f, 0.9f, r); break;     // halo
            default: a = 0.4f * std::exp(-std::pow((r - 0.5f) / 0.18f, 2.0f)); break;                        // broad ring
            }
            img.At(x, y) = sColor(tint.r, tint.g, tint.b, Saturate(a));
        }
    return img;
}

cImage PaintProgressCell(int size, bool lit)
{
    cImage img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f) / size - 0.5f, dy = (y + 0.5f) / size - 0.5f;
            float edge = std::max(std::fabs(dx), std::fabs(dy));
            float bevel = 1.0f - SmoothStep(0.36f, 0.5f, edge);
            float grad = 0.5f + dy;
            sColor c = lit ? LerpColor(sColor(0.05f, 0.55f, 0.62f), sColor(0.45f, 0.92f, 0.88f), grad) : LerpColor(sColor(0.22f, 0.25f, 0.27f), sColor(0.38f, 0.41f, 0.43f), grad);
            img.At(x, y) = sColor(c.r * (0.55f + 0.45f * bevel), c.g * (0.55f + 0.45f * bevel), c.b * (0.55f + 0.45f * bevel), 1.0f);
        }
    return img;
}

} // namespace brevonne

#include "tools/generator/SurfMap.h"

#include <algorithm>
#include <cmath>

#include "tools/generator/cNoise.h"

namespace brevonne {

sSurfPoint SurfAt(const cHeightField& field, float x, float z)
{
    const sIslandLayout& l = field.GetLayout();
    float d = -field.CoastValue(x, z);
    float cw = field.CliffWeight(x, z);
    float bw = 1.0f - cw;
    float lagoonW = bw * SmoothStep(0.35f, 0.75f, bw);
    sSurfPoint p;
    // The shore: open beaches moderate, the lagoon's beach sheltered by the reef, the cliffs pounded.
    p.strength = Lerp(Lerp(0.6f, 0.25f, lagoonW), 0.95f, cw);
    p.reach = Lerp(Lerp(0.8f, 0.45f, lagoonW), 3.0f, cw);
    // The reef crest, where the ocean swell breaks first (its gaps are too deep for foam).
    float across = (d - l.reefOffset) / 4.5f;
    float reef = lagoonW * std::exp(-across * across);
    p.strength = std::max(p.strength, reef);
    p.reach = std::max(p.reach, 1.6f * reef);
    // The islet stands in the open sea outside the reef.
    float di = std::hypot(x - l.isletX, z - l.isletZ);
    float islet = SmoothStep(l.isletRadius + 14.0f, l.isletRadius + 6.0f, di);
    p.strength = Lerp(p.strength, 0.7f, islet);
    p.reach = Lerp(p.reach, 0.9f, islet);
    return p;
}

cImage PaintSurfMap(const cHeightField& field)
{
    const int size = field.GetSize();
    cImage img(size, size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            sSurfPoint p = SurfAt(field, static_cast<float>(i), static_cast<float>(j));
            img.At(i, j) = sColor(Saturate(p.strength), Saturate(p.reach / kSurfReachScale), 0.0f, 1.0f);
        }
    return img;
}

cImage PaintFoam(int size, std::uint32_t seed)
{
    cNoise n(seed + 4242);
    cImage img(size, size);
    const int cells = 12;
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            float x = static_cast<float>(i) / size, y = static_cast<float>(j) / size;
            // Lace: foam along the borders of bubbles, in patches that come and go.
            float bubbles = n.Cellular(x * cells, y * cells, cells);
            float fine = n.Cellular(x * cells * 2.5f + 0.5f, y * cells * 2.5f, static_cast<int>(cells * 2.5f));
            float patches = n.FbmTiled(x * 4.0f, y * 4.0f, 4, 4);
            float lace = SmoothStep(0.18f, 0.55f, bubbles) * (0.55f + 0.45f * SmoothStep(0.1f, 0.5f, fine));
            float a = lace * SmoothStep(-0.45f, 0.25f, patches);
            img.At(i, j) = sColor(1.0f, 1.0f, 1.0f, Saturate(0.3f + 0.9f * a));
        }
    return img;
}

sVec3 StrongestSurf(const cHeightField& field, bool cliffs)
{
    const float L = field.GetLayout().waterLevel;
    const int size = field.GetSize();
    float best = -1.0f;
    sVec3 at(field.GetLayout().centerX, L, field.GetLayout().centerZ);
    for (int j = 1; j + 1 < size; ++j)
        for (int i = 1; i + 1 < size; ++i) {
            float x = static_cast<float>(i), z = static_cast<float>(j);
            float depth = L - field.Height(x, z);
            // Shore points only: just under water with land beside them.
            if (depth <= 0.0f || depth > 1.0f)
                continue;
            if (field.Height(x + 1, z) < L && field.Height(x - 1, z) < L && field.Height(x, z + 1) < L && field.Height(x, z - 1) < L)
                continue;
            if ((field.CliffWeight(x, z) > 0.5f) != cliffs)
                continue;
            sSurfPoint p = SurfAt(field, x, z);
            if (p.strength > best + 1e-4f) {
                best = p.strength;
                at = sVec3(x, L, z);
            }
        }
    return at;
}

} // namespace brevonne

#include "tools/generator/VegetationTextures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/generator/cNoise.h"
#include "tools/generator/cRandom.h"

namespace brevonne {

namespace {

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by, float& along)
{
    float vx = bx - ax, vy = by - ay;
    float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? Saturate(((px - ax) * vx + (py - ay) * vy) / len2) : 0.0f;
    along = t;
    float dx = px - (ax + vx * t), dy = py - (ay + vy * t);
    return std::sqrt(dx * dx + dy * dy);
}

// Where alpha is zero, fill the colour from the nearest covered texels so filtering has nothing dark to mix.
void BleedColor(cImage& img, const sColor& fallback)
{
    int w = img.GetWidth(), h = img.GetHeight();
    for (int pass = 0; pass < 6; ++pass) {
        cImage next = img;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (img.At(x, y).a > 0.02f)
                    continue;
                sColor acc(0, 0, 0, 0);
                float n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int xx = std::clamp(x + dx, 0, w - 1), yy = std::clamp(y + dy, 0, h - 1);
                        const sColor& c = img.At(xx, yy);
                        if (c.a > 0.02f || c.r + c.g + c.b > 0.0f) {
                            acc = acc + sColor(c.r, c.g, c.b, 0) * 1.0f;
                            n += 1;
                        }
                    }
                if (n > 0)
                    next.At(x, y) = sColor(acc.r / n, acc.g / n, acc.b / n, img.At(x, y).a);
            }
        img = next;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            sColor& c = img.At(x, y);
            if (c.a <= 0.02f && c.r + c.g + c.b <= 0.0f)
                c = sColor(fallback.r, fallback.g, fallback.b, c.a);
        }
}

} // namespace

cImage PaintFeatherLeaf(int width, int height, std::uint32_t seed, bool fern)
{
    cRandom rnd(seed, 31);
    cNoise noise(seed);
    cImage img(width, height, sColor(0, 0, 0, 0));
    float cx = width * 0.5f;
    struct sLeaflet {
        float ax, ay, bx, by, w;
        sColor c;
    };
    std::vector<sLeaflet> leaflets;
    float stepPx = fern ? height / 34.0f : height / 46.0f;
    sColor base = fern ? sColor(0.30f, 0.55f, 0.16f) : sColor(0.30f, 0.48f, 0.13f);
    for (float y0 = height * 0.06f; y0 < height * 0.97f; y0 += stepPx) {
        float v = y0 / height;
        float shape = fern ? std::pow(std::sin(3.14159f * (0.15f + 0.85f * v)), 0.8f) : std::pow(std::sin(3.14159f * (0.08f + 0.92f * v)), 0.55f);
        for (int side = -1; side <= 1; side += 2) {
            float len = (0.47f * width) * shape * rnd.Range(0.85f, 1.05f);
            float ang = fern ? rnd.Range(0.25f, 0.4f) : rnd.Range(0.55f, 0.75f); // tilt towards the tip
            sLeaflet l;
            l.ax = cx + side * 1.5f;
            l.ay = y0;
            l.bx = cx + side * len * std::cos(ang * 0.6f);
            l.by = y0 + len * std::sin(ang);
            l.w = fern ? rnd.Range(2.4f, 3.2f) * width / 128.0f : rnd.Range(2.2f, 3.0f) * width / 256.0f * 1.6f;
            float shade = rnd.Range(-0.06f, 0.06f);
            float dry = rnd.Uniform() < (fern ? 0.02f : 0.06f) ? 1.0f : 0.0f;
            l.c = LerpColor(base + sColor(shade, shade * 1.2f, shade * 0.5f, 0), sColor(0.62f, 0.55f, 0.25f), 0.6f * dry);
            leaflets.push_back(l);
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float bestCover = 0.0f;
            sColor bestColor;
            for (const sLeaflet& l : leaflets) {
                if (py < l.ay - 4 || py > l.by + 4)
                    continue;
                float along;
                float d = SegmentDistance(px, py, l.ax, l.ay, l.bx, l.by, along);
                float w = l.w * (1.0f - 0.75f * along) + 0.4f;
                float cover = 1.0f - SmoothStep(w - 0.8f, w + 0.6f, d);
                if (cover > bestCover) {
                    bestCover = cover;
                    // Lighter towards the leaflet tips, a lighter crease in the middle.
                    float crease = 1.0f - SmoothStep(0.0f, w * 0.5f, d);
                    bestColor = LerpColor(l.c, l.c + sColor(0.18f, 0.16f, 0.06f, 0), along * 0.7f) + sColor(0.05f, 0.06f, 0.02f, 0) * crease;
                }
            }
            // The midrib.
            float rib = std::fabs(px - cx);
            float ribW = (fern ? 1.6f : 2.8f) * (1.0f - 0.6f * py / height) * width / (fern ? 128.0f : 256.0f) + 0.5f;
            float ribCover = (py < height * 0.99f) ? 1.0f - SmoothStep(ribW - 0.5f, ribW + 0.7f, rib) : 0.0f;
            if (ribCover > 0.0f && ribCover >= bestCover * 0.8f) {
                bestColor = LerpColor(bestColor, fern ? sColor(0.35f, 0.5f, 0.18f) : sColor(0.62f, 0.64f, 0.32f), ribCover);
                bestCover = std::max(bestCover, ribCover);
            }
            float n = 0.04f * noise.Fbm(px / 6.0f, py / 6.0f, 2);
            img.At(x, y) = sColor(bestColor.r + n, bestColor.g + n, bestColor.b + 0.5f * n, bestCover);
        }
    }
    BleedColor(img, base);
    return img;
}

cImage PaintBroadLeaves(int size, std::uint32_t seed)
{
    cRandom rnd(seed, 41);
    cImage img(size, size, sColor(0, 0, 0, 0));
    // Leaves from the back to the front, each an ellipse-like blade with a midrib and a few veins.
    for (int leaf = 0; leaf < 46; ++leaf) {
        float cx = rnd.Range(0.18f, 0.82f) * size, cy = rnd.Range(0.15f, 0.85f) * size;
        float len = rnd.Range(0.16f, 0.26f) * size, wid = len * rnd.Range(0.32f, 0.42f);
        float ang = rnd.Range(0.0f, 6.2831f);
        float ca = std::cos(ang), sa = std::sin(ang);
        float depth = static_cast<float>(leaf) / 46.0f;
        sColor c = LerpColor(sColor(0.10f, 0.26f, 0.07f), sColor(0.26f, 0.50f, 0.14f), depth * 0.7f + rnd.Range(0.0f, 0.3f));
        int x0 = std::max(0, static_cast<int>(cx - len - 2)), x1 = std::min(size - 1, static_cast<int>(cx + len + 2));
        int y0 = std::max(0, static_cast<int>(cy - len - 2)), y1 = std::min(size - 1, static_cast<int>(cy + len + 2));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                float u = (dx * ca + dy * sa) / len;  // -1..1 along the leaf
                float v = (-dx * sa + dy * ca) / wid; // across
                float halfW = std::sqrt(std::max(0.0f, 1.0f - u * u)) * (1.0f - 0.25f * u);
                float edge = halfW - std::fabs(v);
                float cover = SmoothStep(-0.03f, 0.06f, edge);
                if (cover <= 0.0f)
                    continue;
                float vein = 1.0f - SmoothStep(0.0f, 0.06f, std::fabs(v));
                float side = std::fabs(std::sin((u * 7.0f + std::fabs(v) * 4.0f) * 3.14159f));
                float veins = (1.0f - SmoothStep(0.0f, 0.18f, side)) * 0.5f;
                sColor lc = c * (0.85f + 0.25f * (1.0f - std::fabs(v))) + sColor(0.10f, 0.12f, 0.04f, 0) * (vein + veins * 0.4f);
                sColor& dst = img.At(x, y);
                dst = sColor(Lerp(dst.r, lc.r, cover), Lerp(dst.g, lc.g, cover), Lerp(dst.b, lc.b, cover), std::max(dst.a, cover));
            }
    }
    BleedColor(img, sColor(0.15f, 0.32f, 0.09f));
    return img;
}

cImage PaintGrassBlades(int size, std::uint32_t seed)
{
    cRandom rnd(seed, 51);
    cImage img(size, size, sColor(0, 0, 0, 0));
    for (int b = 0; b < 38; ++b) {
        float x0 = rnd.Range(0.12f, 0.88f) * size;
        float h = rnd.Range(0.5f, 0.97f) * size;
        float bend = rnd.Range(-0.25f, 0.25f) * size;
        float w = rnd.Range(1.6f, 2.8f) * size / 128.0f;
        sColor c = LerpColor(sColor(0.34f, 0.50f, 0.14f), sColor(0.62f, 0.64f, 0.28f), rnd.Uniform());
        for (int y = 0; y < static_cast<int>(h) && y < size; ++y) {
            float t = y / h;
            float xc = x0 + bend * t * t;
            float ww = w * (1.0f - t) + 0.3f;
            for (int x = std::max(0, static_cast<int>(xc - ww - 2)); x <= std::min(size - 1, static_cast<int>(xc + ww + 2)); ++x) {
                float cover = 1.0f - SmoothStep(ww - 0.5f, ww + 0.6f, std::fabs(x + 0.5f - xc));
                if (cover <= 0)
                    continue;
                sColor lc = c * (0.7f + 0.45f * t);
                sColor& dst = img.At(x, y);
                dst = sColor(Lerp(dst.r, lc.r, cover), Lerp(dst.g, lc.g, cover), Lerp(dst.b, lc.b, cover), std::max(dst.a, cover));
            }
        }
    }
    BleedColor(img, sColor(0.4f, 0.55f, 0.2f));
    return img;
}

cImage PaintBark(int width, int height, std::uint32_t seed)
{
    cNoise noise(seed);
    cImage img(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float u = static_cast<float>(x) / width, v = static_cast<float>(y) / height;
            // Leaf-scar rings around the trunk, slightly wavy, and fine vertical fibres.
            float ringPhase = v * 14.0f + 0.15f * noise.FbmTiled(u * 4.0f, v * 4.0f, 4, 2);
            float ring = std::fabs(ringPhase - std::floor(ringPhase) - 0.5f) * 2.0f;
            float scar = SmoothStep(0.75f, 0.95f, ring);
            float fibre = 0.5f + 0.5f * noise.FbmTiled(u * 16.0f, v * 3.0f, 16, 3);
            float tone = 0.48f + 0.1f * fibre - 0.16f * scar + 0.05f * noise.FbmTiled(u * 8.0f, v * 8.0f, 8, 3);
            img.At(x, y) = sColor(tone * 1.05f, tone * 0.93f, tone * 0.78f);
        }
    return img;
}

cImage PaintCoconut(int size, std::uint32_t seed)
{
    cNoise noise(seed);
    cImage img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float n = noise.FbmTiled(x * 4.0f / size, y * 4.0f / size, 4, 3);
            img.At(x, y) = LerpColor(sColor(0.36f, 0.42f, 0.14f), sColor(0.48f, 0.40f, 0.18f), Saturate(0.5f + n));
        }
    return img;
}

cImage PaintBoulder(int size, std::uint32_t seed)
{
    cNoise noise(seed);
    cImage img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = x * 6.0f / size, v = y * 6.0f / size;
            float n = noise.FbmTiled(u, v, 6, 5);
            float cell = noise.Cellular(u * 1.5f, v * 1.5f, 9);
            float crack = SmoothStep(0.08f, 0.0f, std::fabs(cell - 0.55f)) * 0.25f;
            float lichen = SmoothStep(0.25f, 0.45f, noise.FbmTiled(u * 0.7f + 3.0f, v * 0.7f, 4, 3));
            // Light weathered stone: boulders mostly show their shaded side and must not read as black lumps.
            sColor c = sColor(0.58f, 0.55f, 0.50f) * (0.9f + 0.35f * n - crack);
            c = LerpColor(c, sColor(0.52f, 0.55f, 0.34f), 0.35f * lichen);
            img.At(x, y) = c;
        }
    return img;
}

} // namespace brevonne

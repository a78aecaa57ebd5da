#include "tools/generator/cTerrainPainter.h"

#include <algorithm>
#include <cmath>

#include "tools/generator/cNoise.h"

namespace brevonne {

cTerrainPainter::cTerrainPainter(const cHeightField& field, const sVec3& sunDirection, std::uint32_t seed)
    : m_Field(field), m_Sun(Normalize(sunDirection)), m_Seed(seed)
{
    ComputeOcclusion(field.GetSize() * 2);
}

void cTerrainPainter::ComputeOcclusion(int size)
{
    // Horizon-based occlusion: in twelve directions find the highest horizon within 30 units.
    m_AOSize = size;
    m_AO.assign(static_cast<std::size_t>(size) * size, 1.0f);
    const float scale = static_cast<float>(m_Field.GetSize()) / size;
    const int dirs = 12;
    float dx[dirs], dz[dirs];
    for (int d = 0; d < dirs; ++d) {
        float a = (d + 0.5f) * 6.2831853f / dirs;
        dx[d] = std::cos(a);
        dz[d] = std::sin(a);
    }
    float radii[14];
    for (int k = 0; k < 14; ++k)
        radii[k] = 0.5f * std::pow(1.33f, static_cast<float>(k));
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            float x = (i + 0.5f) * scale, z = (j + 0.5f) * scale;
            float h0 = m_Field.Height(x, z) + 0.1f;
            float occ = 0.0f;
            for (int d = 0; d < dirs; ++d) {
                float best = 0.0f;
                for (float r : radii) {
                    float t = (m_Field.Height(x + dx[d] * r, z + dz[d] * r) - h0) / r;
                    best = std::max(best, t);
                }
                occ += best / std::sqrt(1.0f + best * best);
            }
            m_AO[static_cast<std::size_t>(j) * size + i] = 1.0f - occ / dirs;
        }
    }
}

float cTerrainPainter::Occlusion(float x, float z) const
{
    float s = static_cast<float>(m_AOSize) / m_Field.GetSize();
    float fx = std::clamp(x * s - 0.5f, 0.0f, m_AOSize - 1.001f), fz = std::clamp(z * s - 0.5f, 0.0f, m_AOSize - 1.001f);
    int ix = std::min(static_cast<int>(fx), m_AOSize - 2), iz = std::min(static_cast<int>(fz), m_AOSize - 2);
    float tx = fx - ix, tz = fz - iz;
    const float* r0 = &m_AO[static_cast<std::size_t>(iz) * m_AOSize + ix];
    const float* r1 = r0 + m_AOSize;
    return (1 - tz) * ((1 - tx) * r0[0] + tx * r0[1]) + tz * ((1 - tx) * r1[0] + tx * r1[1]);
}

void cTerrainPainter::LayerWeights(float x, float z, float out[LAYER_COUNT]) const
{
    cNoise n(m_Seed + 301);
    const float L = m_Field.GetLayout().waterLevel;
    float rel = m_Field.Height(x, z) - L;
    sVec3 nrm = m_Field.Normal(x, z);
    float slope = 1.0f - nrm.y;
    float n1 = n.Fbm(x / 16.0f, z / 16.0f, 3);
    float n2 = n.Fbm(x / 5.0f + 7.0f, z / 5.0f, 2);
    float large = n.Fbm(x / 55.0f - 3.0f, z / 55.0f, 3);
    float ao = Occlusion(x, z);
    float cliff = m_Field.CliffWeight(x, z);

    float rock = std::max(SmoothStep(0.42f, 0.62f, slope + 0.07f * n2), SmoothStep(46.0f, 56.0f, rel + 5.0f * n1));
    rock = std::max(rock, cliff * SmoothStep(0.18f, 0.32f, slope) * SmoothStep(0.5f, 2.5f, rel) * (1.0f - SmoothStep(12.0f, 22.0f, rel)));
    // The swash zone: a narrow band of damp sand along the waterline (the beaches rise gently, so a
    // few tenths of a unit of height are already several units of beach).
    float wet = SmoothStep(-1.8f, -0.6f, rel) * (1.0f - SmoothStep(0.12f + 0.12f * n2, 0.38f + 0.12f * n2, rel));
    float sandTop = 2.4f + 1.4f * n1 - 1.5f * cliff;
    float sand = (1.0f - SmoothStep(sandTop, sandTop + 1.6f, rel)) * (1.0f - SmoothStep(0.22f, 0.38f, slope));
    float moisture = 0.5f + 1.6f * (0.86f - ao) + 0.45f * large + 0.2f * n1 - 0.5f * SmoothStep(34.0f, 48.0f, rel);
    float jungle = SmoothStep(0.45f, 0.7f, moisture) * SmoothStep(3.0f, 7.0f, rel);

    float remaining = 1.0f;
    auto take = [&remaining](float w) {
        float t = Saturate(w) * remaining;
        remaining -= t;
        return t;
    };
    out[LAYER_ROCK] = take(rock);
    out[LAYER_WET] = take(wet);
    out[LAYER_SAND] = take(sand);
    out[LAYER_JUNGLE] = take(jungle);
    out[LAYER_GRASS] = remaining;
}

cImage cTerrainPainter::PaintColorMap(int size) const
{
    cNoise n(m_Seed + 401);
    const float L = m_Field.GetLayout().waterLevel;
    const float scale = static_cast<float>(m_Field.GetSize()) / size;
    cImage img(size, size);
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            float x = (i + 0.5f) * scale, z = (j + 0.5f) * scale;
            float w[LAYER_COUNT];
            LayerWeights(x, z, w);
            float rel = m_Field.Height(x, z) - L;
            float n1 = n.Fbm(x / 14.0f, z / 14.0f, 3), n2 = n.Fbm(x / 4.0f, z / 4.0f, 2);
            float large = n.Fbm(x / 50.0f + 2.0f, z / 50.0f, 3);
            float cliff = m_Field.CliffWeight(x, z);
            float ao = Occlusion(x, z);

            sColor sand = LerpColor(sColor(0.93f, 0.86f, 0.69f), sColor(0.97f, 0.92f, 0.80f), Saturate(0.5f + n1));
            sColor wet = LerpColor(sColor(0.72f, 0.64f, 0.50f), sColor(0.55f, 0.53f, 0.50f), cliff);
            sColor grass = LerpColor(sColor(0.36f, 0.53f, 0.15f), sColor(0.58f, 0.60f, 0.25f), Saturate(0.5f + 0.9f * large + 0.3f * n2));
            sColor jungle = LerpColor(sColor(0.13f, 0.27f, 0.07f), sColor(0.25f, 0.31f, 0.11f), Saturate(0.5f + n1));
            sColor rockVolcanic = LerpColor(sColor(0.44f, 0.40f, 0.35f), sColor(0.33f, 0.30f, 0.29f), SmoothStep(45.0f, 58.0f, rel));
            sColor rockCliff = LerpColor(sColor(0.56f, 0.45f, 0.35f), sColor(0.45f, 0.38f, 0.32f), Saturate(0.5f + n2));
            sColor rock = LerpColor(rockVolcanic, rockCliff, Saturate(cliff * 1.4f - SmoothStep(12.0f, 22.0f, rel)));
            // Mossy rock in the damp lowlands.
            rock = LerpColor(rock, sColor(0.30f, 0.36f, 0.18f), 0.35f * SmoothStep(0.7f, 0.5f, ao) * (1.0f - SmoothStep(15.0f, 30.0f, rel)));

            sColor c = sand * w[LAYER_SAND] + wet * w[LAYER_WET] + grass * w[LAYER_GRASS] + jungle * w[LAYER_JUNGLE] + rock * w[LAYER_ROCK];

            if (rel < 0.0f) {
                // Under the surface: the sand turns turquoise in the shallows and blue-green with depth; coral on the reef.
                float d = -rel;
                sColor shallow(0.62f, 0.88f, 0.80f);
                sColor deep(0.18f, 0.42f, 0.46f);
                sColor sea = LerpColor(shallow, deep, SmoothStep(1.5f, 9.0f, d));
                float coral = SmoothStep(0.2f, 0.5f, n2 + 0.3f * n1) * SmoothStep(2.2f, 1.0f, d) * (1.0f - SmoothStep(-2.0f, -6.0f, -d));
                const sIslandLayout& lay = m_Field.GetLayout();
                float coast = m_Field.CoastValue(x, z);
                float onReef = SmoothStep(lay.reefOffset - 6.0f, lay.reefOffset - 2.0f, -coast) * (1.0f - SmoothStep(lay.reefOffset + 3.0f, lay.reefOffset + 6.0f, -coast));
                sea = LerpColor(sea, LerpColor(sColor(0.52f, 0.50f, 0.38f), sColor(0.38f, 0.50f, 0.40f), Saturate(0.5f + n1)), 0.8f * coral * onReef);
                c = LerpColor(c, sea, SmoothStep(0.0f, 1.2f, d));
            }
            c.a = 1.0f;
            img.At(i, j) = c;
        }
    }
    return img;
}

std::vector<std::uint8_t> cTerrainPainter::PaintLayerMap(int size) const
{
    const float scale = static_cast<float>(m_Field.GetSize()) / size;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size) * size * 4);
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            float w[LAYER_COUNT];
            LayerWeights((i + 0.5f) * scale, (j + 0.5f) * scale, w);
            std::uint8_t* p = &out[(static_cast<std::size_t>(j) * size + i) * 4];
            p[0] = ToByte(w[LAYER_JUNGLE]);
            p[1] = ToByte(w[LAYER_ROCK]);
            p[2] = ToByte(w[LAYER_SAND]);
            p[3] = ToByte(w[LAYER_WET]);
            // Keep the four weights from adding up past one after rounding.
            int sum = p[0] + p[1] + p[2] + p[3];
            if (sum > 255) {
                int largest = 0;
                for (int c = 1; c < 4; ++c)
                    if (p[c] > p[largest])
                        largest = c;
                p[largest] = static_cast<std::uint8_t>(p[largest] - (sum - 255));
            }
        }
    }
    return out;
}

float cTerrainPainter::SunVisibility(float x, float y, float z) const
{
    const float maxH = m_Field.GetLayout().peakHeight + 1.0f;
    float res = 1.0f;
    float t = 0.2f;
    for (int i = 0; i < 160; ++i) {
        float px = x + m_Sun.x * t, py = y + m_Sun.y * t, pz = z + m_Sun.z * t;
        if (py > maxH || px < -20.0f || pz < -20.0f || px > m_Field.GetSize() + 20.0f || pz > m_Field.GetSize() + 20.0f)
            break;
        float clear = py - m_Field.Height(px, pz);
        res = std::min(res, 7.0f * clear / t);
        if (res < -0.2f)
            break;
        t += std::clamp(clear * 0.4f, 0.15f, 3.0f);
    }
    return SmoothStep(0.0f, 1.0f, res);
}

cImage cTerrainPainter::PaintLightMap(int size, const std::vector<sGroundShadow>& shadows) const
{
    const float scale = static_cast<float>(m_Field.GetSize()) / size;
    std::vector<float> plant(static_cast<std::size_t>(size) * size, 1.0f);
    for (const sGroundShadow& s : shadows) {
        // The box holds the crown and, for a trunk, the band to its foot.
        float minX = s.x - s.radius * 1.4f, maxX = s.x + s.radius * 1.4f;
        float minZ = s.z - s.radius * 1.4f, maxZ = s.z + s.radius * 1.4f;
        if (s.trunkWidth > 0.0f) {
            minX = std::min(minX, s.trunkX - s.trunkWidth);
            maxX = std::max(maxX, s.trunkX + s.trunkWidth);
            minZ = std::min(minZ, s.trunkZ - s.trunkWidth);
            maxZ = std::max(maxZ, s.trunkZ + s.trunkWidth);
        }
        int i0 = std::max(0, static_cast<int>(minX / scale)), i1 = std::min(size - 1, static_cast<int>(maxX / scale));
        int j0 = std::max(0, static_cast<int>(minZ / scale)), j1 = std::min(size - 1, static_cast<int>(maxZ / scale));
        const float bandX = s.x - s.trunkX, bandZ = s.z - s.trunkZ;
        const float bandLength2 = bandX * bandX + bandZ * bandZ;
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                float px = (i + 0.5f) * scale, pz = (j + 0.5f) * scale;
                float dx = px - s.x, dz = pz - s.z;
                float d = std::sqrt(dx * dx + dz * dz);
                // A crown's shadow has a fairly firm edge; a wide soft fringe reads as a smudge of dirt from above.
                float f = s.strength * (1.0f - SmoothStep(0.5f * s.radius, 1.2f * s.radius, d));
                if (s.lobes > 0) {
                    // Leaves: narrow lobes that open out of a solid heart, with light between them.
                    float leaf = 0.5f + 0.5f * std::cos(s.lobes * (std::atan2(dz, dx) - s.phase));
                    leaf = leaf * leaf;
                    f *= 1.0f - 0.8f * (1.0f - leaf) * SmoothStep(0.2f * s.radius, 0.55f * s.radius, d);
                }
                if (s.trunkWidth > 0.0f && bandLength2 > 0.0f) {
                    // The trunk: a soft band from the foot towards the crown's shadow.
                    float t = std::clamp(((px - s.trunkX) * bandX + (pz - s.trunkZ) * bandZ) / bandLength2, 0.0f, 1.0f);
                    float ex = px - (s.trunkX + bandX * t), ez = pz - (s.trunkZ + bandZ * t);
                    float band = 0.6f * s.strength * (1.0f - SmoothStep(0.4f * s.trunkWidth, s.trunkWidth, std::sqrt(ex * ex + ez * ez)));
                    f = std::max(f, band);
                }
                plant[static_cast<std::size_t>(j) * size + i] *= 1.0f - f;
            }
    }
    const sColor sun(1.00f, 0.94f, 0.82f);
    const sColor sky(0.50f, 0.57f, 0.68f);
    cImage img(size, size);
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            float x = (i + 0.5f) * scale, z = (j + 0.5f) * scale;
            float h = m_Field.Height(x, z);
            sVec3 nrm = m_Field.Normal(x, z);
            float ndl = Dot(nrm, m_Sun);
            float vis = ndl > 0.0f ? SunVisibility(x, h + 0.05f, z) : 0.0f;
            float p = plant[static_cast<std::size_t>(j) * size + i];
            float ao = Occlusion(x, z);
            float direct = std::max(0.0f, ndl) * vis * p * 1.15f;
            float ambient = ao * (0.6f + 0.4f * nrm.y) * (0.75f + 0.25f * p);
            sColor c = sun * direct + sky * ambient;
            // Soft shoulder instead of a hard clip where the sun falls steeply on a slope.
            auto shoulder = [](float v) { return v < 0.8f ? v : 0.8f + 0.2f * (1.0f - std::exp(-(v - 0.8f) * 5.0f)); };
            img.At(i, j) = sColor(shoulder(c.r), shoulder(c.g), shoulder(c.b), 1.0f);
        }
    }
    return img;
}

} // namespace brevonne

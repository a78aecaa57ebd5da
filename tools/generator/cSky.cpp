#include "tools/generator/cSky.h"

#include <algorithm>
#include <cmath>

namespace brevonne {

cSky::cSky(const sVec3& sunDirection, const sColor& horizon, std::uint32_t seed)
    : m_Sun(Normalize(sunDirection)), m_Horizon(horizon), m_Zenith(0.13f, 0.36f, 0.74f), m_Noise(seed + 901)
{
}

float cSky::CloudDensity(float x, float z) const
{
    // Tiled noise: one tile of the layer holds kCloudTileUnits cells of the base octave, and two of the
    // slow variation in cover.
    const int period = static_cast<int>(kCloudTileUnits);
    float base = m_Noise.FbmTiled(x, z, period, 5, 0.5f);
    float cover = 0.5f + 0.5f * m_Noise.FbmTiled(x * 0.5f + 11.0f, z * 0.5f, period / 2, 2);
    return SmoothStep(0.05f + 0.35f * (1.0f - cover), 0.55f, base + 0.25f * cover);
}

sColor cSky::CloudColor(float x, float z, float dens) const
{
    // Lit where the cloud thins towards the sun, grey-blue in its thick shaded parts.
    float toward = CloudDensity(x + m_Sun.x * 0.12f, z + m_Sun.z * 0.12f);
    float lit = Saturate(1.0f - 1.4f * (toward - dens) - 0.25f * dens);
    return LerpColor(sColor(0.62f, 0.67f, 0.76f), sColor(1.0f, 0.98f, 0.95f), lit);
}

cImage cSky::PaintCloudLayer(int size) const
{
    cImage img(size, size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            float x = kCloudTileUnits * (i + 0.5f) / size;
            float z = kCloudTileUnits * (j + 0.5f) / size;
            float dens = CloudDensity(x, z);
            sColor c = CloudColor(x, z, dens);
            c.a = dens * 0.92f;
            img.At(i, j) = c;
        }
    return img;
}

sColor cSky::Color(const sVec3& dirIn, bool withClouds) const
{
    sVec3 d = Normalize(dirIn);
    float e = d.y;
    if (e <= 0.0f)
        return m_Horizon;
    float t = std::pow(1.0f - e, 3.2f);
    sColor c = LerpColor(m_Zenith, m_Horizon, t);
    float cosSun = Dot(d, m_Sun);
    float s = std::max(0.0f, cosSun);
    // Warm glow around the sun, wider and fainter near the horizon.
    c = c + sColor(1.0f, 0.80f, 0.55f) * (0.22f * std::pow(s, 8.0f) + 0.30f * std::pow(s, 64.0f));
    // Clouds on a plane above the sea, fading into the haze towards the horizon.
    if (withClouds && e > 0.015f) {
        float scale = 1.0f / (e + 0.12f);
        float cx = d.x * scale * kCloudPlaneScale, cz = d.z * scale * kCloudPlaneScale;
        float dens = CloudDensity(cx, cz);
        if (dens > 0.0f) {
            sColor cloud = CloudColor(cx, cz, dens);
            cloud = cloud + sColor(1.0f, 0.85f, 0.6f) * (0.35f * std::pow(s, 6.0f) * (1.0f - dens));
            float fade = SmoothStep(0.015f, 0.22f, e);
            c = LerpColor(c, LerpColor(m_Horizon, cloud, fade), dens * 0.92f);
        }
    }
    // The sun disc on top of everything.
    float disc = SmoothStep(0.99955f, 0.99975f, cosSun);
    c = LerpColor(c, sColor(1.0f, 0.98f, 0.92f), disc);
    // The band just above the horizon melts into the fog colour.
    c = LerpColor(m_Horizon, c, SmoothStep(0.0f, 0.06f, e));
    c.a = 1.0f;
    return c;
}

sVec3 cSky::BoxDirection(int face, float u, float v)
{
    // The box spans x and z from -1 to 1 and y from 0 to 1 around the eye, which sits at its floor's centre.
    switch (face) {
    case 0: return {-1.0f, v, 1.0f - 2.0f * u};        // left
    case 1: return {1.0f, v, 2.0f * u - 1.0f};         // right
    case 2: return {1.0f - 2.0f * u, 1.0f, 1.0f - 2.0f * v}; // top
    case 4: return {1.0f - 2.0f * u, v, 1.0f};         // front
    case 5: return {2.0f * u - 1.0f, v, -1.0f};        // back
    default: return {0.0f, -1.0f, 0.0f};               // bottom: under the horizon
    }
}

cImage cSky::PaintBoxFace(int face, int size, bool withClouds) const
{
    cImage img(size, size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            // Two-by-two supersampling keeps the sun disc and the cloud edges smooth.
            sColor acc;
            acc.a = 0.0f;
            for (int sy = 0; sy < 2; ++sy)
                for (int sx = 0; sx < 2; ++sx)
                    acc = acc + Color(BoxDirection(face, (i + 0.25f + 0.5f * sx) / size, (j + 0.25f + 0.5f * sy) / size), withClouds);
            img.At(i, j) = acc * 0.25f;
        }
    return img;
}

cImage cSky::PaintCubeFace(int face, int size) const
{
    cImage img(size, size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            // s to the right, t downwards on the face as a DDS cube face is seen; row j counts from the bottom.
            float s = 2.0f * (i + 0.5f) / size - 1.0f;
            float t = 1.0f - 2.0f * (j + 0.5f) / size;
            sVec3 d;
            switch (face) {
            case 0: d = {1.0f, -t, -s}; break;
            case 1: d = {-1.0f, -t, s}; break;
            case 2: d = {s, 1.0f, t}; break;
            case 3: d = {s, -1.0f, -t}; break;
            case 4: d = {s, -t, 1.0f}; break;
            default: d = {-s, -t, -1.0f}; break;
            }
            img.At(i, j) = Color(d);
        }
    return img;
}

} // namespace brevonne

#include "tools/generator/cPreviewRenderer.h"

#include <algorithm>
#include <cmath>

#include "tools/generator/cNoise.h"

namespace brevonne {

namespace {
constexpr int kGrid = 16; // proxies are binned in 16 x 16 unit cells
}

cPreviewRenderer::cPreviewRenderer(const sPreviewScene& scene) : m_Scene(scene)
{
    int cells = scene.field->GetSize() / kGrid;
    m_ProxyGrid.assign(static_cast<std::size_t>(cells) * cells, {});
    for (std::size_t i = 0; i < scene.proxies.size(); ++i) {
        const sProxy& p = scene.proxies[i];
        int x0 = std::max(0, static_cast<int>((p.center.x - p.radius) / kGrid)), x1 = std::min(cells - 1, static_cast<int>((p.center.x + p.radius) / kGrid));
        int z0 = std::max(0, static_cast<int>((p.center.z - p.radius) / kGrid)), z1 = std::min(cells - 1, static_cast<int>((p.center.z + p.radius) / kGrid));
        for (int z = z0; z <= z1; ++z)
            for (int x = x0; x <= x1; ++x)
                m_ProxyGrid[static_cast<std::size_t>(z) * cells + x].push_back(static_cast<int>(i));
    }
}

sColor cPreviewRenderer::GroundColor(float x, float z) const
{
    const cImage& cm = *m_Scene.colorMap;
    const cImage& lm = *m_Scene.lightMap;
    float S = static_cast<float>(m_Scene.field->GetSize());
    sColor c = cm.SampleClamp(x / S * cm.GetWidth(), z / S * cm.GetHeight());
    sColor l = lm.SampleClamp(x / S * lm.GetWidth(), z / S * lm.GetHeight());
    return c.Mul(l);
}

bool cPreviewRenderer::MarchTerrain(const sVec3& o, const sVec3& d, float tMax, float& tHit) const
{
    const cHeightField& f = *m_Scene.field;
    float top = f.GetLayout().peakHeight + 0.5f;
    float S = static_cast<float>(f.GetSize());
    float t = 0.0f;
    // Skip to the slab below the highest peak.
    if (o.y > top) {
        if (d.y >= 0.0f)
            return false;
        t = (o.y - top) / -d.y;
    }
    float prevT = t, prevClear = 1.0f;
    while (t < tMax) {
        sVec3 p = o + d * t;
        if ((p.x < -1 || p.z < -1 || p.x > S || p.z > S) && ((p.x < 0 && d.x <= 0) || (p.z < 0 && d.z <= 0) || (p.x > S && d.x >= 0) || (p.z > S && d.z >= 0)))
            return false;
        if (p.y > top && d.y >= 0)
            return false;
        float clear = p.y - f.Height(p.x, p.z);
        if (clear < 0.0f) {
            // Refine between the last point above and this one.
            float a = prevT, b = t;
            for (int i = 0; i < 10; ++i) {
                float m = 0.5f * (a + b);
                sVec3 q = o + d * m;
                if (q.y - f.Height(q.x, q.z) < 0)
                    b = m;
                else
                    a = m;
            }
            tHit = 0.5f * (a + b);
            return true;
        }
        prevT = t;
        prevClear = clear;
        t += std::max(0.02f + 0.002f * t, clear * 0.35f);
    }
    (void)prevClear;
    return false;
}

sColor cPreviewRenderer::Trace(const sVec3& eye, const sVec3& dir) const
{
    const float L = m_Scene.field->GetLayout().waterLevel;
    const float farT = 500.0f;
    float tTerrain = farT;
    bool hitTerrain = MarchTerrain(eye, dir, farT, tTerrain);

    // Plants: nearest sphere along the ray within the cells the ray crosses (walked coarsely).
    float tPlant = farT;
    sColor plantColor;
    sVec3 plantNormal;
    int cells = m_Scene.field->GetSize() / kGrid;
    int lastCell = -1;
    float tEnd = hitTerrain ? tTerrain : std::min(farT, 400.0f);
    for (float t = 0.0f; t < tEnd + kGrid; t += kGrid * 0.5f) {
        sVec3 p = eye + dir * t;
        int cx = static_cast<int>(std::floor(p.x / kGrid)), cz = static_cast<int>(std::floor(p.z / kGrid));
        for (int dz = -1; dz <= 1; ++dz)
            for (int dx = -1; dx <= 1; ++dx) {
                int x = cx + dx, z = cz + dz;
                if (x < 0 || z < 0 || x >= cells || z >= cells)
                    continue;
                int cell = z * cells + x;
                if (cell == lastCell)
                    continue;
                for (int idx : m_ProxyGrid[cell]) {
                    const sProxy& pr = m_Scene.proxies[idx];
                    sVec3 oc = eye - pr.center;
                    float b = Dot(oc, dir), c = Dot(oc, oc) - pr.radius * pr.radius;
                    float disc = b * b - c;
                    if (disc < 0)
                        continue;
                    float th = -b - std::sqrt(disc);
                    if (th > 0.05f && th < tPlant) {
                        tPlant = th;
                        plantColor = pr.color;
                        plantNormal = Normalize((eye + dir * th) - pr.center);
                    }
                }
            }
        lastCell = cz * cells + cx;
    }

    sColor color;
    float t;
    bool ground = false;
    if (tPlant < tTerrain && tPlant < farT) {
        t = tPlant;
        sVec3 p = eye + dir * t;
        float ndl = std::max(0.0f, Dot(plantNormal, m_Scene.sky->GetSun()));
        float lm = GroundColor(p.x, p.z).r > 0 ? 1.0f : 1.0f;
        (void)lm;
        color = plantColor * (0.45f + 0.65f * ndl);
        color.a = 1;
        ground = true;
    } else if (hitTerrain) {
        t = tTerrain;
        sVec3 p = eye + dir * t;
        color = GroundColor(p.x, p.z);
        ground = true;
    } else {
        t = farT;
    }

    // The sea surface lies in front of whatever is below it.
    if (dir.y < 0.0f && eye.y > L) {
        float tw = (eye.y - L) / -dir.y;
        if (tw < t) {
            sVec3 p = eye + dir * tw;
            sVec3 view = Normalize(eye - p);
            float F = Clamp(view.y, 0.1f, 0.99f);
            sColor refl = m_Scene.sky->Color(sVec3(dir.x, -dir.y, dir.z));
            sColor under = m_Scene.waterColor;
            float ua = 0.0f;
            if (ground) {
                sVec3 q = eye + dir * t;
                float depth = L - q.y;
                ua = Saturate(std::exp(-m_Scene.waterDensity * m_Scene.waterDensity * depth * depth));
                under = color;
            }
            sColor water = LerpColor(refl, LerpColor(m_Scene.waterColor, under, ua), F);
            color = ua >= 0.95f ? LerpColor(water, color, (ua - 0.95f) / 0.05f) : water;
            t = tw;
            ground = true;
        }
    }
    if (!ground)
        return m_Scene.sky->Color(dir);
    float fog = Saturate(std::exp(-m_Scene.fogDensity * m_Scene.fogDensity * t * t));
    sColor out = LerpColor(m_Scene.fogColor, color, fog);
    out.a = 1.0f;
    return out;
}

cImage cPreviewRenderer::Render(const sVec3& eye, const sVec3& target, int width, int height, float fovDegrees) const
{
    sVec3 fwd = Normalize(target - eye);
    sVec3 right = Normalize(Cross(fwd, sVec3(0, 1, 0)));
    sVec3 up = Cross(right, fwd);
    float tanHalf = std::tan(fovDegrees * 0.5f * 3.14159265f / 180.0f);
    float aspect = static_cast<float>(height) / width;
    cImage img(width, height);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            float sx = (2.0f * (i + 0.5f) / width - 1.0f) * tanHalf;
            float sy = (2.0f * (j + 0.5f) / height - 1.0f) * tanHalf * aspect;
            img.At(i, j) = Trace(eye, Normalize(fwd + right * sx + up * sy));
        }
    return img;
}

} // namespace brevonne

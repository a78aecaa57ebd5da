#include "tools/generator/cCameraPaths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "tools/generator/cNoise.h"

namespace brevonne {

namespace {
constexpr float kPi = 3.14159265f;
constexpr float kCell = 8.0f;
// The steepest downward view of a flight, as the tangent of its angle (about 30 degrees).
constexpr float kMaxDip = 0.58f;

sVec3 Lerp3(const sVec3& a, const sVec3& b, float t) { return a + (b - a) * t; }
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
} // namespace

float PointTriangleDistance(const sVec3& p, const sVec3& a, const sVec3& b, const sVec3& c)
{
    // Closest point on the triangle (regions of the vertices, edges and face).
    sVec3 ab = b - a, ac = c - a, ap = p - a;
    float d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return Length(p - a);
    sVec3 bp = p - b;
    float d3 = Dot(ab, bp), d4 = Dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return Length(p - b);
    float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return Length(p - (a + ab * (d1 / (d1 - d3))));
    sVec3 cp = p - c;
    float d5 = Dot(ab, cp), d6 = Dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return Length(p - c);
    float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return Length(p - (a + ac * (d2 / (d2 - d6))));
    float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
        return Length(p - (b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)))));
    float denom = 1.0f / (va + vb + vc);
    return Length(p - (a + ab * (vb * denom) + ac * (vc * denom)));
}

cClearanceModel::cClearanceModel(const cHeightField& field, const std::vector<sVegetationKind>& kinds, const std::vector<sInstance>& instances)
    : m_Field(field), m_Kinds(kinds), m_Instances(instances)
{
    m_Cells = static_cast<int>(std::ceil(field.GetSize() / kCell));
    m_Grid.assign(static_cast<std::size_t>(m_Cells) * m_Cells, {});
    for (std::size_t i = 0; i < instances.size(); ++i) {
        const sBox& b = kinds[static_cast<std::size_t>(instances[i].kind)].box;
        sBox w{sVec3(1e9f, 1e9f, 1e9f), sVec3(-1e9f, -1e9f, -1e9f)};
        for (int c = 0; c < 8; ++c) {
            sVec3 corner((c & 1) ? b.max.x : b.min.x, (c & 2) ? b.max.y : b.min.y, (c & 4) ? b.max.z : b.min.z);
            sVec3 p = TransformPoint(instances[i].matrix, corner);
            w.min = sVec3(std::min(w.min.x, p.x), std::min(w.min.y, p.y), std::min(w.min.z, p.z));
            w.max = sVec3(std::max(w.max.x, p.x), std::max(w.max.y, p.y), std::max(w.max.z, p.z));
        }
        m_WorldBoxes.push_back(w);
        int x0 = std::clamp(static_cast<int>(w.min.x / kCell), 0, m_Cells - 1), x1 = std::clamp(static_cast<int>(w.max.x / kCell), 0, m_Cells - 1);
        int z0 = std::clamp(static_cast<int>(w.min.z / kCell), 0, m_Cells - 1), z1 = std::clamp(static_cast<int>(w.max.z / kCell), 0, m_Cells - 1);
        for (int z = z0; z <= z1; ++z)
            for (int x = x0; x <= x1; ++x)
                m_Grid[static_cast<std::size_t>(z) * m_Cells + x].push_back(static_cast<int>(i));
    }
}

float cClearanceModel::GroundUnder(float x, float z, float r) const
{
    float h = m_Field.Height(x, z);
    for (int k = 0; k < 8; ++k) {
        float a = k * kPi / 4.0f;
        h = std::max(h, m_Field.Height(x + r * std::cos(a), z + r * std::sin(a)));
        h = std::max(h, m_Field.Height(x + 0.5f * r * std::cos(a + 0.39f), z + 0.5f * r * std::sin(a + 0.39f)));
    }
    return h;
}

float cClearanceModel::VegetationDistance(const sVec3& p, float limit, int* which) const
{
    float best = limit;
    if (which)
        *which = -1;
    int cx = static_cast<int>(std::floor(p.x / kCell)), cz = static_cast<int>(std::floor(p.z / kCell));
    std::set<int> seen;
    for (int dz = -1; dz <= 1; ++dz)
        for (int dx = -1; dx <= 1; ++dx) {
            int x = cx + dx, z = cz + dz;
            if (x < 0 || z < 0 || x >= m_Cells || z >= m_Cells)
                continue;
            for (int idx : m_Grid[static_cast<std::size_t>(z) * m_Cells + x]) {
                if (!seen.insert(idx).second)
                    continue;
                const sBox& w = m_WorldBoxes[static_cast<std::size_t>(idx)];
                if (p.x < w.min.x - best || p.x > w.max.x + best || p.y < w.min.y - best || p.y > w.max.y + best || p.z < w.min.z - best || p.z > w.max.z + best)
                    continue;
                const sInstance& inst = m_Instances[static_cast<std::size_t>(idx)];
                for (const sMeshNode& node : m_Kinds[static_cast<std::size_t>(inst.kind)].mesh.GetNodes()) {
                    for (std::size_t t = 0; t + 2 < node.indices.size(); t += 3) {
                        sVec3 a = TransformPoint(inst.matrix, node.positions[node.indices[t]]);
                        sVec3 b = TransformPoint(inst.matrix, node.positions[node.indices[t + 1]]);
                        sVec3 c = TransformPoint(inst.matrix, node.positions[node.indices[t + 2]]);
                        float d = PointTriangleDistance(p, a, b, c);
                        if (d < best) {
                            best = d;
                            if (which)
                                *which = idx;
                        }
                    }
                }
            }
        }
    return best;
}

bool cClearanceModel::IsClear(const sVec3& p, const sClearanceMargins& m) const
{
    if (p.y - m_Field.GetLayout().waterLevel < m.water)
        return false;
    if (p.y - GroundUnder(p.x, p.z, m.terrain) < m.terrain)
        return false;
    return VegetationDistance(p, m.vegetation) >= m.vegetation;
}

namespace {

struct sDense {
    std::vector<sVec3> cam, tgt;
};

float CoastRadius(const cHeightField& f, float angle)
{
    const sIslandLayout& l = f.GetLayout();
    float c = std::cos(angle), s = std::sin(angle);
    for (float r = 10.0f; r < 200.0f; r += 0.5f)
        if (f.Height(l.centerX + c * r, l.centerZ + s * r) < l.waterLevel)
            return r;
    return 200.0f;
}

sVec3 Polar(const sIslandLayout& l, float angle, float radius, float y) { return {l.centerX + std::cos(angle) * radius, y, l.centerZ + std::sin(angle) * radius}; }

// Keeps every point of the dense line above ground and sea, then smooths the heights (lifting only).
void LiftDense(sDense& d, const cClearanceModel& model, const sClearanceMargins& m, float extra)
{
    const float L = model.GetField().GetLayout().waterLevel;
    std::vector<float> floorY(d.cam.size());
    for (std::size_t i = 0; i < d.cam.size(); ++i)
        floorY[i] = std::max(L + m.water + extra, model.GroundUnder(d.cam[i].x, d.cam[i].z, m.terrain + 1.5f) + m.terrain + extra);
    for (std::size_t i = 0; i < d.cam.size(); ++i)
        d.cam[i].y = std::max(d.cam[i].y, floorY[i]);
    for (int pass = 0; pass < 4; ++pass) {
        std::vector<float> y(d.cam.size());
        for (std::size_t i = 0; i < d.cam.size(); ++i) {
            float a = d.cam[i > 0 ? i - 1 : i].y, b = d.cam[i].y, c = d.cam[i + 1 < d.cam.size() ? i + 1 : i].y;
            y[i] = std::max(floorY[i], std::max(b, 0.25f * a + 0.5f * b + 0.25f * c));
        }
        for (std::size_t i = 0; i < d.cam.size(); ++i)
            d.cam[i].y = y[i];
    }
}

// Even spacing along the camera line, then Catmull-Rom pieces as cubic segments; the target line is cut at
// the same places so camera and target stay paired.
void BuildCurves(const sDense& d, float spacing, std::vector<sSegment>& camera, std::vector<sSegment>& target)
{
    std::vector<float> acc(d.cam.size(), 0.0f);
    for (std::size_t i = 1; i < d.cam.size(); ++i)
        acc[i] = acc[i - 1] + Length(d.cam[i] - d.cam[i - 1]);
    float total = acc.back();
    int n = std::max(3, static_cast<int>(std::round(total / spacing)));
    std::vector<sVec3> cp, tp;
    std::size_t j = 0;
    for (int k = 0; k <= n; ++k) {
        float want = total * k / n;
        while (j + 2 < acc.size() && acc[j + 1] < want)
            ++j;
        float seg = acc[j + 1] - acc[j];
        float f = seg > 0 ? Clamp01((want - acc[j]) / seg) : 0.0f;
        cp.push_back(Lerp3(d.cam[j], d.cam[j + 1], f));
        tp.push_back(Lerp3(d.tgt[j], d.tgt[j + 1], f));
    }
    auto make = [](const std::vector<sVec3>& p, std::vector<sSegment>& out) {
        out.clear();
        for (std::size_t i = 0; i + 1 < p.size(); ++i) {
            sVec3 prev = i > 0 ? p[i - 1] : p[i] - (p[i + 1] - p[i]);
            sVec3 next = i + 2 < p.size() ? p[i + 2] : p[i + 1] + (p[i + 1] - p[i]);
            sSegment s;
            s.start = p[i];
            s.end = p[i + 1];
            s.startControl = p[i] + (p[i + 1] - prev) * (1.0f / 6.0f);
            s.endControl = p[i + 1] - (next - p[i]) * (1.0f / 6.0f);
            out.push_back(s);
        }
    };
    make(cp, camera);
    make(tp, target);
}

float CurveLength(const std::vector<sSegment>& c)
{
    float len = 0;
    sVec3 prev = sScenePath::Evaluate(c, 0.0f);
    for (int i = 1; i <= 400; ++i) {
        sVec3 p = sScenePath::Evaluate(c, i / 400.0f);
        len += Length(p - prev);
        prev = p;
    }
    return len;
}

sScenePath MakePath(const std::string& name, sDense d, float spacing, float speed, const cClearanceModel& model, const sClearanceMargins& m)
{
    sScenePath path;
    path.name = name;
    LiftDense(d, model, m, 0.3f);
    // Lift again where the smooth curve dips between its control points.
    for (int iter = 0; iter < 12; ++iter) {
        BuildCurves(d, spacing, path.camera, path.target);
        bool lifted = false;
        const int samples = 600;
        for (int s = 0; s <= samples; ++s) {
            float t = std::min(s / static_cast<float>(samples), 0.99999f);
            sVec3 p = sScenePath::Evaluate(path.camera, t);
            const float L = model.GetField().GetLayout().waterLevel;
            float need = std::max(L + m.water, model.GroundUnder(p.x, p.z, m.terrain) + m.terrain);
            if (p.y < need + 0.05f) {
                float deficit = need + 0.3f - p.y;
                std::size_t centre = static_cast<std::size_t>(t * (d.cam.size() - 1));
                for (std::size_t i = (centre > 6 ? centre - 6 : 0); i < std::min(d.cam.size(), centre + 7); ++i)
                    d.cam[i].y += deficit;
                lifted = true;
            }
        }
        if (!lifted)
            break;
    }
    // A camera lifted over a ridge or a cliff edge can end up looking steeply down at its old target;
    // the horizon then leaves the picture. Raise such targets until the view dips at most kMaxDip.
    bool raised = false;
    for (std::size_t i = 0; i < d.cam.size(); ++i) {
        sVec3 v = d.tgt[i] - d.cam[i];
        float horizontal = std::sqrt(v.x * v.x + v.z * v.z);
        float lowest = d.cam[i].y - horizontal * kMaxDip;
        if (horizontal > 4.0f && d.tgt[i].y < lowest) {
            d.tgt[i].y = lowest;
            raised = true;
        }
    }
    if (raised)
        BuildCurves(d, spacing, path.camera, path.target);
    path.cameraSpeed = speed / std::max(1.0f, CurveLength(path.camera));
    return path;
}

} // namespace

std::vector<sScenePath> DesignCameraPaths(const cHeightField& field, const std::vector<sVegetationKind>& kinds, std::vector<sInstance>& instances, const sClearanceMargins& m)
{
    const sIslandLayout& l = field.GetLayout();
    const float L = l.waterLevel;
    std::vector<sScenePath> paths;
    cClearanceModel model(field, kinds, instances);
    const sVec3 peak(l.peakX, l.peakHeight, l.peakZ);
    const sVec3 centre(l.centerX, L, l.centerZ);

    {   // Low along the beach, just off the sand, looking ahead along the shore.
        sDense d;
        for (int i = 0; i <= 120; ++i) {
            float a = Lerp(-0.8f, 0.6f, i / 120.0f);
            float ahead = a + 0.3f;
            d.cam.push_back(Polar(l, a, CoastRadius(field, a) + 4.0f, L + 2.2f));
            d.tgt.push_back(Polar(l, ahead, CoastRadius(field, ahead) - 7.0f, L + 4.0f));
        }
        paths.push_back(MakePath("beach", d, 14.0f, 3.2f, model, m));
    }
    {   // Skimming the lagoon between the reef and the beach, the volcano across the water.
        sDense d;
        for (int i = 0; i <= 120; ++i) {
            float a = Lerp(0.7f, -0.85f, i / 120.0f);
            float ahead = a - 0.35f;
            d.cam.push_back(Polar(l, a, CoastRadius(field, a) + 12.0f, L + 1.2f));
            sVec3 shore = Polar(l, ahead, CoastRadius(field, ahead) - 8.0f, L + 5.0f);
            d.tgt.push_back(Lerp3(shore, sVec3(peak.x, peak.y - 12.0f, peak.z), 0.3f));
        }
        paths.push_back(MakePath("lagoon", d, 14.0f, 3.8f, model, m));
    }
    {   // Over the volcano: up a ridge, along the crater rim and down to the cliffs.
        sDense d;
        sVec3 dir = Normalize(sVec3(-0.78f, 0.0f, 0.62f));
        sVec3 side(-dir.z, 0.0f, dir.x);
        for (int i = 0; i <= 160; ++i) {
            float s = Lerp(-115.0f, 80.0f, i / 160.0f);
            sVec3 p = sVec3(peak.x, 0, peak.z) + dir * s + side * (9.0f + 4.0f * std::sin(s / 40.0f));
            float g = model.GroundUnder(p.x, p.z, 8.0f);
            p.y = std::max(L + 6.0f, g + 8.0f);
            d.cam.push_back(p);
        }
        for (std::size_t i = 0; i < d.cam.size(); ++i) {
            std::size_t j = std::min(d.cam.size() - 1, i + 18);
            sVec3 t = d.cam[j] + (i + 18 >= d.cam.size() ? dir * static_cast<float>(i + 18 - (d.cam.size() - 1)) * 1.4f : sVec3());
            t.y -= 9.0f;
            // Past the summit the camera keeps the mountain in view as it sinks towards the cliffs.
            float back = SmoothStep(0.55f, 0.9f, static_cast<float>(i) / (d.cam.size() - 1));
            d.tgt.push_back(Lerp3(t, sVec3(peak.x, peak.y - 15.0f, peak.z), back));
        }
        paths.push_back(MakePath("ridge", d, 16.0f, 6.0f, model, m));
    }
    {   // Around the islet.
        sDense d;
        for (int i = 0; i <= 140; ++i) {
            float a = Lerp(2.4f, 2.4f + 1.7f * kPi, i / 140.0f);
            d.cam.push_back(sVec3(l.isletX + 24.0f * std::cos(a), L + 4.5f, l.isletZ + 24.0f * std::sin(a)));
            d.tgt.push_back(sVec3(l.isletX, L + 2.5f, l.isletZ));
        }
        paths.push_back(MakePath("islet", d, 12.0f, 3.2f, model, m));
    }
    {   // Through the densest palm grove, along the coast at head height.
        int best = -1, bestCount = -1;
        for (std::size_t i = 0; i < instances.size(); ++i) {
            if (kinds[static_cast<std::size_t>(instances[i].kind)].kindClass != KIND_PALM)
                continue;
            float x = instances[i].matrix[12], z = instances[i].matrix[14];
            float dx = x - l.centerX, dz = z - l.centerZ;
            if (std::sqrt(dx * dx + dz * dz) > l.radius * 1.4f)
                continue; // the main island's groves only
            int count = 0;
            for (const sInstance& o : instances)
                if (kinds[static_cast<std::size_t>(o.kind)].kindClass == KIND_PALM) {
                    float ex = o.matrix[12] - x, ez = o.matrix[14] - z;
                    if (ex * ex + ez * ez < 144.0f)
                        ++count;
                }
            if (count > bestCount) {
                bestCount = count;
                best = static_cast<int>(i);
            }
        }
        float gx = best >= 0 ? instances[static_cast<std::size_t>(best)].matrix[12] : l.centerX + l.radius;
        float gz = best >= 0 ? instances[static_cast<std::size_t>(best)].matrix[14] : l.centerZ;
        float ga = std::atan2(gz - l.centerZ, gx - l.centerX);
        float gr = std::sqrt((gx - l.centerX) * (gx - l.centerX) + (gz - l.centerZ) * (gz - l.centerZ));
        sDense d;
        float span = 42.0f / gr;
        for (int i = 0; i <= 120; ++i) {
            float a = Lerp(ga - span, ga + span, i / 120.0f);
            sVec3 p = Polar(l, a, gr - 1.5f * std::sin(i / 120.0f * kPi), 0.0f);
            p.y = field.Height(p.x, p.z) + 2.6f;
            d.cam.push_back(p);
            sVec3 t = Polar(l, a + 16.0f / gr, gr - 3.0f, 0.0f);
            t.y = field.Height(t.x, t.z) + 2.4f;
            d.tgt.push_back(t);
        }
        paths.push_back(MakePath("grove", d, 10.0f, 2.4f, model, m));
    }
    {   // High panoramic orbit around the whole island.
        sDense d;
        for (int i = 0; i <= 200; ++i) {
            float a = Lerp(-0.6f, -0.6f + 1.5f * kPi, i / 200.0f);
            // Close enough for the island to fill the middle of the picture rather than float in a sea of haze.
            d.cam.push_back(sVec3(l.centerX + 120.0f * std::cos(a), L + 52.0f + 7.0f * std::sin(a * 2.0f), l.centerZ + 120.0f * std::sin(a)));
            d.tgt.push_back(sVec3(l.centerX + 10.0f * std::cos(a + 1.0f), L + 12.0f, l.centerZ + 10.0f * std::sin(a + 1.0f)));
        }
        paths.push_back(MakePath("panorama", d, 24.0f, 8.0f, model, m));
    }
    {   // Along the cliffs of the west coast.
        sDense d;
        for (int i = 0; i <= 140; ++i) {
            float a = Lerp(2.2f, 3.9f, i / 140.0f);
            float ahead = a + 0.35f;
            d.cam.push_back(Polar(l, a, CoastRadius(field, a) + 13.0f, L + 13.0f));
            d.tgt.push_back(Polar(l, ahead, CoastRadius(field, ahead) - 6.0f, L + 10.0f));
        }
        paths.push_back(MakePath("cliffs", d, 14.0f, 4.5f, model, m));
    }

    // Plants standing where a camera passes are taken away: a trail through the grove.
    std::set<int> remove;
    for (const sScenePath& p : paths)
        for (int s = 0; s <= 1500; ++s) {
            sVec3 c = sScenePath::Evaluate(p.camera, std::min(s / 1500.0f, 0.99999f));
            for (int guard = 0; guard < 8; ++guard) {
                int which = -1;
                model.VegetationDistance(c, m.vegetation + 0.9f, &which);
                if (which < 0 || !remove.insert(which).second)
                    break;
                // Look again without it: a second plant may be close as well.
                instances[static_cast<std::size_t>(which)].matrix[13] -= 1000.0f;
            }
        }
    std::vector<sInstance> kept;
    for (std::size_t i = 0; i < instances.size(); ++i)
        if (!remove.count(static_cast<int>(i)))
            kept.push_back(instances[i]);
    instances.swap(kept);
    return paths;
}

std::vector<std::string> CheckPathClearance(const std::vector<sScenePath>& paths, const cClearanceModel& model, const sClearanceMargins& margins, int samples)
{
    std::vector<std::string> faults;
    const float L = model.GetField().GetLayout().waterLevel;
    for (const sScenePath& p : paths)
        for (int s = 0; s < samples; ++s) {
            float t = static_cast<float>(s) / samples;
            sVec3 c = sScenePath::Evaluate(p.camera, t);
            char buf[256];
            float ground = model.GroundUnder(c.x, c.z, margins.terrain);
            if (c.y - L < margins.water) {
                std::snprintf(buf, sizeof(buf), "%s t=%.4f: %.2f above the water", p.name.c_str(), static_cast<double>(t), static_cast<double>(c.y - L));
                faults.push_back(buf);
            } else if (c.y - ground < margins.terrain) {
                std::snprintf(buf, sizeof(buf), "%s t=%.4f: %.2f above the ground", p.name.c_str(), static_cast<double>(t), static_cast<double>(c.y - ground));
                faults.push_back(buf);
            } else {
                float v = model.VegetationDistance(c, margins.vegetation);
                if (v < margins.vegetation) {
                    std::snprintf(buf, sizeof(buf), "%s t=%.4f: %.2f from a plant", p.name.c_str(), static_cast<double>(t), static_cast<double>(v));
                    faults.push_back(buf);
                }
            }
        }
    return faults;
}

} // namespace brevonne

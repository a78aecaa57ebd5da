#include "tools/generator/cVegetation.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "tools/generator/cNoise.h"
#include "tools/generator/cRandom.h"

namespace brevonne {

namespace {
constexpr float kPi = 3.14159265f;

// A palm: a curved, tapering trunk leaning towards +x, a crown of drooping fronds and a few coconuts.
cMeshBuilder BuildPalm(std::uint32_t seed, float height, float lean, int frondCount, const sVegetationTextures& tex, sVec3& crownOut)
{
    cRandom rnd(seed, 3);
    cMeshBuilder mb;
    sMeshNode& trunk = mb.AddNode("trunk", tex.bark);
    // Few rings and sides: the trunk is a smooth bend seen mostly from afar, and every palm triangle is
    // drawn up to three times a frame (the view, the mirror, under the water).
    const int rings = 8, sides = 7;
    auto center = [&](float t) { return sVec3(lean * t * t + 0.15f * lean * std::sin(t * kPi), height * t, 0.0f); };
    auto radius = [&](float t) { return 0.15f + 0.07f * (1.0f - t) + 0.12f * std::exp(-t * 18.0f); };
    for (int r = 0; r <= rings; ++r) {
        float t = static_cast<float>(r) / rings;
        sVec3 c = center(t);
        sVec3 next = center(std::min(1.0f, t + 0.01f)), prev = center(std::max(0.0f, t - 0.01f));
        sVec3 axis = Normalize(next - prev);
        sVec3 side = Normalize(Cross(axis, sVec3(0, 0, 1)));
        sVec3 other = Cross(side, axis);
        float shade = 0.55f + 0.45f * std::min(1.0f, t * 3.0f);
        for (int s = 0; s <= sides; ++s) {
            float a = 2.0f * kPi * s / sides;
            sVec3 n = side * std::cos(a) + other * std::sin(a);
            trunk.AddVertex(c + n * radius(t), n, static_cast<float>(s) / sides, t * height * 0.35f, sColor(shade, shade, shade));
        }
    }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            int a = r * (sides + 1) + s, b = a + 1, c = a + sides + 1, d = c + 1;
            trunk.AddTriangle(a, c, b);
            trunk.AddTriangle(b, c, d);
        }
    sVec3 top = center(1.0f);
    crownOut = top;

    sMeshNode& nuts = mb.AddNode("coconuts", tex.coconut);
    for (int k = 0; k < 4; ++k) {
        float a = 2.0f * kPi * k / 4 + rnd.Range(0.0f, 0.8f);
        sVec3 c = top + sVec3(0.22f * std::cos(a), -0.25f - rnd.Range(0.0f, 0.15f), 0.22f * std::sin(a));
        float rr = 0.13f;
        int base = static_cast<int>(nuts.positions.size());
        const int la = 2, lo = 4;
        for (int i = 0; i <= la; ++i)
            for (int j = 0; j <= lo; ++j) {
                float th = kPi * i / la, ph = 2.0f * kPi * j / lo;
                sVec3 n(std::sin(th) * std::cos(ph), std::cos(th), std::sin(th) * std::sin(ph));
                nuts.AddVertex(c + n * rr, n, static_cast<float>(j) / lo, static_cast<float>(i) / la);
            }
        for (int i = 0; i < la; ++i)
            for (int j = 0; j < lo; ++j) {
                int a0 = base + i * (lo + 1) + j, a1 = a0 + 1, b0 = a0 + lo + 1, b1 = b0 + 1;
                nuts.AddTriangle(a0, b0, a1);
                nuts.AddTriangle(a1, b0, b1);
            }
    }

    sMeshNode& fronds = mb.AddNode("fronds", tex.frond);
    const int segs = 6;
    for (int f = 0; f < frondCount; ++f) {
        float az = 2.0f * kPi * (f + rnd.Range(-0.2f, 0.2f)) / frondCount;
        bool young = (f % 4 == 0);
        float len = young ? rnd.Range(2.2f, 2.7f) : rnd.Range(3.0f, 3.8f);
        float rise = young ? rnd.Range(0.9f, 1.2f) : rnd.Range(0.35f, 0.7f);
        float droop = young ? 0.5f : rnd.Range(1.1f, 1.6f);
        float width = len * 0.42f;
        sVec3 dir(std::cos(az), 0.0f, std::sin(az));
        sVec3 sideDir(-dir.z, 0.0f, dir.x);
        float twist = rnd.Range(-0.3f, 0.3f);
        int base = static_cast<int>(fronds.positions.size());
        for (int i = 0; i <= segs; ++i) {
            float s = static_cast<float>(i) / segs;
            sVec3 spine = top + dir * (len * s * (1.0f - 0.15f * s)) + sVec3(0, len * (rise * s - droop * s * s), 0);
            // Tangent for the leaf's slope, a V fold across it and a little twist towards the tip.
            float slope = rise - 2.0f * droop * s;
            sVec3 tangent = Normalize(dir + sVec3(0, slope, 0));
            float roll = twist * s;
            sVec3 across = Normalize(sideDir * std::cos(roll) + sVec3(0, std::sin(roll), 0));
            sVec3 up = Normalize(Cross(across, tangent));
            if (up.y < 0)
                up = up * -1.0f;
            float halfW = width * 0.5f * (0.35f + 0.65f * std::sin(kPi * std::min(1.0f, 0.15f + s)));
            float fold = 0.32f * halfW;
            sVec3 n = Normalize(up + sVec3(0, 0.6f, 0));
            float shade = 0.6f + 0.4f * s;
            sColor col(shade, shade, shade);
            fronds.AddVertex(spine - across * halfW - up * fold, n, 0.0f, s, col);
            fronds.AddVertex(spine + up * 0.02f, n, 0.5f, s, col);
            fronds.AddVertex(spine + across * halfW - up * fold, n, 1.0f, s, col);
        }
        for (int i = 0; i < segs; ++i) {
            int a = base + i * 3;
            fronds.AddTriangle(a, a + 3, a + 1);
            fronds.AddTriangle(a + 1, a + 3, a + 4);
            fronds.AddTriangle(a + 1, a + 4, a + 2);
            fronds.AddTriangle(a + 2, a + 4, a + 5);
        }
    }
    return mb;
}

// A rounded bush of crossed and tilted leaf cards.
cMeshBuilder BuildBush(std::uint32_t seed, const sVegetationTextures& tex)
{
    cRandom rnd(seed, 5);
    cMeshBuilder mb;
    sMeshNode& n = mb.AddNode("leaves", tex.leaves);
    const int cards = 11;
    for (int c = 0; c < cards; ++c) {
        float az = kPi * c / cards * 2.0f + rnd.Range(-0.2f, 0.2f);
        float tilt = c < 4 ? 0.0f : rnd.Range(0.35f, 0.8f);
        float size = rnd.Range(1.0f, 1.35f);
        float cy = c < 4 ? 0.75f : rnd.Range(0.7f, 1.1f);
        sVec3 centre = c < 4 ? sVec3(0, cy, 0) : sVec3(0.35f * std::cos(az), cy, 0.35f * std::sin(az));
        sVec3 right(std::cos(az), 0, std::sin(az));
        sVec3 out(-right.z, 0, right.x);
        sVec3 up = Normalize(sVec3(0, std::cos(tilt), 0) + out * std::sin(tilt));
        sVec3 nrm = Normalize(Cross(right, up) + sVec3(0, 0.8f, 0));
        int b = static_cast<int>(n.positions.size());
        float lowShade = 0.55f, highShade = 1.0f;
        n.AddVertex(centre - right * size - up * size * 0.75f, nrm, 0, 0, sColor(lowShade, lowShade, lowShade));
        n.AddVertex(centre + right * size - up * size * 0.75f, nrm, 1, 0, sColor(lowShade, lowShade, lowShade));
        n.AddVertex(centre + right * size + up * size * 0.75f, nrm, 1, 1, sColor(highShade, highShade, highShade));
        n.AddVertex(centre - right * size + up * size * 0.75f, nrm, 0, 1, sColor(highShade, highShade, highShade));
        n.AddTriangle(b, b + 1, b + 2);
        n.AddTriangle(b, b + 2, b + 3);
    }
    // Keep the bush standing on the ground.
    for (sVec3& p : n.positions)
        p.y = std::max(p.y, 0.0f);
    return mb;
}

// A fern: fronds arching out of the ground in a rosette.
cMeshBuilder BuildFern(std::uint32_t seed, const sVegetationTextures& tex)
{
    cRandom rnd(seed, 7);
    cMeshBuilder mb;
    sMeshNode& n = mb.AddNode("fronds", tex.fern);
    const int count = 9, segs = 5;
    for (int f = 0; f < count; ++f) {
        float az = 2.0f * kPi * f / count + rnd.Range(-0.25f, 0.25f);
        float len = rnd.Range(0.9f, 1.3f);
        sVec3 dir(std::cos(az), 0, std::sin(az));
        sVec3 side(-dir.z, 0, dir.x);
        int b = static_cast<int>(n.positions.size());
        for (int i = 0; i <= segs; ++i) {
            float s = static_cast<float>(i) / segs;
            sVec3 p = dir * (len * s) + sVec3(0, len * (1.3f * s - 1.1f * s * s) + 0.02f, 0);
            float w = 0.22f * len;
            float shade = 0.6f + 0.4f * s;
            n.AddVertex(p - side * w, sVec3(0, 1, 0), 0, s, sColor(shade, shade, shade));
            n.AddVertex(p + side * w, sVec3(0, 1, 0), 1, s, sColor(shade, shade, shade));
        }
        for (int i = 0; i < segs; ++i) {
            int a = b + 2 * i;
            n.AddTriangle(a, a + 2, a + 1);
            n.AddTriangle(a + 1, a + 2, a + 3);
        }
    }
    return mb;
}

// A grass tuft: three crossed upright cards.
cMeshBuilder BuildGrass(std::uint32_t seed, const sVegetationTextures& tex)
{
    cRandom rnd(seed, 9);
    cMeshBuilder mb;
    sMeshNode& n = mb.AddNode("blades", tex.grass);
    for (int c = 0; c < 3; ++c) {
        float az = kPi * c / 3.0f + rnd.Range(-0.15f, 0.15f);
        sVec3 right(0.55f * std::cos(az), 0, 0.55f * std::sin(az));
        sVec3 lean(0.1f * std::sin(az), 0, -0.1f * std::cos(az));
        float h = rnd.Range(0.65f, 0.85f);
        int b = static_cast<int>(n.positions.size());
        n.AddVertex(right * -1.0f, sVec3(0, 1, 0), 0, 0, sColor(0.6f, 0.6f, 0.6f));
        n.AddVertex(right, sVec3(0, 1, 0), 1, 0, sColor(0.6f, 0.6f, 0.6f));
        n.AddVertex(right + sVec3(0, h, 0) + lean, sVec3(0, 1, 0), 1, 1);
        n.AddVertex(right * -1.0f + sVec3(0, h, 0) + lean, sVec3(0, 1, 0), 0, 1);
        n.AddTriangle(b, b + 1, b + 2);
        n.AddTriangle(b, b + 2, b + 3);
    }
    return mb;
}

// A weathered rock: a sphere pushed about by noise and squashed (flat ones for slabs).
cMeshBuilder BuildRock(std::uint32_t seed, bool flat, const sVegetationTextures& tex)
{
    cNoise noise(seed);
    cMeshBuilder mb;
    sMeshNode& n = mb.AddNode("rock", tex.boulder);
    const int la = 6, lo = 9;
    float sy = flat ? 0.45f : 0.75f, sx = flat ? 1.3f : 1.0f;
    std::vector<sVec3> pos;
    for (int i = 0; i <= la; ++i)
        for (int j = 0; j <= lo; ++j) {
            float th = kPi * i / la, ph = 2.0f * kPi * (j % lo) / lo;
            sVec3 d(std::sin(th) * std::cos(ph), std::cos(th), std::sin(th) * std::sin(ph));
            float r = 1.0f + 0.22f * noise.Fbm(d.x * 1.6f + 3.0f, d.z * 1.6f + d.y * 1.3f, 3) + 0.08f * noise.Fbm(d.x * 5.0f, d.y * 5.0f - d.z * 2.0f, 2);
            sVec3 p(d.x * r * sx, d.y * r * sy + sy * 0.55f, d.z * r);
            p.y = std::max(p.y, -0.05f);
            n.AddVertex(p, d, static_cast<float>(j) / lo * 2.0f, static_cast<float>(i) / la, sColor(1, 1, 1));
        }
    for (int i = 0; i < la; ++i)
        for (int j = 0; j < lo; ++j) {
            int a0 = i * (lo + 1) + j, a1 = a0 + 1, b0 = a0 + lo + 1, b1 = b0 + 1;
            n.AddTriangle(a0, a1, b0);
            n.AddTriangle(a1, b1, b0);
        }
    // Normals from the faces, shared across the seam.
    std::vector<sVec3> acc(n.positions.size());
    for (std::size_t t = 0; t + 2 < n.indices.size(); t += 3) {
        const sVec3& a = n.positions[n.indices[t]];
        const sVec3& b = n.positions[n.indices[t + 1]];
        const sVec3& c = n.positions[n.indices[t + 2]];
        sVec3 fn = Cross(b - a, c - a);
        for (int k = 0; k < 3; ++k)
            acc[n.indices[t + k]] = acc[n.indices[t + k]] + fn;
    }
    for (std::size_t i = 0; i < acc.size(); ++i) {
        sVec3 nn = Normalize(acc[i]);
        if (Dot(nn, n.normals[i]) < 0)
            nn = nn * -1.0f;
        n.normals[i] = nn;
        // Darker underneath, where the rock meets the ground.
        float shade = 0.55f + 0.45f * Saturate(n.positions[i].y / (sy * 1.2f));
        n.colors[i] = sColor(shade, shade, shade);
    }
    return mb;
}

} // namespace

sVec3 TransformPoint(const tMatrix& m, const sVec3& p)
{
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13], p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

tMatrix MakeTransform(float angle, float scale, const sVec3& position)
{
    float c = std::cos(angle) * scale, s = std::sin(angle) * scale;
    return {c, 0, -s, 0, 0, scale, 0, 0, s, 0, c, 0, position.x, position.y, position.z, 1};
}

std::vector<sVegetationKind> BuildVegetationKinds(std::uint32_t seed, const sVegetationTextures& tex)
{
    std::vector<sVegetationKind> kinds;
    auto add = [&kinds](const std::string& file, eKindClass cls, cMeshBuilder mesh, const sVec3& crown) {
        sVegetationKind k;
        k.meshFile = file;
        k.kindClass = cls;
        k.mesh = std::move(mesh);
        k.box = k.mesh.GetBoundingBox();
        k.crown = crown;
        kinds.push_back(std::move(k));
    };
    sVec3 crown;
    cMeshBuilder palm = BuildPalm(seed + 1, 7.2f, 1.6f, 10, tex, crown);
    add("data/meshes/vegetation/palm_tall.mesh", KIND_PALM, std::move(palm), crown);
    palm = BuildPalm(seed + 2, 5.6f, 0.9f, 9, tex, crown);
    add("data/meshes/vegetation/palm_medium.mesh", KIND_PALM, std::move(palm), crown);
    palm = BuildPalm(seed + 3, 4.4f, 2.1f, 8, tex, crown);
    add("data/meshes/vegetation/palm_leaning.mesh", KIND_PALM, std::move(palm), crown);
    add("data/meshes/vegetation/bush_broadleaf.mesh", KIND_BUSH, BuildBush(seed + 4, tex), sVec3(0, 0.9f, 0));
    add("data/meshes/vegetation/fern.mesh", KIND_FERN, BuildFern(seed + 5, tex), sVec3(0, 0.4f, 0));
    add("data/meshes/vegetation/grass_tuft.mesh", KIND_GRASS, BuildGrass(seed + 6, tex), sVec3(0, 0.3f, 0));
    add("data/meshes/vegetation/rock_boulder.mesh", KIND_ROCK, BuildRock(seed + 7, false, tex), sVec3(0, 0.5f, 0));
    add("data/meshes/vegetation/rock_slab.mesh", KIND_ROCK, BuildRock(seed + 8, true, tex), sVec3(0, 0.3f, 0));
    return kinds;
}

cVegetationPlacer::cVegetationPlacer(const cHeightField& field, const cTerrainPainter& painter, std::uint32_t seed)
    : m_Field(field), m_Painter(painter), m_Seed(seed)
{
}

std::vector<sInstance> cVegetationPlacer::Place(const std::vector<sVegetationKind>& kinds) const
{
    cNoise noise(m_Seed + 501);
    cRandom rnd(m_Seed, 61);
    const float L = m_Field.GetLayout().waterLevel;
    const float S = static_cast<float>(m_Field.GetSize());
    std::vector<sInstance> out;

    // Occupied discs per 4-unit cell, so plants keep their distance from each other.
    struct sDisc { float x, z, r; };
    std::unordered_map<int, std::vector<sDisc>> grid;
    auto cellKey = [](int cx, int cz) { return cz * 1024 + cx; };
    auto isFree = [&](float x, float z, float r) {
        int cx = static_cast<int>(x / 4.0f), cz = static_cast<int>(z / 4.0f);
        for (int dz = -2; dz <= 2; ++dz)
            for (int dx = -2; dx <= 2; ++dx) {
                auto it = grid.find(cellKey(cx + dx, cz + dz));
                if (it == grid.end())
                    continue;
                for (const sDisc& d : it->second)
                    if ((d.x - x) * (d.x - x) + (d.z - z) * (d.z - z) < (d.r + r) * (d.r + r))
                        return false;
            }
        return true;
    };
    auto occupy = [&](float x, float z, float r) { grid[cellKey(static_cast<int>(x / 4.0f), static_cast<int>(z / 4.0f))].push_back({x, z, r}); };

    struct sRule {
        eKindClass cls;
        float spacing, radius;
    };
    // Larger plants first so the small ones fill the gaps between them.
    const sRule rules[] = {{KIND_ROCK, 4.5f, 1.2f}, {KIND_PALM, 2.6f, 1.1f}, {KIND_BUSH, 2.0f, 0.9f}, {KIND_FERN, 1.5f, 0.55f}, {KIND_GRASS, 1.5f, 0.45f}};
    for (const sRule& rule : rules) {
        std::vector<int> variants;
        for (std::size_t k = 0; k < kinds.size(); ++k)
            if (kinds[k].kindClass == rule.cls)
                variants.push_back(static_cast<int>(k));
        if (variants.empty())
            continue;
        for (float gz = 2.0f; gz < S - 2.0f; gz += rule.spacing) {
            for (float gx = 2.0f; gx < S - 2.0f; gx += rule.spacing) {
                float x = gx + rnd.Range(0.0f, rule.spacing), z = gz + rnd.Range(0.0f, rule.spacing);
                float pick = rnd.Uniform(), variantPick = rnd.Uniform(), angle = rnd.Range(0.0f, 6.2831853f), sizePick = rnd.Uniform();
                if (x >= S - 2.0f || z >= S - 2.0f)
                    continue;
                float h = m_Field.Height(x, z);
                float rel = h - L;
                sVec3 nrm = m_Field.Normal(x, z);
                float slope = 1.0f - nrm.y;
                float w[LAYER_COUNT];
                m_Painter.LayerWeights(x, z, w);
                float cluster = noise.Fbm(x / 22.0f + 40.0f * rule.cls, z / 22.0f, 3);
                float density = 0.0f;
                float scale = 1.0f;
                switch (rule.cls) {
                case KIND_PALM: {
                    // Groves along the beaches, thinner inland, a few up the valleys.
                    float coastBand = SmoothStep(0.9f, 1.8f, rel) * (1.0f - SmoothStep(9.0f, 16.0f, rel));
                    float inland = 0.25f * SmoothStep(4.0f, 8.0f, rel) * (1.0f - SmoothStep(22.0f, 30.0f, rel)) * w[LAYER_JUNGLE];
                    density = (coastBand * SmoothStep(-0.15f, 0.2f, cluster) * 0.95f + inland) * (1.0f - SmoothStep(0.18f, 0.3f, slope));
                    scale = 0.85f + 0.3f * sizePick;
                    break;
                }
                case KIND_BUSH:
                    density = (w[LAYER_JUNGLE] * 0.8f + w[LAYER_GRASS] * 0.35f) * SmoothStep(-0.3f, 0.2f, cluster) * SmoothStep(2.0f, 4.0f, rel) * (1.0f - SmoothStep(0.28f, 0.42f, slope)) * (1.0f - SmoothStep(44.0f, 52.0f, rel));
                    scale = 0.8f + 0.6f * sizePick;
                    break;
                case KIND_FERN:
                    density = w[LAYER_JUNGLE] * 0.7f * SmoothStep(-0.4f, 0.1f, cluster) * (1.0f - SmoothStep(0.4f, 0.55f, slope)) * SmoothStep(2.5f, 4.0f, rel);
                    scale = 0.8f + 0.5f * sizePick;
                    break;
                case KIND_GRASS:
                    density = (w[LAYER_GRASS] * 0.55f + w[LAYER_SAND] * 0.12f * SmoothStep(1.5f, 3.0f, rel)) * SmoothStep(-0.3f, 0.3f, cluster) * (1.0f - SmoothStep(0.35f, 0.5f, slope)) * SmoothStep(1.2f, 2.5f, rel);
                    scale = 0.8f + 0.6f * sizePick;
                    break;
                case KIND_ROCK:
                    density = (w[LAYER_ROCK] * 0.35f + 0.15f * w[LAYER_WET] * m_Field.CliffWeight(x, z) + 0.05f * w[LAYER_SAND]) * SmoothStep(0.3f, 0.8f, rel) * (1.0f - SmoothStep(0.38f, 0.5f, slope));
                    scale = 0.6f + 1.2f * sizePick * sizePick;
                    break;
                }
                if (pick >= density)
                    continue;
                float radius = rule.radius * scale;
                if (!isFree(x, z, radius))
                    continue;
                int kind = variants[std::min(variants.size() - 1, static_cast<std::size_t>(variantPick * variants.size()))];
                float y = h;
                if (rule.cls == KIND_PALM) {
                    // Lean towards the open side: down the slope.
                    float gx = m_Field.Height(x + 1.5f, z) - m_Field.Height(x - 1.5f, z);
                    float gz = m_Field.Height(x, z + 1.5f) - m_Field.Height(x, z - 1.5f);
                    if (gx * gx + gz * gz > 1e-6f)
                        angle = std::atan2(gz, -gx) + rnd.Range(-0.5f, 0.5f);
                    y -= 0.1f;
                } else if (rule.cls == KIND_ROCK) {
                    // Bedded into the ground, deeper on a slope so the downhill side does not float.
                    y -= (0.25f + 1.1f * slope) * scale;
                } else {
                    y -= 0.05f;
                }
                sInstance inst;
                inst.kind = kind;
                inst.matrix = MakeTransform(angle, scale, sVec3(x, y, z));
                float tint = rnd.Range(0.0f, 1.0f);
                inst.color[0] = static_cast<std::uint8_t>(225 + 30 * tint);
                inst.color[1] = static_cast<std::uint8_t>(235 + 20 * (1.0f - tint));
                inst.color[2] = static_cast<std::uint8_t>(215 + 25 * tint);
                inst.color[3] = 255;
                occupy(x, z, radius);
                out.push_back(inst);
            }
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const sInstance& a, const sInstance& b) { return a.kind < b.kind; });
    return out;
}

std::vector<sGroundShadow> cVegetationPlacer::Shadows(const std::vector<sVegetationKind>& kinds, const std::vector<sInstance>& instances, const sVec3& sunIn) const
{
    sVec3 sun = Normalize(sunIn);
    std::vector<sGroundShadow> out;
    for (const sInstance& inst : instances) {
        const sVegetationKind& k = kinds[inst.kind];
        float scale = inst.matrix[5];
        sVec3 crown = TransformPoint(inst.matrix, k.crown);
        // The crown's shadow falls away from the sun, where the ray through the crown meets the ground:
        // down a slope or over a cliff edge that is further than the crown is high.
        float sx = crown.x, sz = crown.z;
        if (sun.y > 0.05f) {
            const float step = 0.25f;
            for (float t = 0.0f; t < 80.0f; t += step) {
                sVec3 p = crown - sun * t;
                sx = p.x;
                sz = p.z;
                if (p.y <= m_Field.Height(p.x, p.z))
                    break;
            }
        }
        switch (k.kindClass) {
        case KIND_PALM: {
            // A crown of fronds (turned with the instance) and the trunk's band from its foot.
            sGroundShadow shadow{sx, sz, 2.3f * scale, 0.5f};
            shadow.lobes = 9;
            shadow.phase = std::atan2(inst.matrix[2], inst.matrix[0]);
            shadow.trunkX = inst.matrix[12];
            shadow.trunkZ = inst.matrix[14];
            shadow.trunkWidth = 0.35f * scale;
            out.push_back(shadow);
            break;
        }
        case KIND_BUSH: out.push_back({sx, sz, 1.2f * scale, 0.5f}); break;
        case KIND_FERN: out.push_back({sx, sz, 0.8f * scale, 0.3f}); break;
        case KIND_ROCK: out.push_back({sx, sz, 0.9f * scale, 0.45f}); break;
        default: break;
        }
    }
    return out;
}

} // namespace brevonne

#include "tools/generator/cHeightField.h"

#include <algorithm>
#include <cmath>

#include "tools/generator/cNoise.h"
#include "tools/generator/cRandom.h"

namespace brevonne {

float Dot(const sVec3& a, const sVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
sVec3 Cross(const sVec3& a, const sVec3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(const sVec3& a) { return std::sqrt(Dot(a, a)); }
sVec3 Normalize(const sVec3& a)
{
    float l = Length(a);
    return l > 0.0f ? a * (1.0f / l) : sVec3(0, 1, 0);
}

namespace {
constexpr float kPi = 3.14159265358979f;
} // namespace

float cHeightField::At(int x, int z) const
{
    x = std::clamp(x, 0, m_Size - 1);
    z = std::clamp(z, 0, m_Size - 1);
    return m_Heights[static_cast<std::size_t>(z) * m_Size + x];
}

float cHeightField::Height(float x, float z) const
{
    float fx = std::clamp(x, 0.0f, static_cast<float>(m_Size - 1));
    float fz = std::clamp(z, 0.0f, static_cast<float>(m_Size - 1));
    int ix = std::min(static_cast<int>(fx), m_Size - 2), iz = std::min(static_cast<int>(fz), m_Size - 2);
    float tx = fx - ix, tz = fz - iz;
    const float* row0 = &m_Heights[static_cast<std::size_t>(iz) * m_Size + ix];
    const float* row1 = row0 + m_Size;
    return (1 - tz) * ((1 - tx) * row0[0] + tx * row0[1]) + tz * ((1 - tx) * row1[0] + tx * row1[1]);
}

sVec3 cHeightField::Normal(float x, float z) const
{
    float e = 0.5f;
    float dx = Height(x + e, z) - Height(x - e, z);
    float dz = Height(x, z + e) - Height(x, z - e);
    return Normalize(sVec3(-dx, 2.0f * e, -dz));
}

float cHeightField::MaxHeight() const { return *std::max_element(m_Heights.begin(), m_Heights.end()); }

float cHeightField::CoastValue(float x, float z) const
{
    cNoise n(m_Seed + 11);
    const sIslandLayout& l = m_Layout;
    float wx = x + 10.0f * n.Fbm(x / 64.0f, z / 64.0f, 3);
    float wz = z + 10.0f * n.Fbm(x / 64.0f + 5.2f, z / 64.0f + 1.3f, 3);
    float dx = wx - l.centerX, dz = wz - l.centerZ;
    // The island is longer from north-west to south-east.
    float ca = 0.766f, sa = -0.643f;
    float u = dx * ca + dz * sa, v = -dx * sa + dz * ca;
    float d = std::sqrt((u / 1.16f) * (u / 1.16f) + (v / 0.84f) * (v / 0.84f));
    float ang = std::atan2(dz, dx);
    float wobble = n.Fbm(1.4f * std::cos(ang) + 3.0f, 1.4f * std::sin(ang) - 7.0f, 4);
    float r = l.radius * (1.0f + 0.13f * wobble);
    // A bay on the beach side, for the lagoon to curve into.
    float bay = std::exp(-((ang - 0.35f) * (ang - 0.35f)) / 0.06f);
    r -= 9.0f * bay;
    return r - d;
}

float cHeightField::CliffWeight(float x, float z) const
{
    cNoise n(m_Seed + 23);
    float dx = x - m_Layout.centerX, dz = z - m_Layout.centerZ;
    float len = std::sqrt(dx * dx + dz * dz) + 1e-3f;
    // The cliffs face west and north-west; the lagoon faces east.
    float west = -(dx / len) * 0.85f - (dz / len) * 0.35f;
    return SmoothStep(0.3f, 0.65f, west + 0.2f * n.Fbm(x / 40.0f, z / 40.0f, 2));
}

void cHeightField::Build(std::uint32_t seed, float waterLevel)
{
    m_Seed = seed;
    cRandom rnd(seed, 77);
    sIslandLayout& l = m_Layout;
    l.waterLevel = waterLevel;
    float S = static_cast<float>(m_Size);
    float k = S / 256.0f;
    l.centerX = (112.0f + rnd.Range(-3, 3)) * k;
    l.centerZ = (116.0f + rnd.Range(-3, 3)) * k;
    l.radius = 74.0f * k;
    l.peakX = l.centerX - 16.0f * k;
    l.peakZ = l.centerZ + 4.0f * k;
    l.isletX = 210.0f * k;
    l.isletZ = 212.0f * k;
    l.isletRadius = 11.0f * k;
    l.reefOffset = 21.0f * k;

    cNoise n(seed);
    cNoise ridges(seed + 101);
    const float L = waterLevel;
    for (int z = 0; z < m_Size; ++z) {
        for (int x = 0; x < m_Size; ++x) {
            float fx = static_cast<float>(x), fz = static_cast<float>(z);
            float s = CoastValue(fx, fz);
            float cw = CliffWeight(fx, fz);
            float bw = 1.0f - cw;

            float h;
            if (s >= 0.0f) {
                // Beach side: a long gentle rise out of the water; cliff side: a wall straight up.
                float beach = L + 0.075f * s + 0.0016f * s * s;
                float cliffTop = 9.0f + 9.0f * n.Fbm(fx / 22.0f, fz / 22.0f, 3);
                float cliff = L + 0.8f + cliffTop * SmoothStep(0.0f, 4.5f, s) + 0.25f * s;
                h = Lerp(beach, cliff, cw);

                // The volcano, its radial ridges and the rolling hills.
                float px = fx - l.peakX, pz = fz - l.peakZ;
                float dp = std::sqrt(px * px + pz * pz);
                float ang = std::atan2(pz, px);
                float Rv = 70.0f * k;
                float t = std::max(0.0f, 1.0f - dp / Rv);
                float cone = 34.0f * std::pow(t, 1.45f) + 8.0f * std::pow(t, 4.0f);
                float ridge = ridges.Ridged(2.6f * std::cos(ang) + dp * 0.018f, 2.6f * std::sin(ang) + dp * 0.015f, 2, 0.4f);
                // The ridges run radially, so near the summit one turn of the noise's circle is only a
                // few units of rim: there they would stand as a comb of sharp teeth. They fade in below it.
                float ridgeBand = std::sin(kPi * std::min(1.0f, dp / Rv)) * SmoothStep(8.0f * k, 26.0f * k, dp);
                float hills = 4.0f * n.Fbm(fx / 40.0f + 9.0f, fz / 40.0f, 3) + 3.0f * ridges.Ridged(fx / 34.0f, fz / 34.0f, 2);
                float crater = 0.0f;
                if (dp < 9.0f * k) {
                    float c = dp / (9.0f * k);
                    crater = -6.0f * (1.0f - c * c) * (1.0f - c * c);
                }
                float inland = SmoothStep(2.0f, 34.0f, s);
                h += inland * (cone + 7.0f * ridge * ridgeBand + hills * (0.5f + 0.5f * bw) + crater);
            } else {
                float d = -s;
                float open = std::min(22.0f, 0.11f * d + 0.022f * d * d);
                float cliffSea = std::min(22.0f, 2.5f + 0.9f * d);
                // The lagoon: a shallow sandy shelf behind a reef crest, then the reef wall.
                float reefD = l.reefOffset + 3.0f * n.Fbm(fx / 25.0f, fz / 25.0f, 2);
                float lagoon;
                float ripple = 0.35f * n.Fbm(fx / 9.0f, fz / 9.0f, 3);
                if (d < reefD - 2.5f)
                    lagoon = std::min(0.1f * d + 0.012f * d * d, 2.6f) + ripple * SmoothStep(0.0f, 5.0f, d);
                else if (d < reefD + 2.0f) {
                    float gap = SmoothStep(0.55f, 0.75f, n.Fbm(fx / 14.0f + 3.0f, fz / 14.0f, 2) * 0.5f + 0.5f);
                    lagoon = Lerp(0.9f + 0.3f * ripple, 2.4f, gap);
                } else
                    lagoon = std::min(22.0f, 0.9f + 1.3f * (d - reefD - 2.0f));
                float lagoonW = bw * SmoothStep(0.35f, 0.75f, bw);
                float depth = Lerp(Lerp(open, lagoon, lagoonW), cliffSea, cw);
                h = L - depth;
            }

            // The islet: a sandy dome with a little hill, outside the reef.
            float ix = fx - l.isletX + 3.0f * n.Fbm(fx / 12.0f, fz / 12.0f, 2);
            float iz = fz - l.isletZ + 3.0f * n.Fbm(fx / 12.0f + 4.0f, fz / 12.0f, 2);
            float di = std::sqrt(ix * ix * 1.2f + iz * iz * 0.85f);
            float si = l.isletRadius - di;
            float islet;
            if (si >= 0.0f)
                islet = L + 0.1f * si + 0.02f * si * si + 4.5f * std::exp(-(di * di) / 30.0f);
            else
                islet = L - std::min(22.0f, 0.12f * -si + 0.03f * si * si);
            h = std::max(h, islet);
            At(x, z) = std::max(h, L - 22.0f);
        }
    }
    Erode(seed, L);
    l.peakHeight = MaxHeight();
}

void cHeightField::Erode(std::uint32_t seed, float L)
{
    // Rain drops running downhill carve the valleys and gullies; beaches and the sea floor stay as shaped.
    cRandom rnd(seed, 5);
    const int S = m_Size;
    std::vector<float> strength(m_Heights.size());
    for (std::size_t i = 0; i < m_Heights.size(); ++i)
        strength[i] = SmoothStep(L + 3.0f, L + 12.0f, m_Heights[i]);

    auto gradient = [&](float x, float z, float& gx, float& gz, float& h) {
        int ix = static_cast<int>(x), iz = static_cast<int>(z);
        float tx = x - ix, tz = z - iz;
        float h00 = m_Heights[iz * S + ix], h10 = m_Heights[iz * S + ix + 1];
        float h01 = m_Heights[(iz + 1) * S + ix], h11 = m_Heights[(iz + 1) * S + ix + 1];
        gx = (h10 - h00) * (1 - tz) + (h11 - h01) * tz;
        gz = (h01 - h00) * (1 - tx) + (h11 - h10) * tx;
        h = h00 * (1 - tx) * (1 - tz) + h10 * tx * (1 - tz) + h01 * (1 - tx) * tz + h11 * tx * tz;
    };

    const std::vector<float> before = m_Heights;
    const int drops = 50000;
    for (int d = 0; d < drops; ++d) {
        float x = rnd.Range(1.0f, S - 2.0f), z = rnd.Range(1.0f, S - 2.0f);
        if (m_Heights[static_cast<int>(z) * S + static_cast<int>(x)] < L + 4.0f)
            continue;
        float dirX = 0, dirZ = 0, speed = 1, water = 1, sediment = 0;
        for (int step = 0; step < 48; ++step) {
            int ix = static_cast<int>(x), iz = static_cast<int>(z);
            float tx = x - ix, tz = z - iz;
            float gx, gz, h;
            gradient(x, z, gx, gz, h);
            dirX = dirX * 0.05f - gx * 0.95f;
            dirZ = dirZ * 0.05f - gz * 0.95f;
            float len = std::sqrt(dirX * dirX + dirZ * dirZ);
            if (len < 1e-6f)
                break;
            dirX /= len;
            dirZ /= len;
            float nx = x + dirX, nz = z + dirZ;
            if (nx < 1 || nz < 1 || nx >= S - 2 || nz >= S - 2)
                break;
            float ngx, ngz, nh;
            gradient(nx, nz, ngx, ngz, nh);
            float dh = nh - h;
            float capacity = std::max(-dh, 0.01f) * speed * water * 4.0f;
            std::size_t i00 = static_cast<std::size_t>(iz) * S + ix;
            float w[4] = {(1 - tx) * (1 - tz), tx * (1 - tz), (1 - tx) * tz, tx * tz};
            std::size_t idx[4] = {i00, i00 + 1, i00 + S, i00 + S + 1};
            if (sediment > capacity || dh > 0) {
                float amount = dh > 0 ? std::min(dh, sediment) : (sediment - capacity) * 0.3f;
                sediment -= amount;
                for (int c = 0; c < 4; ++c)
                    m_Heights[idx[c]] += amount * w[c];
            } else {
                float amount = std::min((capacity - sediment) * 0.3f, -dh);
                for (int c = 0; c < 4; ++c) {
                    float take = amount * w[c] * strength[idx[c]];
                    m_Heights[idx[c]] -= take;
                    sediment += take;
                }
            }
            speed = std::sqrt(std::max(0.0f, speed * speed - dh * 4.0f));
            water *= 0.98f;
            x = nx;
            z = nz;
        }
    }
    // Keep the carved valleys but not the single-sample pits and spikes the drops leave behind, nor
    // the knife-edge ribs between neighbouring gullies, which stand against the sky as a comb of teeth.
    std::vector<float> diff(m_Heights.size());
    for (std::size_t i = 0; i < diff.size(); ++i)
        diff[i] = m_Heights[i] - before[i];
    for (int pass = 0; pass < 4; ++pass) {
        std::vector<float> blurred(diff.size());
        for (int z = 0; z < S; ++z)
            for (int x = 0; x < S; ++x) {
                float sum = 0.0f, wsum = 0.0f;
                for (int dz = -1; dz <= 1; ++dz)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int xx = std::clamp(x + dx, 0, S - 1), zz = std::clamp(z + dz, 0, S - 1);
                        float w = (dx == 0 ? 2.0f : 1.0f) * (dz == 0 ? 2.0f : 1.0f);
                        sum += w * diff[static_cast<std::size_t>(zz) * S + xx];
                        wsum += w;
                    }
                blurred[static_cast<std::size_t>(z) * S + x] = sum / wsum;
            }
        diff.swap(blurred);
    }
    for (std::size_t i = 0; i < diff.size(); ++i)
        m_Heights[i] = before[i] + 1.1f * diff[i];
}

} // namespace brevonne

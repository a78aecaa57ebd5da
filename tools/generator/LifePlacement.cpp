#include "tools/generator/LifePlacement.h"

#include <algorithm>
#include <cmath>

#include "tools/generator/cNoise.h"

namespace brevonne {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kSamples = 600;
// Butterflies: the half side of their cube and the reach of a wing beyond a butterfly's centre.
constexpr float kSwarmHalf = 1.4f;
constexpr float kWingReach = 0.35f;

sVec3 CameraAt(const sScenePath& p, float t) { return sScenePath::Evaluate(p.camera, std::min(t, 0.99999f)); }
sVec3 TargetAt(const sScenePath& p, float t) { return sScenePath::Evaluate(p.target, std::min(t, 0.99999f)); }

float HorizontalDistance(const sVec3& a, const sVec3& b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.z - b.z) * (a.z - b.z)); }

// How many camera samples see the point within the distance and inside a cone around the view direction.
int SightCount(const std::vector<sScenePath>& paths, const sVec3& point, float distance, float coneCos)
{
    int count = 0;
    for (const sScenePath& p : paths)
        for (int s = 0; s <= kSamples; ++s) {
            float t = s / static_cast<float>(kSamples);
            sVec3 eye = CameraAt(p, t);
            sVec3 to = point - eye;
            float d = Length(to);
            if (d > distance || d < 1e-3f)
                continue;
            sVec3 view = Normalize(TargetAt(p, t) - eye);
            if (Dot(to, view) / d >= coneCos)
                ++count;
        }
    return count;
}

} // namespace

float PathDistanceToBox(const std::vector<sScenePath>& paths, const sVec3& min, const sVec3& max, int samples)
{
    float best = 1e9f;
    for (const sScenePath& p : paths)
        for (int s = 0; s <= samples; ++s) {
            sVec3 c = CameraAt(p, s / static_cast<float>(samples));
            float dx = std::max({min.x - c.x, 0.0f, c.x - max.x});
            float dy = std::max({min.y - c.y, 0.0f, c.y - max.y});
            float dz = std::max({min.z - c.z, 0.0f, c.z - max.z});
            best = std::min(best, std::sqrt(dx * dx + dy * dy + dz * dz));
        }
    return best;
}

float FlockHalfHeight(const sBirdsEntity& flock)
{
    // As the birds fly: their own height within +-min(0.1 r, 3), a rise and fall of min(1.2, 0.06 r), and
    // the wings.
    return std::min(0.1f * flock.radius, 3.0f) + std::min(1.2f, 0.06f * flock.radius) + 0.5f * flock.wingSpan;
}

float PathDistanceToFlock(const std::vector<sScenePath>& paths, const sBirdsEntity& flock, int samples)
{
    const float inner = 0.8f * flock.radius - 0.5f * flock.wingSpan, outer = 1.2f * flock.radius + 0.5f * flock.wingSpan;
    const float half = FlockHalfHeight(flock);
    float best = 1e9f;
    for (const sScenePath& p : paths)
        for (int s = 0; s <= samples; ++s) {
            sVec3 c = CameraAt(p, s / static_cast<float>(samples));
            float h = HorizontalDistance(c, flock.position);
            float across = std::max({inner - h, 0.0f, h - outer});
            float up = std::max(0.0f, std::fabs(c.y - flock.position.y) - half);
            best = std::min(best, std::sqrt(across * across + up * up));
        }
    return best;
}

std::vector<sButterfliesEntity> PlaceButterflies(const cHeightField& field, const std::vector<sScenePath>& paths, const sLifeOptions& o)
{
    const float L = field.GetLayout().waterLevel;
    std::vector<sButterfliesEntity> swarms;
    for (const sScenePath& path : paths) {
        if (path.name != "grove" && path.name != "beach")
            continue;
        int placed = 0;
        // Ahead of the camera at a few moments of the flight: near enough to be seen, off to one side.
        for (float t = 0.18f; t < 0.9f && placed < 2; t += 0.04f) {
            sVec3 eye = CameraAt(path, t), view = TargetAt(path, t) - eye;
            view.y = 0.0f;
            if (Length(view) < 1e-3f)
                continue;
            view = Normalize(view);
            sVec3 side(-view.z, 0.0f, view.x);
            bool found = false;
            for (float ahead : {7.0f, 9.0f, 11.0f}) {
                for (float aside : {4.5f, -4.5f, 6.0f, -6.0f}) {
                    sVec3 c = eye + view * ahead + side * aside;
                    // A level patch of land, clear of the sea.
                    float lo = 1e9f, hi = -1e9f;
                    for (int k = 0; k < 9; ++k) {
                        float h = field.Height(c.x + (k % 3 - 1) * kSwarmHalf, c.z + (k / 3 - 1) * kSwarmHalf);
                        lo = std::min(lo, h);
                        hi = std::max(hi, h);
                    }
                    if (lo < L + 0.6f || hi - lo > 1.4f)
                        continue;
                    c.y = hi + kSwarmHalf + 0.25f;
                    sVec3 reach(kSwarmHalf + kWingReach, kSwarmHalf + kWingReach, kSwarmHalf + kWingReach);
                    if (PathDistanceToBox(paths, c - reach, c + reach, 1500) < o.cameraClearance)
                        continue;
                    bool crowded = false;
                    for (const sButterfliesEntity& s : swarms)
                        crowded = crowded || Length(s.position - c) < 30.0f;
                    if (crowded)
                        continue;
                    sButterfliesEntity b;
                    b.position = c;
                    b.texture = o.butterflyTextures.empty() ? std::string() : o.butterflyTextures[swarms.size() % o.butterflyTextures.size()];
                    b.velocity = sVec3(0.0f, 0.0f, 0.0f);
                    b.speedVariation = 0.9f;
                    b.changeThreshold = 92;
                    b.flapSpeed = 5.0f;
                    b.areaSize = kSwarmHalf;
                    swarms.push_back(b);
                    ++placed;
                    found = true;
                    break;
                }
                if (found)
                    break;
            }
            if (found)
                t += 0.2f; // the next swarm further along
        }
    }
    return swarms;
}

std::vector<sBirdsEntity> PlaceBirds(const cHeightField& field, const std::vector<sScenePath>& paths, const sLifeOptions& o)
{
    const sIslandLayout& l = field.GetLayout();
    const float L = l.waterLevel;
    struct sCandidate {
        sBirdsEntity flock;
        int sight = 0;
    };
    std::vector<sCandidate> candidates;
    for (int step = 0; step < 28; ++step) {
        float a = step * 2.0f * kPi / 28.0f;
        float c = std::cos(a), s = std::sin(a);
        float coast = 10.0f;
        while (coast < 200.0f && field.Height(l.centerX + c * coast, l.centerZ + s * coast) >= L)
            coast += 0.5f;
        for (float offset : {2.0f, 10.0f})
            for (float height : {14.0f, 19.0f}) {
                sBirdsEntity f;
                f.position = sVec3(l.centerX + c * (coast + offset), L + height, l.centerZ + s * (coast + offset));
                f.texture = o.birdTexture;
                f.count = 3 + step % 2;
                f.radius = 15.0f + 3.0f * static_cast<float>(step % 3);
                f.speed = (step % 2 ? -1.0f : 1.0f) * 4.5f;
                f.wingSpan = 2.2f;
                f.flapSpeed = 2.2f;
                // Above the ground everywhere on the circles.
                float ground = L;
                for (int k = 0; k < 48; ++k) {
                    float b = k * 2.0f * kPi / 48.0f;
                    for (float r : {0.8f * f.radius - 1.0f, f.radius, 1.2f * f.radius + 1.0f})
                        ground = std::max(ground, field.Height(f.position.x + std::cos(b) * r, f.position.z + std::sin(b) * r));
                }
                if (f.position.y - FlockHalfHeight(f) < ground + o.birdGroundClearance)
                    continue;
                if (PathDistanceToFlock(paths, f, 1500) < o.birdClearance)
                    continue;
                candidates.push_back({f, SightCount(paths, f.position, 60.0f, 0.8f)});
            }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const sCandidate& a, const sCandidate& b) { return a.sight > b.sight; });
    std::vector<sBirdsEntity> flocks;
    for (const sCandidate& c : candidates) {
        if (flocks.size() >= 3 || c.sight == 0)
            break;
        bool crowded = false;
        for (const sBirdsEntity& f : flocks)
            crowded = crowded || HorizontalDistance(f.position, c.flock.position) < 70.0f;
        if (!crowded)
            flocks.push_back(c.flock);
    }
    return flocks;
}

} // namespace brevonne

// Particle systems: where particles are born and with what motion, over many
// draws from a fixed seed; how live particles age and dead ones come back;
// creation failures and drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "scene/EffectTestSupport.h"
#include "scene/IBillboardSet.h"
#include "scene/cParticleSystem.h"
#include "scene/cResourceManager.h"
#include "scene/support/SceneTestSupport.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

constexpr int kDraws = 16000;

// A headless system of `count` particles born once from the shape and motion.
struct sBorn {
    cParticleSystem system{nullptr};
    sBorn(int count, const sEmitterShape& shape, const sParticleMotion& motion, const cVector3& emitter) {
        std::srand(20240611);
        system.SetEmitterPosition(emitter);
        system.SetShape(shape);
        system.SetMotion(motion);
        EXPECT_TRUE(system.CreateParticles(count));
        system.Step(0.0f, 0.0f);
    }
    cVector3 Position(int k) const {
        const sBillboardVertex& v = system.GetBillboardSet()->Lock()[4 * k];
        return cVector3(v.x, v.y, v.z);
    }
};

} // namespace

TEST(ParticleEmission, SphereDirectionsAreUniformAndDistancesUniformInTheRadius) {
    sEmitterShape shape;
    shape.shape = EMITTER_SPHERE;
    shape.sphereRadius = 4.0f;
    const cVector3 emitter(10.0f, -2.0f, 3.0f);
    sBorn born(kDraws, shape, sParticleMotion(), emitter);
    double mean[3] = {}, square[3] = {};
    int distances[4] = {}, heights[4] = {};
    for (int k = 0; k < kDraws; ++k) {
        const cVector3 offset = born.Position(k) - emitter;
        const float d = offset.Length();
        ASSERT_LE(d, 4.0f + 1e-4f);
        ++distances[std::min(3, static_cast<int>(d))];
        if (d < 0.05f) continue;
        for (int a = 0; a < 3; ++a) mean[a] += offset[a] / d, square[a] += offset[a] * offset[a] / (d * d);
        ++heights[std::min(3, static_cast<int>((offset.z / d + 1.0f) * 2.0f))];
    }
    // cos(theta) = 1 - 2 u is uniform in -1..1: each axis has mean 0 and mean square 1/3.
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(mean[a] / kDraws, 0.0, 0.02) << a;
        EXPECT_NEAR(square[a] / kDraws, 1.0 / 3.0, 0.02) << a;
    }
    for (int b = 0; b < 4; ++b) {
        EXPECT_NEAR(heights[b], kDraws / 4, kDraws / 40) << b;
        EXPECT_NEAR(distances[b], kDraws / 4, kDraws / 40) << b;
    }
}

TEST(ParticleEmission, BoxesAreFilledAndValuesWithoutSpreadAreExact) {
    sEmitterShape box;
    box.shape = EMITTER_BOX;
    const float lo[3] = {-1.0f, 0.0f, 2.0f}, hi[3] = {3.0f, 0.5f, 2.0f};
    std::copy(lo, lo + 3, box.boxMin);
    std::copy(hi, hi + 3, box.boxMax);
    sParticleMotion exact;
    exact.velocity = cVector3(0.1f, -3.3f, 7.0f);
    exact.acceleration = cVector3(0.0f, -9.81f, 0.0f);
    exact.decay = 0.37f;
    exact.startSize = 2.5f;
    exact.endSize = 0.3f;
    const cVector3 emitter(5.0f, 5.0f, 5.0f);
    sBorn born(kDraws, box, exact, emitter);
    double sum[3] = {};
    for (int k = 0; k < kDraws; ++k) {
        const cVector3 p = born.Position(k);
        for (int a = 0; a < 3; ++a) {
            ASSERT_GE(p[a], emitter[a] + lo[a]);
            ASSERT_LE(p[a], emitter[a] + hi[a]);
            sum[a] += p[a];
        }
        const auto& particle = born.system.GetParticles()[static_cast<std::size_t>(k)];
        ASSERT_EQ(particle.velocity, exact.velocity);
        ASSERT_EQ(particle.acceleration, exact.acceleration);
        ASSERT_EQ(particle.decay, 0.37f);
        ASSERT_EQ(particle.startSize, 2.5f);
        ASSERT_EQ(particle.endSize, 0.3f);
    }
    for (int a = 0; a < 3; ++a) EXPECT_NEAR(sum[a] / kDraws, emitter[a] + (lo[a] + hi[a]) / 2, 0.03);

    // With spreads: within base +- variation, sizes cut at 0 (0.3 + (2u - 1) < 0 for 35% of draws).
    sParticleMotion spread = exact;
    spread.velocityVariation = 2.0f;
    spread.sizeVariation = 1.0f;
    sBorn wide(kDraws, sEmitterShape(), spread, emitter);
    int zeroSizes = 0;
    for (const auto& p : wide.system.GetParticles()) {
        for (int a = 0; a < 3; ++a) ASSERT_LE(std::fabs(p.velocity[a] - exact.velocity[a]), 2.0f);
        ASSERT_GE(p.endSize, 0.0f);
        zeroSizes += p.endSize == 0.0f;
    }
    EXPECT_NEAR(zeroSizes, kDraws * 0.35, kDraws * 0.02);
    EXPECT_EQ(wide.Position(7), emitter);
}

TEST(ParticleSystem, ParticlesAgeTowardTheirEndLooksAndComeBackWhenDead) {
    sParticleMotion motion;
    motion.velocity = cVector3(2.0f, 0.0f, 0.0f);
    motion.acceleration = cVector3(0.0f, 4.0f, 0.0f);
    motion.startColor = cColor(255, 0, 100, 255);
    motion.endColor = cColor(55, 200, 100, 0);
    motion.startSize = 3.0f;
    motion.endSize = 1.0f;
    sBorn born(3, sEmitterShape(), motion, cVector3());
    cParticleSystem& system = born.system;
    const sBillboardVertex* v = system.GetBillboardSet()->Lock();
    system.Step(0.5f, 0.0f);  // drawn at life 1, then life 0.75 and velocity (2, 2, 0)
    EXPECT_EQ(v[2].color, cColor(255, 0, 100, 255));
    EXPECT_FLOAT_EQ(v[2].halfWidth, 3.0f);
    system.Step(0.5f, 0.0f);  // drawn at life 0.75
    EXPECT_FLOAT_EQ(v[2].x, 2.0f);
    EXPECT_FLOAT_EQ(v[2].y, 1.0f);
    EXPECT_EQ(v[2].color, cColor(205, 50, 100, 191));
    EXPECT_FLOAT_EQ(v[2].halfHeight, 2.5f);

    // Dead particles are not drawn, and come back at the next update without a rate...
    system.Step(2.0f, 0.0f);
    EXPECT_LE(system.GetParticles()[0].life, 0.0f);
    EXPECT_EQ(v[0].halfWidth, 0.0f);
    system.Step(0.0f, 0.0f);
    for (const auto& p : system.GetParticles()) EXPECT_EQ(p.life, 1.0f);
    // ...and one per 1 / rate seconds for the whole system with one.
    system.Step(2.1f, 0.0f);
    system.SetEmissionRate(2.0f);
    system.SetLastEmissionTime(1000.0f);
    auto alive = [&] {
        int n = 0;
        for (const auto& p : system.GetParticles()) n += p.life > 0.0f;
        return n;
    };
    const float times[] = {1400.0f, 1500.0f, 1999.0f, 2000.0f};
    const int expected[] = {0, 1, 1, 2};
    for (int i = 0; i < 4; ++i) {
        system.Step(0.0f, times[i]);
        EXPECT_EQ(alive(), expected[i]) << times[i];
    }
}

TEST(ParticleSystem, FailuresLeaveItEmptyAndDrawingBlendsWithoutDepthWrites) {
    cEffectRenderer renderer;
    cResourceManager resources;
    resources.SetRenderer(&renderer);
    cLogCapture log;
    IParticleSystem* system = resources.CreateParticleSystem();
    ASSERT_NE(system, nullptr);
    EXPECT_FALSE(system->CreateParticles(0));
    renderer.failLocks = true;
    EXPECT_FALSE(system->CreateParticles(8));
    renderer.failLocks = false;
    system->Update(0.1f);
    EXPECT_EQ(system->GetParticleCount(), 0);
    EXPECT_EQ(log.Text(), "Creating particle system... succeeded\n"
                          "cParticleSystem::CreateParticles : failed to create particles, invalid amount\n"
                          "cBillboardSet::CreateBillboards : failed to lock vertex buffer\n"
                          "cParticleSystem::CreateParticles : failed to create billboards\n");

    system->SetBlendFactors(video::BF_SRC_ALPHA, video::BF_ONE);
    ASSERT_TRUE(system->CreateParticles(5));
    renderer.calls.clear();
    system->Render(cVector3(1, 2, 3));
    EXPECT_EQ(system->GetEmitterPosition(), cVector3(1, 2, 3));
    const std::vector<std::string> expected = {"depth off", "blend 7 2", "vertices 4", "indices 3", "draw 3 0 20 30",
                                               "vertices none", "indices none", "blend 0 0", "depth on"};
    EXPECT_EQ(renderer.calls, expected);
    EXPECT_EQ(system->AddRef(), system);
    system->Release();
    system->Release();
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
}

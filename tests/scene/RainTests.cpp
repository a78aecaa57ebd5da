// Rain: where the drops lie around the camera, how much the far ones are
// scaled up, and what each setter rebuilds or resizes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "scene/IBillboardSet.h"
#include "scene/IRain.h"
#include "scene/cResourceManager.h"
#include "scene/support/SceneTestSupport.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

float Ground(const sBillboardVertex& v) { return std::sqrt(v.x * v.x + v.z * v.z); }

struct sRain : ::testing::Test {
    cResourceManager resources;
    IRain* rain = nullptr;
    sRain() {
        resources.SetHeadless(true);
        std::srand(7);
    }
    ~sRain() override {
        if (rain) rain->Release();
    }
    const sBillboardVertex& Drop(int k, int corner = 0) const { return rain->GetBillboardSet()->Lock()[4 * k + corner]; }
};

} // namespace

TEST_F(sRain, DropsLieOnTheRingAroundTheCameraAndFarOnesAreScaledUp) {
    rain = resources.CreateRain(4000, 32.0f, 2.0f, 0.5f);
    ASSERT_NE(rain, nullptr);
    ASSERT_EQ(rain->GetBillboardSet()->GetCount(), 4000);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    int nearHalf = 0, quadrant[4] = {}, low = 0, high = 0;
    for (int k = 0; k < 4000; ++k) {
        const float r = Ground(Drop(k));
        ASSERT_GE(r, 2.0f - 1e-4f);
        ASSERT_LE(r, 32.0f + 1e-4f);
        ASSERT_LE(std::fabs(Drop(k).y), 1.0f);
        nearHalf += r < 17.0f;
        low += Drop(k).y < -0.9f, high += Drop(k).y > 0.9f;
        ++quadrant[(Drop(k).x >= 0 ? 1 : 0) + (Drop(k).z >= 0 ? 2 : 0)];
        // Both sizes scaled by 1 + k, k = (r - 2) / (radius - 2); white drops.
        const float scale = 1.0f + (r - 2.0f) / 30.0f;
        for (int c = 0; c < 4; ++c) {
            const sBillboardVertex& v = Drop(k, c);
            ASSERT_TRUE(v.x == Drop(k).x && v.y == Drop(k).y && v.z == Drop(k).z);
            ASSERT_TRUE(v.cornerX == corners[c][0] && v.cornerY == corners[c][1]);
            ASSERT_NEAR(v.halfHeight, 2.0f * scale, 1e-4f);
            ASSERT_NEAR(v.halfWidth, 0.5f * scale, 1e-4f);
            ASSERT_EQ(v.color, cColor(255, 255, 255, 255));
        }
    }
    // Distances uniform in 2..32, angles uniform around the camera, heights over -1..1.
    EXPECT_NEAR(nearHalf, 2000, 150);
    for (int q : quadrant) EXPECT_NEAR(q, 1000, 120);
    EXPECT_NEAR(low, 200, 60);
    EXPECT_NEAR(high, 200, 60);
}

TEST_F(sRain, SizesResizeInPlaceWhileCountAndRadiusPlaceTheDropsAnew) {
    rain = resources.CreateRain(1, 32.0f, 2.0f, 10.0f);
    rain->SetDropCount(300);
    ASSERT_EQ(rain->GetBillboardSet()->GetCount(), 300);
    std::vector<float> distances;
    for (int k = 0; k < 300; ++k) distances.push_back(Ground(Drop(k)));
    rain->SetDropSize(0.1f, 3.0f);
    EXPECT_EQ(rain->GetDropWidth(), 0.1f);
    EXPECT_EQ(rain->GetDropHeight(), 3.0f);
    for (int k = 0; k < 300; ++k) {
        const float r = distances[static_cast<std::size_t>(k)];
        ASSERT_EQ(Ground(Drop(k, 2)), r);
        ASSERT_NEAR(Drop(k, 2).halfWidth, 0.1f * (1.0f + (r - 2.0f) / 30.0f), 1e-5f);
        ASSERT_NEAR(Drop(k, 2).halfHeight, 3.0f * (1.0f + (r - 2.0f) / 30.0f), 1e-4f);
    }
    rain->SetRadius(6.0f);
    for (int k = 0; k < 300; ++k) ASSERT_LE(Ground(Drop(k)), 6.0f + 1e-4f);
    // A radius of 2 or less leaves no ring: every drop at distance 2, unscaled.
    rain->SetRadius(1.5f);
    for (int k = 0; k < 300; ++k) {
        ASSERT_NEAR(Ground(Drop(k)), 2.0f, 1e-5f);
        ASSERT_EQ(Drop(k).halfWidth, 0.1f);
    }
    rain->SetDropCount(0);
    EXPECT_EQ(rain->GetBillboardSet()->GetCount(), 0);
    cLogCapture log;
    rain->SetDropCount(1 << 30);
    EXPECT_NE(log.Text().find("too many"), std::string::npos);
    EXPECT_EQ(rain->GetBillboardSet()->GetCount(), IBillboardSet::kMaxBillboards);
}

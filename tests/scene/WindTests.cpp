// The wind's displacement on the CPU: what the programs do to a plant.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/cWind.h"

using namespace velmora;
using namespace velmora::scene;

namespace {

// A 7-unit palm standing at (40, 3, 60).
const cVector4 kPalm(40.0f, 3.0f, 60.0f, 7.0f);

} // namespace

TEST(Wind, BendIsZeroAtTheFootGrowsWithHeightAndStaysBounded) {
    cWind wind;
    wind.SetStrength(1.0f);
    for (double time : {0.0, 2.0, 7.5, 100000.25}) {
        wind.SetTime(time);
        EXPECT_EQ(wind.GetBend(kPalm, 0.0f).Length(), 0.0f);
        EXPECT_EQ(wind.GetBend(kPalm, -2.0f).Length(), 0.0f) << "below the foot nothing moves";
        // The foot of every vertex, flutter included.
        EXPECT_NEAR(wind.GetDisplacement(kPalm, cVector3(41.0f, 3.0f, 62.0f), 5.0f, 25.0f).Length(), 0.0f, 1e-6f);
        float last = 0.0f;
        for (float h = 0.5f; h <= 1000.0f; h *= 2.0f) {
            const float bend = wind.GetBend(kPalm, h).Length();
            EXPECT_GE(bend, last) << h;
            EXPECT_LE(bend, cWind::kBendAmplitude) << h;
            last = bend;
        }
        EXPECT_GT(last, 0.3f * cWind::kBendAmplitude);
        // Along the wind, and horizontal.
        const cVector3 top = wind.GetBend(kPalm, 7.0f);
        EXPECT_EQ(top.y, 0.0f);
        EXPECT_NEAR(top.x * wind.GetDirectionZ() - top.z * wind.GetDirectionX(), 0.0f, 1e-6f);
    }
    // Flutter with the bend stays within both amplitudes together.
    wind.SetTime(3.3);
    for (float y = 3.0f; y < 20.0f; y += 0.7f) {
        const cVector3 d = wind.GetDisplacement(kPalm, cVector3(44.0f, y, 58.0f), 0.0f, 25.0f);
        EXPECT_LE(d.Length(), cWind::kBendAmplitude + 1.2f * cWind::kFlutterAmplitude) << y;
    }
}

TEST(Wind, StillAirMovesNothingAndStrengthScalesTheSway) {
    cWind wind;
    wind.SetStrength(0.0f);
    wind.SetTime(4.0);
    EXPECT_EQ(wind.GetDisplacement(kPalm, cVector3(43.0f, 9.0f, 61.0f), 1.0f, 25.0f).Length(), 0.0f);
    EXPECT_TRUE(wind.GetShear(kPalm).IsIdentity());
    wind.SetStrength(-3.0f);
    EXPECT_EQ(wind.GetStrength(), 0.0f);
    wind.SetStrength(1.0f);
    const cVector3 one = wind.GetBend(kPalm, 7.0f);
    wind.SetStrength(2.0f);
    EXPECT_NEAR(wind.GetBend(kPalm, 7.0f).x, 2.0f * one.x, 1e-5f);
    // Bad input keeps the wind usable.
    wind.SetDirection(0.0f, 0.0f);
    wind.SetGust(NAN, -1.0f);
    wind.SetTime(NAN);
    EXPECT_TRUE(std::isfinite(wind.GetBend(kPalm, 7.0f).x));
    EXPECT_NEAR(wind.GetDirectionX() * wind.GetDirectionX() + wind.GetDirectionZ() * wind.GetDirectionZ(), 1.0f, 1e-5f);
}

TEST(Wind, NeighboursMoveTogetherAndPlantsFarApartOutOfPhase) {
    cWind wind;
    wind.SetDirection(1.0f, 0.0f);
    // Half a gust length apart along the wind: while one is pushed hardest the other is nearly let go.
    const float half = 0.5f * wind.GetGustScale();
    double largest = 0.0;
    int apart = 0;
    for (int step = 0; step < 60; ++step) {
        wind.SetTime(step * 0.1);
        const float a = wind.GetBend(kPalm, 7.0f).x;
        const float far = wind.GetBend(cVector4(kPalm.x + half, kPalm.y, kPalm.z, 7.0f), 7.0f).x;
        const float near = wind.GetBend(cVector4(kPalm.x + 1.5f, kPalm.y, kPalm.z, 7.0f), 7.0f).x;
        largest = std::max(largest, static_cast<double>(std::fabs(a - far)));
        apart += std::fabs(a - far) > 0.05f;
        EXPECT_LT(std::fabs(a - near), 0.35f * std::fabs(a - far) + 0.03f) << step;
        EXPECT_NE(a, near) << "not in lockstep";
    }
    EXPECT_GT(largest, 0.3 * cWind::kBendAmplitude);
    EXPECT_GT(apart, 30);
}

TEST(Wind, GustsTravelDownwindAndFrondsFlutterFasterThanTrunksBend) {
    cWind wind;
    wind.SetDirection(0.0f, 1.0f);
    // The gust at z at time t is the gust at z + speed x dt a moment later (the cross wave aside).
    const float dt = 0.5f;
    wind.SetTime(10.0);
    const float before = wind.GetGust(0.0f, 0.0f);
    wind.SetTime(10.0 + dt);
    const float after = wind.GetGust(0.0f, wind.GetGustSpeed() * dt);
    EXPECT_NEAR(after, before, 0.12f);

    // Count the turns of a frond tip's flutter and of the trunk's bend over ten seconds.
    const cVector3 tip(kPalm.x + 3.0f, kPalm.y + 6.0f, kPalm.z + 1.0f);
    int flutterTurns = 0, bendTurns = 0;
    float lastFlutter = 0.0f, lastBend = 0.0f, lastFlutterStep = 0.0f, lastBendStep = 0.0f;
    for (int step = 0; step <= 400; ++step) {
        wind.SetTime(step * 0.025);
        const float flutter = wind.GetFlutter(kPalm, tip, 5.0f, 25.0f).y;
        const float bend = wind.GetBend(kPalm, 6.0f).z;
        if (step > 1) {
            flutterTurns += (flutter - lastFlutter) * lastFlutterStep < 0.0f;
            bendTurns += (bend - lastBend) * lastBendStep < 0.0f;
        }
        lastFlutterStep = flutter - lastFlutter;
        lastBendStep = bend - lastBend;
        lastFlutter = flutter;
        lastBend = bend;
    }
    EXPECT_GT(flutterTurns, 4 * bendTurns);
    // A trunk's axis hardly flutters; the flutter is gone at the distance impostors take over.
    EXPECT_LT(std::fabs(wind.GetFlutter(kPalm, cVector3(kPalm.x, kPalm.y + 6.0f, kPalm.z), 5.0f, 25.0f).y),
              0.2f * cWind::kFlutterAmplitude);
    EXPECT_EQ(wind.GetFlutter(kPalm, tip, 25.0f, 25.0f).Length(), 0.0f);
}

TEST(Wind, TheShearMovesAWholeInstanceAsTheBendMovesItsTop) {
    cWind wind;
    wind.SetTime(5.5);
    const cMatrix shear = wind.GetShear(kPalm);
    const cVector3 foot(37.0f, kPalm.y, 61.0f);
    EXPECT_TRUE(shear.TransformPoint(foot).Equals(foot, 1e-4f));
    const cVector3 top(41.0f, kPalm.y + kPalm.w, 59.0f);
    EXPECT_TRUE(shear.TransformPoint(top).Equals(top + wind.GetBend(kPalm, kPalm.w), 1e-4f));
    // A flat anchor is not sheared.
    EXPECT_TRUE(wind.GetShear(cVector4(1.0f, 2.0f, 3.0f, 0.0f)).IsIdentity());
}

TEST(Wind, AnchorIsTheFootOfThePlacedBoxAsTheImpostorIsBuiltFrom) {
    const cBox box(-1.0f, 0.0f, -2.0f, 3.0f, 7.0f, 2.0f);
    const cMatrix placement = cMatrix::Scaling(1.5f) * cMatrix::RotationY(90.0f) * cMatrix::Translation(10, 2, 20);
    const cVector4 anchor = cWind::GetAnchor(box, placement);
    const cVector3 centre = placement.TransformPoint(box.GetCenter());
    EXPECT_NEAR(anchor.x, centre.x, 1e-4f);
    EXPECT_NEAR(anchor.z, centre.z, 1e-4f);
    EXPECT_NEAR(anchor.y, 2.0f, 1e-4f);
    EXPECT_NEAR(anchor.w, 10.5f, 1e-4f);
}

TEST(Wind, RocksStandStill) {
    EXPECT_TRUE(cWind::IsRigid("data/meshes/vegetation/rock_boulder.mesh"));
    EXPECT_TRUE(cWind::IsRigid("Data\\Meshes\\ROCK_slab.mesh"));
    EXPECT_FALSE(cWind::IsRigid("data/meshes/rocky/palm_tall.mesh"));
    cWind wind;
    wind.SetStrength(3.0f);
    wind.SetTime(2.0);
    const cVector4 rock = cWind::GetRigidAnchor(cMatrix::Translation(5.0f, 2.0f, 7.0f));
    EXPECT_EQ(wind.GetDisplacement(rock, cVector3(5.5f, 3.5f, 7.0f), 1.0f, 25.0f).Length(), 0.0f);
    EXPECT_TRUE(wind.GetShear(rock).IsIdentity());
}

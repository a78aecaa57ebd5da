// Sea birds: the flock's motion as a function of its clock, the wings' pose,
// the bounds that culling relies on, out-of-range settings, and the scene
// block's round trip.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/cBirds.h"
#include "scene/cResourceManager.h"

using namespace velmora;
using namespace velmora::scene;

namespace {

bool InsideBox(const cVector3& p, const cVector3& min, const cVector3& max) {
    return p.x >= min.x && p.y >= min.y && p.z >= min.z && p.x <= max.x && p.y <= max.y && p.z <= max.z;
}

} // namespace

TEST(Birds, FlyOnTheirCirclesAtTheirSpeedAndStayInsideTheBounds) {
    cBirds birds(nullptr);
    birds.SetCount(5);
    birds.SetRadius(18.0f);
    birds.SetSpeed(4.5f);
    birds.SetWingSpan(2.2f);
    birds.Create();
    cVector3 min, max;
    birds.GetBounds(min, max);
    for (int i = 0; i < birds.GetCount(); ++i) {
        const cBirds::sPose start = birds.GetPose(i, 0.0f);
        const float radius = std::sqrt(start.position.x * start.position.x + start.position.z * start.position.z);
        EXPECT_GE(radius, 0.8f * 18.0f - 1e-3f);
        EXPECT_LE(radius, 1.2f * 18.0f + 1e-3f);
        // A short step moves the bird by speed x time along its heading.
        const cBirds::sPose later = birds.GetPose(i, 0.1f);
        cVector3 step = later.position - start.position;
        step.y = 0.0f;
        EXPECT_NEAR(step.Length(), 0.45f, 0.01f) << i;
        EXPECT_GT(Dot(step, start.forward), 0.0f) << i;
        // Banked into the turn: the up vector leans towards the centre.
        EXPECT_LT(Dot(start.up, start.position), 0.0f) << i;
    }
    // Over a long flight every vertex stays inside the bounds and the wings beat at some time.
    bool flapped = false;
    for (int frame = 0; frame < 3000; ++frame) {
        birds.Update(1.0f / 30.0f);
        for (const cBirds::sVertex& v : birds.GetVertices()) {
            ASSERT_TRUE(InsideBox(cVector3(v.x, v.y, v.z), min, max)) << "frame " << frame;
        }
        for (int i = 0; i < birds.GetCount(); ++i) flapped = flapped || birds.GetPose(i, birds.GetTime()).flapping > 0.5f;
    }
    EXPECT_TRUE(flapped);
    EXPECT_EQ(birds.GetVertices().size(), 5u * IBirds::kVerticesEach);
}

TEST(Birds, TheSameClockGivesTheSamePictureAndTheWingsKeepTheirLength) {
    cBirds a(nullptr), b(nullptr);
    a.Create();
    b.Create();
    for (int i = 0; i < 40; ++i) a.Update(0.05f);
    b.Update(2.0f);
    ASSERT_EQ(a.GetVertices().size(), b.GetVertices().size());
    for (std::size_t i = 0; i < a.GetVertices().size(); ++i) {
        EXPECT_NEAR(a.GetVertices()[i].x, b.GetVertices()[i].x, 1e-3f);
        EXPECT_NEAR(a.GetVertices()[i].y, b.GetVertices()[i].y, 1e-3f);
    }
    // Negative and broken steps leave the clock alone.
    b.Update(-1.0f);
    b.Update(std::nanf(""));
    EXPECT_FLOAT_EQ(b.GetTime(), 2.0f);
    // Shoulder to tip (front edge) is half the span however the wings are raised.
    for (float t : {0.0f, 0.7f, 1.3f, 5.0f}) {
        cBirds c(nullptr);
        c.Create();
        c.Update(t);
        const cBirds::sVertex* v = c.GetVertices().data();
        auto at = [&](int column) { return cVector3(v[2 * column].x, v[2 * column].y, v[2 * column].z); };
        const float inner = Distance(at(2), at(3)), hand = Distance(at(3), at(4));
        EXPECT_NEAR(inner + hand, 0.5f * c.GetWingSpan(), 1e-3f);
        EXPECT_NEAR(Distance(at(2), at(1)), inner, 1e-3f);
    }
}

TEST(Birds, SettingsOutOfRangeAreBroughtBack) {
    cBirds birds(nullptr);
    birds.Create();
    birds.SetCount(0);
    EXPECT_EQ(birds.GetCount(), 1);
    birds.SetCount(500);
    EXPECT_EQ(birds.GetCount(), IBirds::kMaxCount);
    birds.SetRadius(-12.0f);
    EXPECT_FLOAT_EQ(birds.GetRadius(), 12.0f);
    birds.SetRadius(std::nanf(""));
    EXPECT_FLOAT_EQ(birds.GetRadius(), 0.0f);
    // A flock without a radius or a speed sits still at the origin and draws nothing broken.
    birds.SetSpeed(0.0f);
    birds.Update(1.0f);
    for (const cBirds::sVertex& v : birds.GetVertices()) {
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
    }
}

TEST(Birds, TheResourceManagerMakesThemHeadless) {
    cResourceManager resources;
    resources.SetHeadless(true);
    IBirds* birds = resources.CreateBirds();
    ASSERT_NE(birds, nullptr);
    EXPECT_EQ(birds->GetType(), ENTITY_BIRDS);
    birds->SetTexture("data/textures/fx/gull.tga");
    EXPECT_EQ(birds->GetTextureName(), "data/textures/fx/gull.tga");
    birds->Render();
    birds->Release();
}

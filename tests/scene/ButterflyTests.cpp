// Butterflies: wing geometry, flapping inside their cube, the course-change
// rule, and the states they draw with.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "scene/EffectTestSupport.h"
#include "scene/cButterflies.h"
#include "scene/cResourceManager.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

TEST(Butterflies, SixVerticesFourTrianglesAndWingsSwingingInsideTheCube) {
    std::srand(3);
    cButterflies butterflies(nullptr);
    butterflies.Create(cVector3(0.5f, 0.0f, 0.0f), 0.0f);
    for (int b = 0; b < IButterflies::kCount; ++b) {
        EXPECT_LE(butterflies.GetButterfly(b).position.Length(), 10.0f + 1e-4f);
        EXPECT_EQ(butterflies.GetButterfly(b).velocity, cVector3(0.5f, 0.0f, 0.0f));
    }
    EXPECT_EQ(std::vector<unsigned short>(cButterflies::Indices() + 12, cButterflies::Indices() + 24),
              (std::vector<unsigned short>{6, 7, 8, 8, 7, 9, 8, 9, 10, 10, 9, 11}));
    butterflies.GetButterfly(4).position = cVector3(1, 2, 3);
    butterflies.GetButterfly(4).phase = 0.0f;
    butterflies.Update(0.01f);  // phase -0.1, moved 0.005 along x
    const float p = -0.1f, x = 1.005f;
    const float expected[6][5] = {{x - 0.225f, 2 + p, 2.75f, 0, 0}, {x - 0.225f, 2 + p, 3.25f, 0, 1},
                                  {x, 2, 2.75f, 0.5f, 0},            {x, 2, 3.25f, 0.5f, 1},
                                  {x + 0.225f, 2 + p, 2.75f, 1, 0}, {x + 0.225f, 2 + p, 3.25f, 1, 1}};
    for (int i = 0; i < 6; ++i) {
        const cButterflies::sVertex& v = butterflies.GetVertices()[24 + static_cast<std::size_t>(i)];
        EXPECT_TRUE(cVector3(v.x, v.y, v.z).Equals(cVector3(expected[i][0], expected[i][1], expected[i][2]), 1e-5f)) << i;
        EXPECT_TRUE(v.u == expected[i][3] && v.v == expected[i][4]) << i;
    }

    butterflies.SetDriftVelocity(cVector3(3.0f, -1.0f, 2.0f));
    butterflies.SetSpeedVariation(4.0f);
    butterflies.SetAreaHalfSize(-2.0f);
    butterflies.SetChangeThreshold(50);
    int turns = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        const float before = butterflies.GetButterfly(0).direction;
        butterflies.Update(0.02f);
        for (int b = 0; b < IButterflies::kCount; ++b) {
            for (int a = 0; a < 3; ++a) ASSERT_LE(std::fabs(butterflies.GetButterfly(b).position[a]), 2.0f);
            ASSERT_LE(std::fabs(butterflies.GetButterfly(b).phase), 0.25f);
        }
        turns += butterflies.GetButterfly(0).direction != before;
    }
    // 0.2 of phase per frame: the wings turn every third frame.
    EXPECT_NEAR(turns, 2000 / 3, 10);
}

TEST(Butterflies, CourseChangesOnlyOnDrawsAboveTheThresholdWithinTheVariation) {
    const cVector3 drift(1.0f, 0.0f, -1.0f);
    cButterflies butterflies(nullptr);
    butterflies.Create(drift, 0.5f);
    EXPECT_EQ(butterflies.GetChangeThreshold(), 94);
    butterflies.SetChangeThreshold(99);  // a draw in 0..99 is never above
    for (int frame = 0; frame < 500; ++frame) butterflies.Update(0.0f);
    for (int b = 0; b < IButterflies::kCount; ++b) EXPECT_EQ(butterflies.GetButterfly(b).velocity, drift);
    // At 94, draws 95..99 change course: 5 in 100, each to drift + up to 0.5 per axis.
    butterflies.SetChangeThreshold(94);
    std::srand(99);
    int changes = 0;
    for (int frame = 0; frame < 4000; ++frame) {
        cVector3 before[IButterflies::kCount];
        for (int b = 0; b < IButterflies::kCount; ++b) before[b] = butterflies.GetButterfly(b).velocity;
        butterflies.Update(0.0f);
        for (int b = 0; b < IButterflies::kCount; ++b) {
            const cVector3& v = butterflies.GetButterfly(b).velocity;
            changes += v != before[b];
            for (int a = 0; a < 3; ++a) ASSERT_LE(std::fabs(v[a] - drift[a]), 0.5f);
        }
    }
    EXPECT_NEAR(changes, 2000, 400);
}

TEST(Butterflies, DrawWithTheirTransformAndPutTheStatesBack) {
    cEffectRenderer renderer;
    cResourceManager resources;
    resources.SetRenderer(&renderer);
    IButterflies* butterflies = resources.CreateButterflies(cVector3(), 1.0f);
    ASSERT_NE(butterflies, nullptr);
    butterflies->SetTexture("wings.tga");
    butterflies->SetWorldMatrix(cMatrix::Translation(7, 8, 9));
    // As the pipelines have them while entities are drawn.
    renderer.SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    renderer.calls.clear();
    butterflies->Render();
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{
                                  "cull 0", "blend 7 8", "alpha 6", "texture 0 wings.tga", "push 0",
                                  "transform 0 times 789", "vertices 1", "indices 2", "draw 3 0 60 120",
                                  "vertices none", "indices none", "pop 0", "texture 0 none", "alpha 0", "blend 7 8",
                                  "cull 2"}));
    butterflies->Release();
    EXPECT_EQ(renderer.liveVertexBuffers + renderer.liveIndexBuffers + renderer.liveTextures, 0);
    renderer.failBuffers = true;
    EXPECT_EQ(resources.CreateButterflies(cVector3(), 1.0f), nullptr);
}

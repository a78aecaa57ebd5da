// Billboard sets (buffers, index pattern, CPU expansion, failures) and the
// single billboard with the quad both pipelines draw for it.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/cException.h"
#include "scene/EffectTestSupport.h"
#include "scene/cBillboard.h"
#include "scene/cBillboardSet.h"
#include "scene/cResourceManager.h"
#include "scene/support/SceneTestSupport.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

TEST(BillboardSet, FourCornerVerticesAndSixIndicesEachAndLockedChangesReachTheBuffer) {
    cEffectRenderer renderer;
    cBillboardSet set(&renderer);
    EXPECT_EQ(set.Lock(), nullptr);
    ASSERT_TRUE(set.CreateBillboards(3));
    cMemoryVertexBuffer* vb = renderer.vertexBuffers.at(0);
    EXPECT_EQ(vb->GetSize(), 3u * 128u);
    EXPECT_EQ(renderer.indexBuffers.at(0)->Indices(),
              (std::vector<std::uint16_t>{3, 0, 1, 3, 1, 2, 7, 4, 5, 7, 5, 6, 11, 8, 9, 11, 9, 10}));
    const auto* uploaded = reinterpret_cast<const sBillboardVertex*>(vb->Data().data());
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(uploaded[i].cornerX == corners[i % 4][0] && uploaded[i].cornerY == corners[i % 4][1]);
        EXPECT_EQ(uploaded[i].halfWidth + uploaded[i].halfHeight + uploaded[i].x, 0.0f);
        EXPECT_EQ(uploaded[i].color, cColor(0, 0, 0, 0));
    }
    set.Lock()[5].x = 42.0f;
    set.Unlock();
    EXPECT_EQ(uploaded[5].x, 42.0f);

    // Counts beyond 16-bit indices, buffers that cannot be made or written.
    for (int count : {0, IBillboardSet::kMaxBillboards + 1}) {
        cLogCapture log;
        EXPECT_FALSE(set.CreateBillboards(count));
        EXPECT_NE(log.Text().find("invalid billboard count"), std::string::npos);
    }
    renderer.failLocks = true;
    EXPECT_THROW(set.CreateBillboards(2), cException);
    renderer.failLocks = false;
    renderer.failBuffers = true;
    EXPECT_FALSE(set.CreateBillboards(2));
    EXPECT_EQ(set.GetCount(), 0);
    EXPECT_EQ(renderer.liveVertexBuffers + renderer.liveIndexBuffers, 0);
}

TEST(BillboardSet, CpuExpansionSpreadsCornersAlongTheCameraAxes) {
    cEffectRenderer renderer;
    cBillboardSet set(&renderer);
    ASSERT_TRUE(set.CreateBillboards(2));
    sBillboardVertex* v = set.Lock();
    for (int c = 0; c < 4; ++c) {
        v[c].x = 1.0f, v[c].y = 2.0f, v[c].z = 3.0f;
        v[c].halfWidth = 0.5f, v[c].halfHeight = 2.0f;
        v[c].color = cColor(10, 20, 30, 40);
    }
    // A camera looking down -x: its right axis is -z.
    renderer.view = cMatrix::LookAt(cVector3(10, 2, 3), cVector3(0, 2, 3), cVector3(0, 1, 0));
    renderer.calls.clear();
    set.RenderExpanded();
    const auto* drawn = reinterpret_cast<const cBillboardSet::sExpandedVertex*>(renderer.vertexBuffers.at(1)->Data().data());
    const float expected[4][5] = {{1, 0, 3.5f, 0, 0}, {1, 0, 2.5f, 1, 0}, {1, 4, 2.5f, 1, 1}, {1, 4, 3.5f, 0, 1}};
    for (int c = 0; c < 4; ++c) {
        EXPECT_TRUE(cVector3(drawn[c].x, drawn[c].y, drawn[c].z).Equals(cVector3(expected[c][0], expected[c][1], expected[c][2]), 1e-5f)) << c;
        EXPECT_TRUE(drawn[c].u == expected[c][3] && drawn[c].v == expected[c][4]) << c;
        EXPECT_EQ(drawn[c].color, cColor(10, 20, 30, 40));
    }
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"vertices 3", "indices 2", "draw 3 0 8 12", "vertices none",
                                                        "indices none"}));
}

TEST(Billboard, StandsUprightFacingTheCameraAndIsDrawnBlendedWithoutCulling) {
    cVector3 c[4];
    GetBillboardCorners(cVector3(0, 0, 0), cVector3(0, 5, 10), 2.0f, 1.0f, c);
    EXPECT_TRUE(c[0].Equals(cVector3(-2, -1, 0)) && c[1].Equals(cVector3(-2, 1, 0)) && c[2].Equals(cVector3(2, 1, 0)) &&
                c[3].Equals(cVector3(2, -1, 0)));
    // Seen from +x the first corner is still the picture's bottom-left.
    GetBillboardCorners(cVector3(5, 0, 0), cVector3(15, 0, 0), 1.0f, 1.0f, c);
    EXPECT_TRUE(c[0].Equals(cVector3(5, -1, 1), 1e-5f) && c[2].Equals(cVector3(5, 1, -1), 1e-5f));
    // A camera on the billboard or straight above it: the x axis.
    for (const cVector3& camera : {cVector3(5, 0, 0), cVector3(5, 30, 0)}) {
        GetBillboardCorners(cVector3(5, 0, 0), camera, 1.0f, 1.0f, c);
        EXPECT_TRUE(c[2].Equals(cVector3(6, 1, 0), 1e-5f));
    }

    cEffectRenderer renderer;
    cResourceManager resources;
    resources.SetRenderer(&renderer);
    IBillboard* billboard = resources.CreateBillboard();
    ASSERT_NE(billboard, nullptr);
    EXPECT_EQ(billboard->GetBillboardWidth(), 1.0f);
    billboard->SetTexture("tree.tga");
    billboard->SetWorldMatrix(cMatrix::Translation(0, 0, 0));
    billboard->SetBillboardWidth(2.0f);
    renderer.SetBlendFunc(video::BF_ONE, video::BF_ONE);
    renderer.calls.clear();
    RenderBillboard(&renderer, *billboard, cVector3(0, 5, 10));
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"depth off", "cull 0", "blend 7 8", "texture 0 tree.tga",
                                                        "quad tree.tga white", "texture 0 none", "blend 2 2", "cull 2",
                                                        "depth on"}));
    EXPECT_TRUE(renderer.quad[0].Equals(cVector3(-2, -1, 0)));
    billboard->Release();
    EXPECT_EQ(renderer.liveTextures, 0);
}

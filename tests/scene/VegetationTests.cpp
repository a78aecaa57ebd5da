// Vegetation: meshes near the camera and impostors beyond, batches sorted by
// texture, impostor billboards placed where their instances stand, picking.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "scene/IBillboardSet.h"
#include "scene/IStaticMesh.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/cDrawBatchList.h"
#include "scene/cResourceManager.h"
#include "scene/cTerrainVegetation.h"
#include "scene/camera/cCamera.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/support/cNullRenderer.h"
#include "video/IResources.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

// Two parts with two textures; the mesh box is (0, 0, 0)-(2, 4, 0): its centre lies 2 above the instance.
const char* kPalm =
    "node \"trunk\" { material \"bark.tga\" vertices 3 { 0 0 0 2 0 0 1 4 0 } faces 1 { 0 1 2 } }\n"
    "node \"leaves\" { material \"leaf.tga\" vertices 3 { 0 3 0 2 3 0 1 4 0 } faces 1 { 0 1 2 } }\n";
const char* kRock = "node \"stone\" { material \"leaf.tga\" vertices 3 { 0 0 0 1 0 0 0 1 0 } faces 1 { 0 1 2 } }\n";

class cFakeTarget : public video::IRenderTarget {
public:
    explicit cFakeTarget(int* live) : m_Live(live) { ++*m_Live; }
    ~cFakeTarget() override { --*m_Live; }
    void Release() override { delete this; }
    void SetClearColor(const cColor& color) override { clear = color; }
    video::ITexture2D* GetTexture() override { return nullptr; }
    video::ITexture2D* GetSecondTexture() override { return nullptr; }
    std::uint32_t GetImageWidth() const override { return 128; }
    std::uint32_t GetImageHeight() const override { return 128; }
    cColor GetClearColor() const override { return clear; }
    void Bind() override {}
    void Unbind() override {}
    cColor clear;

private:
    int* m_Live;
};

// Render targets that exist (and are counted), so that impostors get made.
struct sTargetRenderer : cNullRenderer {
    int targets = 0;
    video::IRenderTarget* CreateRenderTarget(int, int, int, int) override { return new cFakeTarget(&targets); }
};

struct sVegetationFixture : ::testing::Test {
    cScratchFolder folder;
    sTargetRenderer renderer;
    cResourceManager resources;
    ITerrain* terrain = nullptr;
    ITerrainVegetation* vegetation = nullptr;
    cCamera camera;
    sVegetationFixture() {
        folder.Write("palm.mesh", kPalm);
        folder.Write("rock.mesh", kRock);
        resources.SetRenderer(&renderer);
        cLogCapture log;
        terrain = resources.CreateTerrain(nullptr, 64, 0, 1.0f, 32);
        vegetation = terrain->GetVegetation();
        camera.position = cVector3(50, 2, 50);
    }
    ~sVegetationFixture() override {
        terrain->Release();
        resources.Clear();
    }
    sVegetationInstance* Plant(sVegetationKind* kind, const cMatrix& matrix, cColor color = cColor(255, 255, 255, 255)) {
        cLogCapture log;
        return vegetation->AddInstance(kind, color, matrix);
    }
    // A palm whose box centre lies `distance` from the camera along +x.
    sVegetationInstance* PalmAt(sVegetationKind* kind, float distance) {
        return Plant(kind, cMatrix::Translation(50 + distance - 1, 0, 50));
    }
};

} // namespace

TEST_F(sVegetationFixture, MeshesAreCollectedUpToTheVegetationDistanceInclusive) {
    sVegetationKind* palm = vegetation->AddKind("palm.mesh");
    for (float distance : {3.0f, 24.0f, 25.0f, 25.01f, 40.0f}) ASSERT_NE(PalmAt(palm, distance), nullptr);
    cDrawBatchList batches;
    vegetation->CollectBatches(&camera, 25.0f, batches);
    ASSERT_EQ(batches.GetCount(), 3u * 2u) << "two parts for each of the three palms within 25";
    EXPECT_EQ(batches[4].matrix.GetTranslation().x, 50 + 25.0f - 1);
    batches.Clear();
    vegetation->CollectBatches(&camera, 0.0f, batches);
    EXPECT_TRUE(batches.IsEmpty());
    vegetation->CollectBatches(nullptr, 0.0f, batches);
    EXPECT_EQ(batches.GetCount(), 5u * 2u) << "without a camera everything is collected";

    // Looking away from the palms: the frustum takes them all out.
    batches.Clear();
    camera.GetFrustum()->Build(cMatrix::LookAt(camera.position, camera.position - cVector3(1, 0, 0), cVector3(0, 1, 0)) *
                               cMatrix::Perspective(60.0, 1.0, 0.1, 500.0));
    vegetation->CollectBatches(&camera, 100.0f, batches);
    EXPECT_TRUE(batches.IsEmpty());
    camera.GetFrustum()->Build(cMatrix::LookAt(camera.position, camera.position + cVector3(1, 0, 0), cVector3(0, 1, 0)) *
                               cMatrix::Perspective(60.0, 1.0, 0.1, 500.0));
    vegetation->CollectBatches(&camera, 100.0f, batches);
    EXPECT_EQ(batches.GetCount(), 5u * 2u);
}

TEST_F(sVegetationFixture, BatchesWhollyAboveAHeightAreDroppedKeepingTheOrderOfTheRest) {
    sVegetationKind* palm = vegetation->AddKind("palm.mesh");
    // Palms standing at heights 2 .. 12 (their parts reach some way up from their foot).
    for (int k = 0; k < 5; ++k) {
        ASSERT_NE(Plant(palm, cMatrix::Translation(10.0f + k, 2.0f + 2.5f * static_cast<float>(k), 10)), nullptr);
    }
    cDrawBatchList batches;
    vegetation->CollectBatches(nullptr, 25.0f, batches);
    ASSERT_EQ(batches.GetCount(), 10u);
    std::vector<float> kept;
    for (const sDrawBatch& batch : batches.GetBatches()) {
        if (batch.part->GetBoundingBox().Transformed(batch.matrix).min.y <= 7.0f) {
            kept.push_back(batch.matrix.GetTranslation().x);
        }
    }
    ASSERT_FALSE(kept.empty());
    ASSERT_LT(kept.size(), 10u) << "the test needs parts on both sides of the height";
    batches.RemoveAbove(7.0f);
    std::vector<float> xs;
    for (const sDrawBatch& batch : batches.GetBatches()) xs.push_back(batch.matrix.GetTranslation().x);
    EXPECT_EQ(xs, kept);
    batches.RemoveAbove(-100.0f);
    EXPECT_TRUE(batches.IsEmpty());
}

TEST_F(sVegetationFixture, BatchesAreSortedByTextureKeepingTheirOrderAndDrawnPerPart) {
    sVegetationKind* palm = vegetation->AddKind("palm.mesh");
    sVegetationKind* rock = vegetation->AddKind("rock.mesh");
    for (int k = 0; k < 4; ++k) ASSERT_NE(Plant(k % 2 ? rock : palm, cMatrix::Translation(10.0f + k, 0, 10)), nullptr);
    cDrawBatchList batches;
    vegetation->CollectBatches(nullptr, 25.0f, batches);
    ASSERT_EQ(batches.GetCount(), 6u);
    batches.Sort();
    std::vector<std::string> textures;
    std::vector<float> xs;
    for (const sDrawBatch& batch : batches.GetBatches()) {
        textures.push_back(batch.part->GetTextureName());
        xs.push_back(batch.matrix.GetTranslation().x);
    }
    // Two textures, each in one run; within a run the collection order stands.
    int runs = 1;
    for (std::size_t k = 1; k < textures.size(); ++k) runs += textures[k] != textures[k - 1];
    EXPECT_EQ(runs, 2);
    for (std::size_t k = 1; k < xs.size(); ++k) {
        if (textures[k] == textures[k - 1]) {
            EXPECT_LE(xs[k - 1], xs[k]) << "stable within a texture";
        }
    }
    // Sorting again keeps the list as it is (and allocates nothing new).
    const std::vector<sDrawBatch> sorted = batches.GetBatches();
    batches.Sort();
    for (std::size_t k = 0; k < sorted.size(); ++k) EXPECT_EQ(batches[k].part, sorted[k].part);

    renderer.calls.clear();
    EXPECT_EQ(batches.RenderFixedFunction(&renderer), 6);
    int draws = 0;
    for (const std::string& call : renderer.calls) draws += call.rfind("draw 3 0 3 3", 0) == 0;
    EXPECT_EQ(draws, 6);
}

TEST_F(sVegetationFixture, ImpostorsStandWhereTheirInstancesStandOneSetPerKind) {
    sVegetationKind* palm = vegetation->AddKind("palm.mesh");
    sVegetationKind* twin = vegetation->AddKind("palm.mesh");
    // Turned a quarter about y and scaled by 2: the impostor grows with the instance.
    const cMatrix turned = cMatrix::Scaling(2.0f) * cMatrix::RotationY(90.0f) * cMatrix::Translation(30, 1, 40);
    ASSERT_NE(Plant(palm, turned, cColor(200, 100, 50, 255)), nullptr);
    ASSERT_NE(Plant(palm, cMatrix::Translation(5, 0, 5)), nullptr);
    ASSERT_NE(Plant(twin, cMatrix::Translation(9, 0, 9)), nullptr);
    EXPECT_EQ(resources.GetCachedMeshCount(), 1u) << "kinds naming one file share its mesh";
    {
        cLogCapture log;
        vegetation->Build();
    }
    EXPECT_EQ(renderer.targets, 2) << "one picture per kind, even for kinds sharing a mesh";
    EXPECT_EQ(vegetation->GetImpostorCount(), 3);
    auto* table = static_cast<cTerrainVegetation*>(vegetation);
    EXPECT_NE(table->GetImpostorTarget(palm), table->GetImpostorTarget(twin));
    EXPECT_EQ(table->GetImpostorTarget(palm)->GetClearColor(), cColor(25, 102, 0, 0));

    // The triangle count of the impostors: two per billboard, one draw per kind.
    renderer.calls.clear();
    EXPECT_EQ(vegetation->RenderImpostors(), 6);
    int draws = 0;
    for (const std::string& call : renderer.calls) draws += call.rfind("draw 3 ", 0) == 0;
    EXPECT_EQ(draws, 2);
    // The impostors' vertices: centre of the placed mesh box, half sizes scaled with the instance.
    const cVector3 centre = turned.TransformPoint(cVector3(1, 2, 0));
    const auto& buffers = renderer.vertexBuffers;
    bool found = false;
    for (const cMemoryVertexBuffer* buffer : buffers) {
        if (buffer->stride != 32 || buffer->Data().size() != 2 * 128) continue;
        sBillboardVertex v;
        std::memcpy(&v, buffer->Data().data(), sizeof(v));
        found = true;
        EXPECT_NEAR(v.x, centre.x, 1e-4);
        EXPECT_NEAR(v.y, centre.y, 1e-4);
        EXPECT_NEAR(v.z, centre.z, 1e-4);
        EXPECT_NEAR(v.halfHeight, 4.0f, 1e-4);
        EXPECT_NEAR(v.halfWidth, 2.0f, 1e-4);
        EXPECT_EQ(v.color, cColor(200, 100, 50, 255));
    }
    EXPECT_TRUE(found);
}

TEST_F(sVegetationFixture, PickingRemovingAndTheBoxThatKeepsInstances) {
    sVegetationKind* palm = vegetation->AddKind("palm.mesh");
    sVegetationInstance* near = Plant(palm, cMatrix::Translation(10, 0, 10));
    sVegetationInstance* far = Plant(palm, cMatrix::Translation(40, 0, 10));
    ASSERT_NE(near, nullptr);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(vegetation->GetBoundingBox(), cBox(-1, -1, -1, 256, 256, 256));
    // Wholly outside the box: refused; overlapping its edge: kept.
    EXPECT_EQ(Plant(palm, cMatrix::Translation(300, 0, 10)), nullptr);
    EXPECT_NE(Plant(palm, cMatrix::Translation(255, 0, 10)), nullptr);
    EXPECT_EQ(vegetation->AddInstance(nullptr, cColor(), cMatrix()), nullptr);
    EXPECT_EQ(vegetation->AddKind(""), nullptr);

    EXPECT_EQ(vegetation->PickInstance(cVector3(41, 1, -20), cVector3(0, 0, 1)), far);
    EXPECT_EQ(vegetation->PickInstance(cVector3(0, 1, 10), cVector3(1, 0, 0)), near);
    EXPECT_EQ(vegetation->PickInstance(cVector3(41, 50, -20), cVector3(0, 0, 1)), nullptr);
    EXPECT_TRUE(vegetation->RemoveInstance(near));
    EXPECT_FALSE(vegetation->RemoveInstance(near));
    EXPECT_EQ(vegetation->GetInstanceCount(), 2);
    EXPECT_EQ(vegetation->GetChild(0), nullptr);
    EXPECT_EQ(vegetation->GetChild(8), nullptr);
}

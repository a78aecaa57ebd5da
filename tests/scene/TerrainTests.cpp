// The terrain: creation rules, chunk strips per level, level selection, the
// chunk tree against frusta and the water passes' clip plane, height queries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "scene/ITerrain.h"
#include "scene/TerrainWalk.h"
#include "scene/cResourceManager.h"
#include "scene/cTerrain.h"
#include "scene/cTerrainChunk.h"
#include "scene/camera/cCamera.h"
#include "scene/camera/cFrustum.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/support/cNullRenderer.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

// Heights h(x, z) = 0.5 x + 0.25 z + 3: bilinear interpolation reproduces them exactly.
std::vector<float> Slope(int size) {
    std::vector<float> heights(static_cast<std::size_t>(size) * size);
    for (int z = 0; z < size; ++z) {
        for (int x = 0; x < size; ++x) {
            heights[static_cast<std::size_t>(z) * size + x] = 0.5f * x + 0.25f * z + 3.0f;
        }
    }
    return heights;
}

struct sTerrainFixture : ::testing::Test {
    cNullRenderer renderer;
    cResourceManager resources;
    std::vector<ITerrain*> made;
    sTerrainFixture() { resources.SetRenderer(&renderer); }
    ~sTerrainFixture() override {
        for (ITerrain* terrain : made) terrain->Release();
    }
    cTerrain* Make(const float* heights, int size, int chunkSize, float scale = 1.0f, int colorMap = 0) {
        cLogCapture log;
        ITerrain* terrain = resources.CreateTerrain(heights, size, colorMap, scale, chunkSize);
        if (terrain) made.push_back(terrain);
        return static_cast<cTerrain*>(terrain);
    }
    std::string Failure(int size, int chunkSize) {
        cLogCapture log;
        EXPECT_EQ(resources.CreateTerrain(nullptr, size, 0, 1.0f, chunkSize), nullptr);
        return log.Text();
    }
};

// Every strip's triangles, as sets of three vertex numbers (degenerate ones dropped).
std::set<std::vector<int>> StripTriangles(const std::vector<std::uint16_t>& strip) {
    std::set<std::vector<int>> triangles;
    for (std::size_t k = 2; k < strip.size(); ++k) {
        std::vector<int> t{strip[k - 2], strip[k - 1], strip[k]};
        if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) continue;
        std::sort(t.begin(), t.end());
        triangles.insert(t);
    }
    return triangles;
}

// A frustum looking straight down on the ground rectangle x0..x1, z0..z1 (orthographic).
cFrustum LookingDownOn(float x0, float x1, float z0, float z1) {
    const cMatrix view = cMatrix::LookAt(cVector3(0, 500, 0), cVector3(0, 0, 0), cVector3(0, 0, -1));
    cFrustum frustum;
    // Seen from above with -z up the screen, ground x maps to screen x and ground z to screen -y.
    frustum.Build(view * cMatrix::Orthographic(x0, x1, -z1, -z0, 1.0, 1000.0));
    return frustum;
}

struct sVisit {
    std::vector<int> chunks;
    std::vector<int> levels;
};

void Record(const ITerrainChunk& chunk, int level, void* context) {
    auto* visit = static_cast<sVisit*>(context);
    visit->chunks.push_back(static_cast<const cTerrainChunk&>(chunk).GetIndex());
    visit->levels.push_back(level);
}

} // namespace

TEST_F(sTerrainFixture, SizeAndChunkSizeRulesSayWhatIsWrong) {
    EXPECT_NE(Failure(255, 32).find("cTerrain::Create : terrain size must be a power of two, got 255"),
              std::string::npos);
    EXPECT_NE(Failure(0, 32).find("terrain size must be a power of two, got 0"), std::string::npos);
    EXPECT_NE(Failure(512, 257).find("cTerrainChunk::cTerrainChunk : chunk size exceeded( 258 )"), std::string::npos);
    EXPECT_NE(Failure(64, 0).find("cTerrain::Create : invalid chunk size 0 for terrain size 64"), std::string::npos);
    EXPECT_NE(Failure(64, 128).find("invalid chunk size 128 for terrain size 64"), std::string::npos);
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
    EXPECT_EQ(renderer.liveIndexBuffers, 0);

    cTerrain* terrain = Make(nullptr, 256, 32);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->GetChunksPerSide(), 8);
    ASSERT_EQ(terrain->GetChunks().size(), 64u);
    EXPECT_EQ(terrain->GetChunks()[0]->GetVertexCount(), 33u * 33u);
    // 257 vertices a side is the largest chunk; its vertex numbers need 32-bit indices.
    cTerrain* large = Make(nullptr, 256, 256);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(large->GetChunks()[0]->GetIndexCount(0), 2u * 257 * 257 - 4);
    EXPECT_EQ(large->GetChunks()[0]->GetIndexBuffer(0)->GetDataType(), video::T_UINT);
    EXPECT_EQ(large->GetChunks()[0]->GetCoarsestLevel(), 7);
}

TEST_F(sTerrainFixture, EveryLevelIsAStripOverTheWholeChunkAndLevelsBeyondTheChunkStayEmpty) {
    const std::vector<float> heights = Slope(128);
    cTerrain* terrain = Make(heights.data(), 128, 32);
    ASSERT_NE(terrain, nullptr);
    // Chunk 5 lies inside the grid (skirts on all four edges), chunk 0 in a corner (two).
    for (int index : {5, 0}) {
        const cTerrainChunk& chunk = *terrain->GetChunks()[static_cast<std::size_t>(index)];
        const int skirts = index == 5 ? 4 : 2;
        EXPECT_EQ(chunk.GetIndexCount(0), 2174u);
        EXPECT_EQ(chunk.GetCoarsestLevel(), 5);
        EXPECT_EQ(chunk.GetBufferVertexCount(), 33u * 33u + 4 * 33u);
        const cBox& box = chunk.GetBoundingBox();
        const cVector3 middle = box.GetCenter();
        const auto* vertices = static_cast<const cMemoryVertexBuffer*>(chunk.GetVertexBuffer());
        auto position = [&](int v) {
            float p[3];
            std::memcpy(p, vertices->Data().data() + static_cast<std::size_t>(v) * 40, sizeof(p));
            return cVector3(p[0], p[1], p[2]);
        };
        for (int level = 0; level <= 5; ++level) {
            const int cells = 32 >> level;
            // One pair per column per row of quads, two joining indices between rows.
            EXPECT_EQ(chunk.GetIndexCount(level), static_cast<std::uint32_t>(cells * 2 * (cells + 1) + 2 * (cells - 1)));
            EXPECT_EQ(chunk.GetSkirtIndexCount(level), static_cast<std::uint32_t>(skirts * (2 + 2 * (cells + 1))));
            const auto* buffer = static_cast<const cMemoryIndexBuffer*>(chunk.GetIndexBuffer(level));
            ASSERT_NE(buffer, nullptr);
            const std::vector<std::uint16_t> strip = buffer->Indices();
            ASSERT_EQ(strip.size(), chunk.GetIndexCount(level) + chunk.GetSkirtIndexCount(level));
            for (std::uint16_t i : strip) ASSERT_LT(i, chunk.GetBufferVertexCount());
            // The level's own strip covers every quad of its grid with two triangles.
            const std::vector<std::uint16_t> ground(strip.begin(), strip.begin() + chunk.GetIndexCount(level));
            EXPECT_EQ(StripTriangles(ground).size(), static_cast<std::size_t>(2 * cells * cells)) << "level " << level;
            // Every triangle of the whole strip faces out: the ground up, the skirts away from the chunk.
            int walls = 0;
            for (std::size_t k = 2; k < strip.size(); ++k) {
                int a = strip[k - 2], b = strip[k - 1], c = strip[k];
                if (a == b || b == c || a == c) continue;
                if (k % 2 == 1) std::swap(a, b); // odd triangles of a strip run the other way round
                const cVector3 normal = Cross(position(b) - position(a), position(c) - position(a));
                if (a < 33 * 33 && b < 33 * 33 && c < 33 * 33) {
                    ASSERT_GT(normal.y, 0.0f) << "level " << level << " triangle " << k;
                } else {
                    ++walls;
                    const cVector3 outwards = (position(a) + position(b) + position(c)) * (1.0f / 3) - middle;
                    ASSERT_GT(Dot(normal, cVector3(outwards.x, 0, outwards.z)), 0.0f) << "level " << level;
                    ASSERT_NEAR(normal.y, 0.0f, 1e-3f);
                }
            }
            EXPECT_EQ(walls, skirts * 2 * cells);
        }
        for (int level : {6, 7}) {
            EXPECT_EQ(chunk.GetIndexCount(level), 0u);
            EXPECT_EQ(chunk.GetIndexBuffer(level), nullptr);
        }
    }
    // A chunk size with few factors of two has few levels.
    cTerrain* odd = Make(nullptr, 64, 12);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->GetChunksPerSide(), 5);
    EXPECT_EQ(odd->GetChunks()[0]->GetCoarsestLevel(), 2);
    EXPECT_EQ(odd->GetChunks()[0]->GetIndexCount(3), 0u);
}

TEST_F(sTerrainFixture, LevelSelectionByDistanceBiasAndTheCoarsestLevelAChunkHolds) {
    const cBox box(0, 0, 0, 32, 10, 32);
    EXPECT_EQ(GetDistanceLevel(box, cVector3(16, 5, 16), 250.0f), 0);
    EXPECT_EQ(GetDistanceLevel(box, cVector3(32, 10, 32), 250.0f), 0) << "bounds are inclusive";
    // Just above the highest point is outside the box: distance 1 to the nearest corner.
    EXPECT_EQ(GetDistanceLevel(box, cVector3(32, 11, 32), 8.0f), 1);
    EXPECT_EQ(GetDistanceLevel(box, cVector3(32 + 62.5f, 10, 32), 250.0f), 2);
    EXPECT_EQ(GetDistanceLevel(box, cVector3(5000, 10, 32), 250.0f), 7);
    EXPECT_EQ(GetDistanceLevel(box, cVector3(1e30f, 10, 32), 250.0f), 7);
    EXPECT_EQ(GetDistanceLevel(box, cVector3(100, 10, 32), 0.0f), 0);

    cTerrain* terrain = Make(nullptr, 64, 32);
    ASSERT_NE(terrain, nullptr);
    const cTerrainChunk& chunk = *terrain->GetChunks()[0];
    sTerrainWalk walk;
    walk.hasCamera = true;
    walk.viewDistance = 250.0f;
    walk.cameraPosition = cVector3(16, 0, 16);
    EXPECT_EQ(SelectChunkLevel(chunk, walk), 0);
    walk.levelBias = 3;
    EXPECT_EQ(SelectChunkLevel(chunk, walk), 3);
    walk.cameraPosition = cVector3(32 + 62.5f, 0, 0);
    EXPECT_EQ(SelectChunkLevel(chunk, walk), 5);
    // Levels 6 and 7 hold nothing for 32-quad chunks: distant chunks stay at 5 instead of vanishing.
    walk.cameraPosition = cVector3(3000, 0, 0);
    walk.levelBias = 0;
    EXPECT_EQ(SelectChunkLevel(chunk, walk), 5);
    walk.levelBias = 0xFFFFFFFFu;
    EXPECT_EQ(SelectChunkLevel(chunk, walk), 5);
    // Without a camera only the bias counts.
    const sTerrainWalk none = MakeTerrainWalk(nullptr, 250.0f, 2);
    EXPECT_EQ(SelectChunkLevel(chunk, none), 2);
}

TEST_F(sTerrainFixture, TheTreeWalkDrawsWhatTheFrustumSeesOncePerChunk) {
    const std::vector<float> heights = Slope(128);
    cTerrain* terrain = Make(heights.data(), 128, 32);
    ASSERT_NE(terrain, nullptr);
    sTerrainWalk walk;
    sVisit all;
    EXPECT_EQ(WalkTerrainTree(terrain->GetQuadTree(), walk, Record, &all), 16);
    EXPECT_EQ(std::set<int>(all.chunks.begin(), all.chunks.end()).size(), 16u);

    // The box test accepts a box as soon as it straddles one plane (right and left come first), so these
    // frusta cut along one axis at a time.
    const cFrustum rows = LookingDownOn(-10, 140, 1, 60);
    walk.frustum = &rows;
    sVisit seen;
    WalkTerrainTree(terrain->GetQuadTree(), walk, Record, &seen);
    EXPECT_EQ(std::set<int>(seen.chunks.begin(), seen.chunks.end()), (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));

    const cFrustum strip = LookingDownOn(70, 90, 1, 127);
    walk.frustum = &strip;
    sVisit column;
    WalkTerrainTree(terrain->GetQuadTree(), walk, Record, &column);
    EXPECT_EQ(std::set<int>(column.chunks.begin(), column.chunks.end()), (std::set<int>{2, 6, 10, 14}));

    const cFrustum beside = LookingDownOn(200, 300, 0, 128);
    walk.frustum = &beside;
    sVisit nothing;
    EXPECT_EQ(WalkTerrainTree(terrain->GetQuadTree(), walk, Record, &nothing), 0);

    // Drawing: every chunk at level 0 without a camera, at level 5 with the largest bias; each chunk one strip
    // with its skirts (the last chunk drawn sits in a corner: two skirts).
    int level0 = 0, level5 = 0;
    for (const cTerrainChunk* chunk : terrain->GetChunks()) {
        level0 += static_cast<int>(chunk->GetIndexCount(0) + chunk->GetSkirtIndexCount(0)) - 2;
        level5 += static_cast<int>(chunk->GetIndexCount(5) + chunk->GetSkirtIndexCount(5)) - 2;
    }
    renderer.calls.clear();
    EXPECT_EQ(DrawTerrainTree(&renderer, terrain->GetQuadTree(), MakeTerrainWalk(nullptr, 250.0f, 0)), level0);
    EXPECT_EQ(renderer.calls.back(), "draw 4 0 1221 " + std::to_string(2174 + 2 * (2 + 2 * 33)));
    EXPECT_EQ(std::count_if(renderer.calls.begin(), renderer.calls.end(),
                            [](const std::string& call) { return call.rfind("draw ", 0) == 0; }),
              16);
    EXPECT_EQ(DrawTerrainTree(&renderer, terrain->GetQuadTree(), MakeTerrainWalk(nullptr, 250.0f, 7)), level5);
}

TEST_F(sTerrainFixture, ChunksComeNearestFirstSoHiddenGroundFailsTheDepthTest) {
    const std::vector<float> heights = Slope(128);
    cTerrain* terrain = Make(heights.data(), 128, 32);
    ASSERT_NE(terrain, nullptr);
    const auto centre = [terrain](int index) { return terrain->GetChunks()[index]->GetBoundingBox().GetCenter(); };
    for (const cVector3& eye : {cVector3(5.0f, 50.0f, 5.0f), cVector3(120.0f, 50.0f, 70.0f), cVector3(64.0f, 50.0f, 200.0f)}) {
        sTerrainWalk walk;
        walk.hasCamera = true;
        walk.cameraPosition = eye;
        walk.viewDistance = 250.0f;
        sVisit visit;
        ASSERT_EQ(WalkTerrainTree(terrain->GetQuadTree(), walk, Record, &visit), 16);
        // The nearest chunk comes first and the farthest last; the quadtree keeps siblings together, so the
        // order in between is by node, not strictly by chunk.
        std::vector<float> distance;
        for (int index : visit.chunks) distance.push_back(Distance(eye, centre(index)));
        EXPECT_EQ(*std::min_element(distance.begin(), distance.end()), distance.front());
        EXPECT_EQ(*std::max_element(distance.begin(), distance.end()), distance.back());
    }
}

TEST_F(sTerrainFixture, TheClipPlaneSkipsNodesWhollyOnTheFarSideOfTheWater) {
    // Chunk boxes start at 0: the left chunks (whose last column is x = 32) reach 10, the right ones 40.
    std::vector<float> heights(64 * 64, 10.0f);
    for (int z = 0; z < 64; ++z) {
        for (int x = 33; x < 64; ++x) heights[static_cast<std::size_t>(z) * 64 + x] = 40.0f;
    }
    cTerrain* terrain = Make(heights.data(), 64, 32);
    ASSERT_NE(terrain, nullptr);
    const cPlane above(0, 1, 0, -25); // the positive side is above the water at 25
    const cBox low(0, 0, 0, 32, 10, 32);
    const cBox high(0, 0, 0, 32, 40, 32);
    EXPECT_FALSE(PassesClipTest(low, CLIP_REFLECTION, above)) << "wholly below: not reflected";
    EXPECT_TRUE(PassesClipTest(high, CLIP_REFLECTION, above));
    EXPECT_TRUE(PassesClipTest(low, CLIP_UNDERWATER, above));
    EXPECT_FALSE(PassesClipTest(cBox(0, 30, 0, 32, 40, 32), CLIP_UNDERWATER, above)) << "wholly above: not underwater";
    EXPECT_TRUE(PassesClipTest(high, CLIP_UNDERWATER, above));
    EXPECT_TRUE(PassesClipTest(low, 0, above));
    EXPECT_TRUE(PassesClipTest(cBox(0, 30, 0, 32, 40, 32), 0, above));

    sTerrainWalk walk;
    walk.clipPlane = above;
    walk.clipFlags = CLIP_REFLECTION;
    sVisit reflected;
    WalkTerrainTree(terrain->GetQuadTree(), walk, Record, &reflected);
    EXPECT_EQ(std::set<int>(reflected.chunks.begin(), reflected.chunks.end()), (std::set<int>{1, 3}));
    walk.clipFlags = 0;
    sVisit unclipped;
    EXPECT_EQ(WalkTerrainTree(terrain->GetQuadTree(), walk, Record, &unclipped), 4);
}

TEST_F(sTerrainFixture, HeightQueriesInsideOutsideAndOnEdges) {
    const std::vector<float> heights = Slope(64);
    cTerrain* terrain = Make(heights.data(), 64, 32);
    ASSERT_NE(terrain, nullptr);
    EXPECT_FLOAT_EQ(terrain->GetHeight(10.5f, 20.25f), 0.5f * 10.5f + 0.25f * 20.25f + 3.0f);
    EXPECT_FLOAT_EQ(terrain->GetHeight(32.0f, 7.0f), 0.5f * 32 + 0.25f * 7 + 3.0f) << "on a chunk border";
    EXPECT_FLOAT_EQ(terrain->GetHeight(0.0f, 0.0f), 3.0f);
    EXPECT_FLOAT_EQ(terrain->GetHeight(63.0f, 31.5f), 0.5f * 63 + 0.25f * 31.5f + 3.0f);
    EXPECT_EQ(terrain->GetHeight(-0.01f, 5.0f), 0.0f);
    EXPECT_EQ(terrain->GetHeight(5.0f, 64.01f), 0.0f);
    EXPECT_EQ(terrain->GetHeight(1000.0f, 1000.0f), 0.0f);
    EXPECT_EQ(terrain->GetHeight(std::nanf(""), 5.0f), 0.0f);

    cBox box;
    ASSERT_TRUE(terrain->GetChunkBox(40.0f, 10.0f, box));
    EXPECT_EQ(box.min, cVector3(32, 0, 0));
    EXPECT_EQ(box.max.x, 64.0f);
    EXPECT_FALSE(terrain->GetChunkBox(-5.0f, 10.0f, box));
    video::IVertexBuffer* buffer = nullptr;
    ASSERT_TRUE(terrain->GetChunkVertexBuffer(40.0f, 10.0f, buffer));
    EXPECT_EQ(buffer, terrain->GetChunks()[1]->GetVertexBuffer());

    // The heights the writer stores come back from the vertex buffers unchanged.
    EXPECT_EQ(terrain->GetHeightmap(), heights);
    // Vertices edited in place reach the height queries after a refresh.
    auto* vertices = static_cast<cMemoryVertexBuffer*>(terrain->GetChunks()[0]->GetVertexBuffer());
    float raised = 100.0f;
    std::memcpy(static_cast<std::uint8_t*>(vertices->Lock(true)) + (1 + 1 * 33) * 40 + 4, &raised, 4);
    EXPECT_FLOAT_EQ(terrain->GetHeight(1.0f, 1.0f), 0.5f + 0.25f + 3.0f);
    terrain->RefreshChunkHeights(1.0f, 1.0f);
    EXPECT_FLOAT_EQ(terrain->GetHeight(1.0f, 1.0f), 100.0f);

    // Heights that are no numbers count as 0 (with a warning) instead of spoiling boxes and queries.
    std::vector<float> broken = heights;
    broken[1] = std::nanf("");
    broken[2] = INFINITY;
    std::string log;
    cTerrain* spoilt = nullptr;
    {
        cLogCapture capture;
        spoilt = static_cast<cTerrain*>(resources.CreateTerrain(broken.data(), 64, 0, 1.0f, 32));
        log = capture.Text();
    }
    ASSERT_NE(spoilt, nullptr);
    made.push_back(spoilt);
    EXPECT_NE(log.find("2 heights are not finite numbers"), std::string::npos);
    EXPECT_EQ(spoilt->GetHeight(2.0f, 0.0f), 0.0f);
    EXPECT_TRUE(std::isfinite(spoilt->GetQuadTree()->box.max.y));
}

TEST_F(sTerrainFixture, NoHeightsMakeFlatGroundWithScaledChunks) {
    cTerrain* terrain = Make(nullptr, 64, 32, 2.0f, 16);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->GetScale(), 2.0f);
    for (const cTerrainChunk* chunk : terrain->GetChunks()) {
        EXPECT_EQ(chunk->GetBoundingBox().min.y, 0.0f);
        EXPECT_EQ(chunk->GetBoundingBox().max.y, 0.0f);
    }
    EXPECT_EQ(terrain->GetQuadTree()->box.max, cVector3(128, 0, 128));
    EXPECT_EQ(terrain->GetHeight(100.0f, 3.0f), 0.0f);
    EXPECT_EQ(terrain->GetHeightmap(), std::vector<float>(64 * 64, 0.0f));
    // Texture coordinate 0 spans the whole terrain once, coordinate 1 repeats every four units.
    const auto* vertices = static_cast<const cMemoryVertexBuffer*>(terrain->GetChunks()[3]->GetVertexBuffer());
    float last[10];
    std::memcpy(last, vertices->Data().data() + (33 * 33 - 1) * 40, sizeof(last));
    EXPECT_EQ(last[0], 128.0f);
    EXPECT_EQ(last[2], 128.0f);
    EXPECT_EQ(last[4], 1.0f) << "normals point up";
    EXPECT_FLOAT_EQ(last[6], 1.0f);
    EXPECT_FLOAT_EQ(last[8], 32.0f);
}

TEST_F(sTerrainFixture, TheTerrainsOwnDrawingDrawsEveryVisibleChunkOnceRingByRingOrNot) {
    const std::vector<float> heights = Slope(128);
    cTerrain* terrain = Make(heights.data(), 128, 32);
    ASSERT_NE(terrain, nullptr);
    auto strips = [&] {
        return std::count_if(renderer.calls.begin(), renderer.calls.end(),
                             [](const std::string& call) { return call.rfind("draw 4 ", 0) == 0; });
    };
    // A camera whose frustum was never filled sees everything.
    cCamera camera;
    for (const cVector3& position : {cVector3(40, 50, 70), cVector3(-500, 50, 900)}) {
        camera.position = position;
        for (int flags : {0, 2, 4, 6}) { // none, TERRAIN_RENDER_ALL, TERRAIN_RENDER_OCCLUSION, both
            renderer.calls.clear();
            EXPECT_GT(terrain->Render(250.0f, flags, &camera), 0);
            EXPECT_EQ(strips(), 16) << "flags " << flags << " camera " << position.x;
        }
    }
    // Seeing the two rows of chunks nearest z = 0: the ring drawing draws just the chunks the tree walk marked.
    camera.position = cVector3(64, 50, 16);
    *static_cast<cFrustum*>(camera.GetFrustum()) = LookingDownOn(-10, 140, 1, 60);
    renderer.calls.clear();
    terrain->Render(250.0f, TERRAIN_RENDER_OCCLUSION, &camera);
    EXPECT_EQ(strips(), 8);
    EXPECT_EQ(std::count(terrain->GetVisibility().begin(), terrain->GetVisibility().end(), 1), 8);
    EXPECT_EQ(terrain->GetVisibility()[8], 0);
    // Without a camera every chunk is drawn at level 0.
    renderer.calls.clear();
    EXPECT_EQ(terrain->Render(250.0f, 0, nullptr), DrawTerrainTree(&renderer, terrain->GetQuadTree(), sTerrainWalk()));
}

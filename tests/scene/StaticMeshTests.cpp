// Static meshes through the scene's resource manager on a renderer without a
// device: the vertex layout each load flag asks for, what reaches the
// buffers, drawing, the mesh cache, and failures that leave nothing behind.
#include <gtest/gtest.h>

#include <cstring>

#include "scene/IStaticMesh.h"
#include "scene/MeshData.h"
#include "scene/cResourceManager.h"
#include "scene/cStaticMesh.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/support/cNullRenderer.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

const char* kQuad =
    "node \"card\" {\n"
    "\tmaterial \"data/textures/card.tga\"\n"
    "\tvertices 4 { 0 0 0  2 0 0  2 1 0  0 1 - 3 }\n"
    "\tuv 4 { 0 0  1 0  1 1  0 1 }\n"
    "\tnormals 4 { 0 0 1  0 0 1  0 0 1  0 0 1 }\n"
    "\tcolors 4 { 1 0 0  0 1 0  0 0 1  0.5 0.5 0.5 }\n"
    "\tfaces 2 { 0 1 2  0 2 3 }\n"
    "}\n"
    "node \"stem\" {\n"
    "\tvertices 3 { 5 5 5  6 5 5  5 6 5 }\n"
    "\tfaces 1 { 0 1 2 }\n"
    "}\n";

struct sMeshFixture : ::testing::Test {
    cScratchFolder folder;
    cNullRenderer renderer;
    cResourceManager resources;
    sMeshFixture() {
        folder.Write("quad.mesh", kQuad);
        resources.SetRenderer(&renderer);
    }
    IStaticMesh* Load(int flags, const char* name = "quad.mesh") {
        cLogCapture log;
        return resources.CreateMesh(name, flags);
    }
};

float FloatAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    float v = 0;
    std::memcpy(&v, bytes.data() + offset, sizeof(v));
    return v;
}

} // namespace

TEST(MeshVertexFormat, EachLoadFlagAddsItsElementInTheFixedOrder) {
    struct sCase {
        int flags;
        int stride;
        std::vector<int> usages;  // without the end element
        std::vector<int> offsets;
    };
    using namespace video;
    const sCase cases[] = {
        {0, 12, {VU_POSITION}, {0}},
        {MESH_TEXCOORDS, 20, {VU_POSITION, VU_TEXCOORD0}, {0, 12}},
        {MESH_NORMALS, 24, {VU_POSITION, VU_NORMAL}, {0, 12}},
        {MESH_COLORS, 16, {VU_POSITION, VU_COLOR}, {0, 12}},
        {MESH_TANGENTS, 36, {VU_POSITION, VU_TEXCOORD1, VU_TEXCOORD2}, {0, 12, 24}},
        {MESH_SCENE_FLAGS, 36, {VU_POSITION, VU_COLOR, VU_NORMAL, VU_TEXCOORD0}, {0, 12, 16, 28}},
        {0x36, 60, {VU_POSITION, VU_COLOR, VU_NORMAL, VU_TEXCOORD1, VU_TEXCOORD2, VU_TEXCOORD0}, {0, 12, 16, 28, 40, 52}},
        // Bits without a meaning add nothing.
        {0x41, 12, {VU_POSITION}, {0}},
    };
    for (const sCase& c : cases) {
        const sMeshVertexFormat format = GetMeshVertexFormat(c.flags);
        EXPECT_EQ(format.stride, c.stride) << c.flags;
        ASSERT_EQ(format.elements.size(), c.usages.size() + 1) << c.flags;
        for (std::size_t i = 0; i < c.usages.size(); ++i) {
            EXPECT_EQ(format.elements[i].usage, c.usages[i]) << c.flags;
            EXPECT_EQ(format.elements[i].offset, c.offsets[i]) << c.flags;
            const bool color = c.usages[i] == VU_COLOR;
            EXPECT_EQ(format.elements[i].type, color ? T_UBYTE : T_FLOAT);
            EXPECT_EQ(format.elements[i].count, color ? 4 : (c.usages[i] == VU_TEXCOORD0 ? 2 : 3));
        }
        EXPECT_EQ(format.elements.back().usage, VU_END);
    }
}

TEST(MeshVertexFormat, TangentsFollowTheTextureDirectionsOfEachTriangle) {
    std::vector<sMeshVertex> v(3);
    v[0].position = {0, 0, 0};
    v[1].position = {0, 2, 0};
    v[2].position = {4, 0, 0};
    v[0].texCoord = {0, 0};
    v[1].texCoord = {0, 1};
    v[2].texCoord = {1, 0};
    ComputeMeshTangents(v, {0, 1, 2});
    for (const sMeshVertex& x : v) {
        EXPECT_TRUE(x.tangent.Equals({1, 0, 0})) << x.tangent.x << " " << x.tangent.y;
        // The binormal points against the v direction (the convention the shaders expect).
        EXPECT_TRUE(x.binormal.Equals({0, -1, 0}));
    }
    // Degenerate texture coordinates give zero vectors.
    for (sMeshVertex& x : v) x.texCoord = {0.5f, 0.5f};
    ComputeMeshTangents(v, {0, 1, 2});
    EXPECT_EQ(v[1].tangent, cVector3(0, 0, 0));
    EXPECT_EQ(v[1].binormal, cVector3(0, 0, 0));
}

TEST_F(sMeshFixture, SceneFlagsPackPositionColourNormalAndTextureCoordinate) {
    IStaticMesh* mesh = Load(MESH_SCENE_FLAGS);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetNodeCount(), 2);
    IMeshNode* card = mesh->GetNode(0);
    EXPECT_EQ(card->GetName(), "card");
    EXPECT_EQ(card->GetVertexCount(), 4);
    EXPECT_EQ(card->GetIndexCount(), 6);
    EXPECT_EQ(card->GetBaseVertex(), 0);
    EXPECT_EQ(card->GetStartIndex(), 0);

    auto* vertices = dynamic_cast<cMemoryVertexBuffer*>(card->GetVertexBuffer());
    ASSERT_NE(vertices, nullptr);
    EXPECT_EQ(vertices->stride, 36);
    ASSERT_EQ(vertices->Data().size(), 4u * 36u);
    const std::vector<std::uint8_t>& d = vertices->Data();
    // Vertex 3: position (0, 1, -3), colour 127 grey, normal (0, 0, 1), uv (0, 1).
    const std::size_t v3 = 3 * 36;
    EXPECT_FLOAT_EQ(FloatAt(d, v3 + 4), 1.0f);
    EXPECT_FLOAT_EQ(FloatAt(d, v3 + 8), -3.0f);
    EXPECT_EQ(d[v3 + 12], 127);
    EXPECT_EQ(d[v3 + 15], 255);
    EXPECT_FLOAT_EQ(FloatAt(d, v3 + 24), 1.0f);
    EXPECT_FLOAT_EQ(FloatAt(d, v3 + 28), 0.0f);
    EXPECT_FLOAT_EQ(FloatAt(d, v3 + 32), 1.0f);
    // Vertex 0 is red.
    EXPECT_EQ(d[12], 255);
    EXPECT_EQ(d[13], 0);

    auto* indices = dynamic_cast<cMemoryIndexBuffer*>(card->GetIndexBuffer());
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(indices->GetDataType(), video::T_USHORT);
    EXPECT_EQ(indices->Indices(), (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3}));

    ASSERT_NE(card->GetTexture(), nullptr);
    EXPECT_EQ(card->GetTexture()->GetName(), "data/textures/card.tga");
    EXPECT_EQ(static_cast<cNamedTexture*>(card->GetTexture())->anisotropy, 16);
    EXPECT_EQ(mesh->GetNode(1)->GetTexture(), nullptr);
    mesh->Release();
}

TEST_F(sMeshFixture, TangentsAreComputedOnlyWithNormals) {
    IStaticMesh* with = Load(MESH_NORMALS | MESH_TANGENTS | MESH_TEXCOORDS);
    cResourceManager other;
    other.SetRenderer(&renderer);
    cLogCapture log;
    IStaticMesh* without = other.CreateMesh("quad.mesh", MESH_TANGENTS | MESH_TEXCOORDS);
    ASSERT_NE(with, nullptr);
    ASSERT_NE(without, nullptr);
    // Vertex 1 belongs to the first triangle only, whose u runs along +x. With normals the vertex is 56 bytes
    // and its tangent sits at 24; without them 44 bytes with the tangent at 12, left zero.
    const auto& a = dynamic_cast<cMemoryVertexBuffer*>(with->GetNode(0)->GetVertexBuffer())->Data();
    const auto& b = dynamic_cast<cMemoryVertexBuffer*>(without->GetNode(0)->GetVertexBuffer())->Data();
    EXPECT_FLOAT_EQ(FloatAt(a, 56 + 24), 1.0f);
    EXPECT_FLOAT_EQ(FloatAt(a, 56 + 28), 0.0f);
    EXPECT_FLOAT_EQ(FloatAt(b, 44 + 12), 0.0f);
    with->Release();
    without->Release();
}

TEST_F(sMeshFixture, RenderDrawsEveryNodeWithItsTextureAndUnbindsAfterwards) {
    IStaticMesh* mesh = Load(MESH_SCENE_FLAGS);
    ASSERT_NE(mesh, nullptr);
    const auto* card = dynamic_cast<cMemoryVertexBuffer*>(mesh->GetNode(0)->GetVertexBuffer());
    const auto* cardIndices = dynamic_cast<cMemoryIndexBuffer*>(mesh->GetNode(0)->GetIndexBuffer());
    const auto* stem = dynamic_cast<cMemoryVertexBuffer*>(mesh->GetNode(1)->GetVertexBuffer());
    const auto* stemIndices = dynamic_cast<cMemoryIndexBuffer*>(mesh->GetNode(1)->GetIndexBuffer());
    renderer.calls.clear();
    mesh->Render();
    const std::vector<std::string> expected = {
        "texture 0 data/textures/card.tga",
        "vertices " + std::to_string(card->id),
        "indices " + std::to_string(cardIndices->id),
        "draw 3 0 4 6",
        "indices none",
        "vertices none",
        "texture 0 none",
        "vertices " + std::to_string(stem->id),
        "indices " + std::to_string(stemIndices->id),
        "draw 3 0 3 3",
        "indices none",
        "vertices none",
    };
    EXPECT_EQ(renderer.calls, expected);
    mesh->Release();
}

TEST_F(sMeshFixture, NodesBoundsAndLookUpByName) {
    folder.Write("twins.mesh", "node \"a\" { vertices 1 { 1 2 3 } } node \"b\" { } node \"a\" { vertices 1 { 4 5 6 } }");
    IStaticMesh* mesh = Load(0, "twins.mesh");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->FindNode("a"), 2);
    EXPECT_EQ(mesh->FindNode("c"), -1);
    EXPECT_EQ(mesh->GetNodeByName("a"), mesh->GetNode(2));
    EXPECT_EQ(mesh->GetNodeByName("c"), nullptr);
    EXPECT_EQ(mesh->GetNode(3), nullptr);
    EXPECT_EQ(mesh->GetNode(-1), nullptr);
    // Nodes without triangles need no buffers.
    EXPECT_EQ(mesh->GetNode(0)->GetVertexBuffer(), nullptr);
    // The mesh box also holds the origin.
    EXPECT_EQ(mesh->GetBoundingBox(), cBox(0, 0, 0, 4, 5, 6));
    EXPECT_EQ(mesh->GetNode(2)->GetBoundingBox(), cBox(4, 5, 6, 4, 5, 6));
    EXPECT_EQ(mesh->GetFileName(), "twins.mesh");
    mesh->Release();

    folder.Write("empty.mesh", "// nothing\n");
    cLogCapture emptyLog;
    IStaticMesh* empty = resources.CreateMesh("empty.mesh", 0);
    EXPECT_NE(emptyLog.Text().find("cStaticMesh::Load : mesh 'empty.mesh' holds no nodes\n"), std::string::npos);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetNodeCount(), 0);
    EXPECT_EQ(empty->GetBoundingBox(), cBox(0, 0, 0, 0, 0, 0));
    empty->Release();
}

TEST_F(sMeshFixture, TheCacheHandsOutOneMeshPerFileName) {
    cLogCapture log;
    IStaticMesh* first = resources.CreateMesh("quad.mesh", MESH_SCENE_FLAGS);
    IStaticMesh* second = resources.CreateMesh("quad.mesh", 0);
    const std::string text = log.Text();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(text,
              "Creating mesh( quad.mesh )... Loading static mesh( quad.mesh )... succeeded\n"
              "Creating mesh( quad.mesh )... succeeded\n");
    // Cache plus two users.
    EXPECT_EQ(static_cast<cStaticMesh*>(first)->GetReferenceCount(), 3);
    first->Release();
    second->Release();
    EXPECT_EQ(resources.GetCachedMeshCount(), 1u);
    EXPECT_EQ(renderer.liveVertexBuffers, 2);

    // Clearing the cache destroys the mesh and what it holds on the device.
    resources.Clear();
    EXPECT_EQ(resources.GetCachedMeshCount(), 0u);
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
    EXPECT_EQ(renderer.liveIndexBuffers, 0);
    EXPECT_EQ(renderer.liveTextures, 0);
}

TEST_F(sMeshFixture, AMeshStillHeldWhenTheCacheIsClearedOutlivesIt) {
    IStaticMesh* mesh = Load(MESH_SCENE_FLAGS);
    ASSERT_NE(mesh, nullptr);
    resources.Clear();
    EXPECT_EQ(renderer.liveVertexBuffers, 2);
    // The next request loads afresh.
    IStaticMesh* again = Load(MESH_SCENE_FLAGS);
    EXPECT_NE(again, mesh);
    mesh->Release();
    again->Release();
    EXPECT_EQ(resources.GetCachedMeshCount(), 1u);
}

TEST_F(sMeshFixture, FailuresGiveNullAfterOneWarningAndLeaveNothingBehind) {
    folder.Write("broken.mesh", "node \"x\" {\n vertices 3 { 0 0 0 1 0 0 0 1 0 }\n faces 1 { 0 1 9 }\n}\n");
    struct sCase {
        const char* file;
        bool failBuffers;
        const char* log;
    };
    const sCase cases[] = {
        {"missing.mesh", false,
         "Creating mesh( missing.mesh )... Loading static mesh( missing.mesh )... "
         "cMeshParser::ParseFile : file 'missing.mesh' not found\n"},
        {"broken.mesh", false,
         "Creating mesh( broken.mesh )... Loading static mesh( broken.mesh )... "
         "broken.mesh( 2 ) error : index 9 out of range; the node has 3 vertices\n"},
        {"quad.mesh", true,
         "Creating mesh( quad.mesh )... Loading static mesh( quad.mesh )... "
         "cMeshNode::Upload : failed to create the vertex buffer of node 'card'\n"},
    };
    for (const sCase& c : cases) {
        renderer.failBuffers = c.failBuffers;
        cLogCapture log;
        IStaticMesh* mesh = resources.CreateMesh(c.file, MESH_SCENE_FLAGS);
        EXPECT_EQ(mesh, nullptr) << c.file;
        // The file system adds its own warning for the missing file.
        EXPECT_NE(log.Text().find(c.log), std::string::npos) << log.Text();
    }
    EXPECT_EQ(resources.GetCachedMeshCount(), 0u);
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
    EXPECT_EQ(renderer.liveIndexBuffers, 0);
    EXPECT_EQ(renderer.liveTextures, 0);
}

TEST_F(sMeshFixture, ATextureThatFailsToLoadLeavesTheNodeUntextured) {
    renderer.missingTextures.insert("data/textures/card.tga");
    IStaticMesh* mesh = Load(MESH_SCENE_FLAGS);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNode(0)->GetTexture(), nullptr);
    EXPECT_EQ(mesh->GetNode(0)->GetTextureName(), "data/textures/card.tga");
    renderer.calls.clear();
    mesh->Render();
    EXPECT_EQ(renderer.calls.front().rfind("vertices", 0), 0u);
    mesh->Release();
}

TEST_F(sMeshFixture, HeadlessMeshesKeepCountsBoundsAndNamesWithoutADevice) {
    cResourceManager headless;
    headless.SetHeadless(true);
    cLogCapture log;
    IStaticMesh* mesh = headless.CreateMesh("quad.mesh", MESH_SCENE_FLAGS);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNode(0)->GetVertexCount(), 4);
    EXPECT_EQ(mesh->GetNode(0)->GetIndexCount(), 6);
    EXPECT_EQ(mesh->GetNode(0)->GetVertexBuffer(), nullptr);
    EXPECT_EQ(mesh->GetNode(0)->GetTextureName(), "data/textures/card.tga");
    EXPECT_EQ(mesh->GetBoundingBox(), cBox(0, 0, -3, 6, 6, 5));
    mesh->Render();
    mesh->Release();
}

// The ".mesh" reader: what a well-formed file gives, and that every kind of
// damage stops reading with the parser's message and line before anything
// reaches a buffer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "scene/cMeshParser.h"
#include "scene/support/SceneTestSupport.h"

using namespace velmora;
using namespace velmora::scene;

namespace {

const char* kTriangle =
    "// one textured triangle\n"
    "node \"leaf\" {\n"
    "\tmaterial \"data/textures/leaf.tga\"\n"
    "\tvertices 3 { 0 0 0  1 0 0  0 -0.5 1 }\n"
    "\tuv 3 { 0 0  1 0  0 1 }\n"
    "\tnormals 3 { 0 1 0  0 1 0  0 -1 0 }\n"
    "\tcolors 3 { 1.2 0.5 0.25  0 0 0  1 1 1 }\n"
    "\tfaces 1 { 0 1 2 }\n"
    "}\n";

std::vector<sMeshNodeData> Parse(const std::string& text) {
    std::vector<sMeshNodeData> nodes;
    cMeshParser parser;
    parser.ParseText(text, nodes);
    return nodes;
}

// The message of the error the text raises ("" when it parses).
std::string ErrorOf(const std::string& text) {
    try {
        Parse(text);
    } catch (const cException& e) {
        return e.GetText();
    }
    return "";
}

} // namespace

TEST(MeshParser, ReadsEveryBlockOfANode) {
    const auto nodes = Parse(kTriangle);
    ASSERT_EQ(nodes.size(), 1u);
    const sMeshNodeData& n = nodes[0];
    EXPECT_EQ(n.name, "leaf");
    EXPECT_EQ(n.material, "data/textures/leaf.tga");
    ASSERT_EQ(n.vertices.size(), 3u);
    // "-" is a token of its own and negates the number after it.
    EXPECT_FLOAT_EQ(n.vertices[2].position.y, -0.5f);
    EXPECT_FLOAT_EQ(n.vertices[2].position.z, 1.0f);
    EXPECT_FLOAT_EQ(n.vertices[1].texCoord.x, 1.0f);
    EXPECT_FLOAT_EQ(n.vertices[2].texCoord.y, 1.0f);
    EXPECT_FLOAT_EQ(n.vertices[2].normal.y, -1.0f);
    // Colours: above 1 counts as 1, then 255 v truncated, alpha 255.
    EXPECT_EQ(n.vertices[0].color, cColor(255, 127, 63, 255));
    EXPECT_EQ(n.vertices[1].color, cColor(0, 0, 0, 255));
    EXPECT_EQ(n.indices, (std::vector<std::uint16_t>{0, 1, 2}));
}

TEST(MeshParser, VerticesWithoutOtherBlocksKeepTheirDefaults) {
    const auto nodes = Parse("node \"plain\" { vertices 3 { 0 0 0 1 0 0 0 1 0 } faces 1 { 2 1 0 } }");
    ASSERT_EQ(nodes.size(), 1u);
    for (const sMeshVertex& v : nodes[0].vertices) {
        EXPECT_EQ(v.color, cColor(255, 255, 255, 255));
        EXPECT_EQ(v.normal, cVector3(0, 0, 0));
        EXPECT_FLOAT_EQ(v.texCoord.x, 0.0f);
        EXPECT_FLOAT_EQ(v.texCoord.y, 0.0f);
    }
    EXPECT_TRUE(nodes[0].material.empty());
}

TEST(MeshParser, NodesComeInFileOrderAndFacesMayPrecedeVertices) {
    const auto nodes = Parse(
        "node \"a\" { faces 1 { 0 1 2 } vertices 3 { 0 0 0 1 0 0 0 1 0 } }\n"
        "node \"b\" { }\n"
        "node \"a\" { vertices 1 { 5 5 5 } }\n");
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].indices.size(), 3u);
    EXPECT_EQ(nodes[1].name, "b");
    EXPECT_TRUE(nodes[1].vertices.empty());
    EXPECT_EQ(nodes[2].vertices.size(), 1u);
}

TEST(MeshParser, WhiteSpaceAndCommentsOnlyGiveNoNodes) {
    EXPECT_TRUE(Parse("  \n/* nothing */\n// here\n\t").empty());
    EXPECT_TRUE(Parse("").empty());
}

TEST(MeshParser, DamagedFilesFailWithTheParsersMessageAndLine) {
    struct sCase {
        const char* text;
        const char* message;
    };
    // Every fault sits on line 2 (lines count from 0).
    const sCase cases[] = {
        // unknown keywords
        {"node \"n\" {\n vertices 1 { 0 0 0 }\n texcoords 1 { 0 0 }\n}", "memory( 2 ) error : unexpected token 'texcoords'"},
        {"node \"n\" {\n}\nmesh \"n\" { }", "memory( 2 ) error : unexpected token 'mesh'"},
        // wrong counts
        {"node \"n\" {\n vertices 3 {\n 0 0 0 1 0 0 0 1 }\n}", "memory( 2 ) error : 'vertices' block holds 8 values, 9 expected"},
        {"node \"n\" {\n vertices 1 { 0 0 0\n 9 }\n}", "memory( 2 ) error : 'vertices' block holds more than 3 values"},
        {"node \"n\" {\n vertices 2 { 0 0 0 1 1 1 }\n uv 1 { 0 0 }\n}", "memory( 2 ) error : 'uv' block of 1 entries in node 'n' of 2 vertices"},
        {"node \"n\" {\n vertices 2 { 0 0 0 1 1 1 }\n normals 2 { 0 0 1 0 0 1 0 }\n}", "memory( 2 ) error : 'normals' block holds more than 6 values"},
        {"node \"n\" {\n vertices 3 { 0 0 0 1 0 0 0 1 0 }\n faces 1 { 0 1 }\n}", "memory( 2 ) error : 'faces' block holds 2 indices, 3 expected"},
        {"node \"n\" {\n vertices 3 { 0 0 0 1 0 0 0 1 0 }\n faces 1 { 0 1 2 0 }\n}", "memory( 2 ) error : 'faces' block holds more than 3 indices"},
        // blocks in the wrong order or twice
        {"node \"n\" {\n\n colors 1 { 1 1 1 }\n}", "memory( 2 ) error : 'colors' block before 'vertices' in node 'n'"},
        {"node \"n\" {\n vertices 1 { 0 0 0 }\n vertices 1 { 0 0 0 }\n}", "memory( 2 ) error : node 'n' has a second 'vertices' block"},
        // indices past the vertex count, negative indices
        {"node \"n\" {\n vertices 3 { 0 0 0 1 0 0 0 1 0 }\n faces 1 { 0 1 3 }\n}", "memory( 2 ) error : index 3 out of range; the node has 3 vertices"},
        {"node \"n\" {\n faces 1 { 0 1 7 } vertices 3 { 0 0 0 1 0 0 0 1 0 }\n}", "memory( 2 ) error : index 7 out of range; node 'n' has 3 vertices"},
        {"node \"n\" {\n vertices 3 { 0 0 0 1 0 0 0 1 0 }\n faces 1 { 0 - 1 2 }\n}", "memory( 2 ) error : index expected, found '-'"},
        {"node \"n\" {\n vertices 3 { 0 0 0 1 0 0 0 1 0 }\n faces 1 { 0 1.5 2 }\n}", "memory( 2 ) error : index expected, found '1.5'"},
        // more vertices than 16-bit indices reach
        {"node \"n\" {\n\n vertices 65536 { }\n}", "memory( 2 ) error : node 'n' has 65536 vertices; 16-bit indices reach at most 65535"},
        {"node \"n\" {\n\n vertices - 3 { }\n}", "memory( 2 ) error : 'vertices' block: count expected, found '-'"},
        // truncated or malformed numbers
        {"node \"n\" {\n vertices 1 {\n 0 1.2.3 0 }\n}", "memory( 2 ) error : number expected, found '1.2.3'"},
        {"node \"n\" {\n vertices 1 {\n 0 . 0 }\n}", "memory( 2 ) error : number expected, found '.'"},
        {"node \"n\" {\n vertices 1 {\n 0 1e5 0 }\n}", "memory( 2 ) error : number expected, found 'e5'"},
        {"node \"n\" {\n vertices 1 {\n 0 0", "memory( 2 ) error : unexpected end of file in 'vertices' block; '}' expected"},
        {"node \"n\" {\n vertices 1 { 0 0 0 }\n material \"a", "memory( 2 ) error : unexpected end of file, missing \"."},
        {"node \"n\" {\n vertices 1 { 0 0 0 }\n", "memory( 2 ) error : unexpected end of file; '}' expected to close node 'n'"},
        {"\n\nnode n {", "memory( 2 ) error : string expected, found 'n'"},
    };
    for (const sCase& c : cases) {
        EXPECT_EQ(ErrorOf(c.text), c.message) << c.text;
    }
}

TEST(MeshParser, FilesAreFoundThroughTheFileSystemAndNamedInMessages) {
    std::vector<sMeshNodeData> nodes;
    cMeshParser parser;
    try {
        parser.ParseFile("no/such.mesh", nodes);
        FAIL() << "a missing file parsed";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cMeshParser::ParseFile : file 'no/such.mesh' not found");
    }
    try {
        parser.ParseText("node \"x\" { bogus }", nodes, "meshes/x.mesh");
        FAIL() << "a damaged text parsed";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "meshes/x.mesh( 0 ) error : unexpected token 'bogus'");
    }
}

TEST(MeshParser, TheGeneratedVegetationMeshesParse) {
    const std::string folder = test::BuildFolder() + "data/meshes/vegetation/";
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) GTEST_SKIP() << "no generated meshes in " << folder;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".mesh") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::vector<sMeshNodeData> nodes;
        cMeshParser parser;
        ASSERT_NO_THROW(parser.ParseText(text.str(), nodes, entry.path().u8string().c_str())) << entry.path();
        ASSERT_FALSE(nodes.empty()) << entry.path();
        for (const sMeshNodeData& node : nodes) {
            EXPECT_FALSE(node.vertices.empty()) << entry.path();
            EXPECT_EQ(node.indices.size() % 3, 0u);
            EXPECT_FALSE(node.material.empty()) << entry.path();
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}

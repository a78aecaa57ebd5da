// velmora-tool's mesh and scene verbs run as a content author runs them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "scene/support/SceneTestSupport.h"

using namespace velmora::scene::test;

namespace {

struct sRun {
    int status = -1;
    std::string out;
};

// The tool built beside this test program.
std::string ToolPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : (self.parent_path().parent_path() / "tools" / "velmora-tool").string();
}

// Runs the tool in the folder; standard output is kept, the log (standard error) dropped.
sRun RunTool(const std::string& folder, const std::string& arguments) {
    sRun run;
    const std::string command = "cd '" + folder + "' && '" + ToolPath() + "' " + arguments +
                                " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool HaveTool() { return access(ToolPath().c_str(), X_OK) == 0; }

const char* kScene =
    "environment {\n\tfog {\n\t\tdensity\t0.004200\n\t\tcolor\t(0.72, 0.82, 0.91)\n\t}\n\n}\n\n"
    "paths {\n\tpath \"a\" {\n\t\tcameraSpeed\t0.0250\n\t\tcamera {\n"
    "\t\t\t1.0000, 2.0000, 3.0000, 4.0000, 5.0000, 6.0000, 7.0000, 8.0000, 9.0000, 10.0000, 11.0000, 12.0000\n"
    "\t\t}\n\t\ttarget {\n\t\t}\n\t}\n}\n\n"
    "entities {\n\twater {\n\t\tposition\t(128.0000, 25.0000, 128.0000)\n\t\tcolor\t(0.0667, 0.3255, 0.4118)\n"
    "\t\tdensity\t0.2000\n\t\tlevel\t25.0000\n\t\tspeed\t2.0000\n\t}\n"
    "\tsound {\n\t\tposition\t(1.0000, 2.0000, 3.0000)\n\t\tsource\t\"s.ogg\"\n\t\tlooped\ttrue\n"
    "\t\tvolume\t0.6000\n\t\tpitch\t1.0000\n\t\trolloff\t1.00000\n\t\tmaxDistance\t20.00000\n\t}\n}\n\n"
    "meshes {\n\tmesh {\n\t\tmesh\t\"rock.mesh\"\n\t\ttransform\t (1.0000, 0.0000, 0.0000, 0.0000, 0.0000, "
    "1.0000, 0.0000, 0.0000, 0.0000, 0.0000, 1.0000, 0.0000, 3.0000, 0.0000, 4.0000, 1.0000 )\n\t}\n}\n\n";

const char* kRock =
    "node \"top\" { material \"rock.tga\" vertices 3 { 0 0 0 2 0 0 0 1 - 1 } faces 1 { 0 1 2 } }\n"
    "node \"base\" { vertices 4 { 0 0 0 1 0 0 1 1 0 0 1 0 } faces 2 { 0 1 2 0 2 3 } }\n";

} // namespace

TEST(SceneTool, MeshPrintsPartsCountsBoundsAndTextures) {
    if (!HaveTool()) GTEST_SKIP() << "velmora-tool is not built";
    cScratchFolder folder;
    folder.Write("rock.mesh", kRock);
    folder.Write("bad.mesh", "node \"x\" { vertices 1 { 0 0 } }");
    const sRun run = RunTool(folder.Path(), "mesh rock.mesh");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "mesh rock.mesh\n"
              "parts 2\n"
              "  \"top\": 3 vertices, 1 triangles, bounds (0, 0, -1) - (2, 1, 0), texture rock.tga\n"
              "  \"base\": 4 vertices, 2 triangles, bounds (0, 0, 0) - (1, 1, 0), texture none\n"
              "vertices 7\n"
              "triangles 3\n"
              "bounds (0, 0, -1) - (2, 1, 0)\n"
              "textures 1\n"
              "  rock.tga\n");
    EXPECT_EQ(RunTool(folder.Path(), "mesh bad.mesh").status, 1);
    EXPECT_EQ(RunTool(folder.Path(), "mesh missing.mesh").status, 1);
    EXPECT_EQ(RunTool(folder.Path(), "mesh").status, 2);
}

TEST(SceneTool, ScenePrintsWhatTheFolderHolds) {
    if (!HaveTool()) GTEST_SKIP() << "velmora-tool is not built";
    cScratchFolder folder;
    folder.Write("island/.scene", kScene);
    folder.Write("rock.mesh", kRock);
    const sRun run = RunTool(folder.Path(), "scene island");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "scene island/\n"
              "terrain none\n"
              "fog density 0.0042, colour 183 209 232\n"
              "ambient sound none\n"
              "paths 1\n"
              "  \"a\": 1 camera segments, 0 target segments, speed 0.025\n"
              "entities 2\n"
              "  water 1\n"
              "  sound 1\n"
              "meshes 1 placed, 1 files\n"
              "  rock.mesh\n");
    folder.Write("broken/.scene", "entities { water { depth 2 } }");
    EXPECT_EQ(RunTool(folder.Path(), "scene broken").status, 1);
    EXPECT_EQ(RunTool(folder.Path(), "scene nowhere").status, 1);
}

TEST(SceneTool, ResaveWritesTheSameBytes) {
    if (!HaveTool()) GTEST_SKIP() << "velmora-tool is not built";
    cScratchFolder folder;
    folder.Write("island/.scene", kScene);
    folder.Write("rock.mesh", kRock);
    const sRun run = RunTool(folder.Path(), "scene resave island copy/of/island");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(folder.Read("copy/of/island/.scene"), kScene);
    // A terrain file that cannot be read is not carried over: the scene file is written and the run fails.
    folder.Write("island/.terrain", "....");
    EXPECT_EQ(RunTool(folder.Path(), "scene resave island again").status, 1);
    EXPECT_EQ(folder.Read("again/.scene"), kScene);
}

TEST(SceneTool, TheGeneratedIslandSceneResavesByteForByte) {
    if (!HaveTool()) GTEST_SKIP() << "velmora-tool is not built";
    const std::string root = BuildFolder();
    cScratchFolder folder;
    if (access((root + "data/scene/.scene").c_str(), R_OK) != 0) GTEST_SKIP() << "no generated scene";
    RunTool(root, "scene resave data/scene '" + folder.Path() + "out'");
    std::FILE* file = std::fopen((root + "data/scene/.scene").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::string original;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) original.append(buffer, n);
    std::fclose(file);
    EXPECT_EQ(folder.Read("out/.scene"), original);
}

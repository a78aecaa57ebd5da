// velmora-tool's terrain verb, and scene resave carrying the terrain over.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "scene/TerrainTestSupport.h"
#include "scene/support/SceneTestSupport.h"

using namespace velmora::scene::test;

namespace {

struct sRun {
    int status = -1;
    std::string out;
};

std::string ToolPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : (self.parent_path().parent_path() / "tools" / "velmora-tool").string();
}

// Runs the tool in the folder; standard output is kept, the log (standard error) dropped.
sRun RunTool(const std::string& folder, const std::string& arguments) {
    sRun run;
    const std::string command = "cd '" + folder + "' && '" + ToolPath() + "' " + arguments + " 2>/dev/null";
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

std::string ReadFile(const std::string& path) {
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

} // namespace

TEST(TerrainTool, TerrainPrintsSizesMapsLayersAndVegetation) {
    if (!HaveTool()) GTEST_SKIP() << "velmora-tool is not built";
    cScratchFolder folder;
    folder.Write("a.mesh", kTerrainTestMesh);
    folder.Write("b.mesh", kTerrainTestMesh);
    folder.Write("island/.terrain", sTerrainFile().Bytes());
    const sRun run = RunTool(folder.Path(), "terrain island/.terrain");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "terrain island/.terrain\n"
              "heightmap 32 x 32, heights 0 to 18\n"
              "chunks 1 x 1 of 32 quads\n"
              "colour map 4 x 4\n"
              "layer map 4 x 4\n"
              "light map 2 x 2\n"
              "layers 5\n"
              "  0: grass.jpg, scale 48 x 48\n"
              "  1: none, scale 64 x 64\n"
              "  2: rock.dds, scale 32 x 16\n"
              "  3: none, scale 40 x 40\n"
              "  4: sand.jpg, scale 56 x 56\n"
              "vegetation kinds 3\n"
              "  a.mesh: 0 instances\n"
              "  b.mesh: 1 instances\n"
              "  a.mesh: 3 instances\n"
              "vegetation instances 4\n");
    folder.Write("broken.terrain", sTerrainFile().Bytes().substr(0, 100));
    EXPECT_EQ(RunTool(folder.Path(), "terrain broken.terrain").status, 1);
    EXPECT_EQ(RunTool(folder.Path(), "terrain nowhere.terrain").status, 1);
    EXPECT_EQ(RunTool(folder.Path(), "terrain").status, 2);
}

TEST(TerrainTool, SceneResaveCopiesTheGeneratedIslandsTerrainByteForByte) {
    if (!HaveTool()) GTEST_SKIP() << "velmora-tool is not built";
    const std::string root = BuildFolder();
    if (access((root + "data/scene/.terrain").c_str(), R_OK) != 0) GTEST_SKIP() << "no generated island";
    cScratchFolder folder;
    const sRun run = RunTool(root, "scene resave data/scene '" + folder.Path() + "out'");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("wrote " + folder.Path() + "out/.terrain\n"), std::string::npos) << run.out;
    EXPECT_TRUE(folder.Read("out/.terrain") == ReadFile(root + "data/scene/.terrain"));
    EXPECT_EQ(RunTool(root, "scene data/scene").out.find("terrain 256 x 256, "), std::string("scene data/scene/\n").size());
}

// Config files: typed entries, lookups with defaults, and the errors that fail
// a whole load.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/core/cException.h"
#include "engine/parser/cConfig.h"

namespace velmora {
namespace {

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = (std::filesystem::temp_directory_path() / ("velmora-cfg-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Write(const std::string& text) {
        const std::string path = folder + "/test.cfg";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        return path;
    }

    // The error text of loading text, or "<loaded>".
    std::string LoadError(const std::string& text) {
        const std::string path = Write(text);
        cConfig config(path.c_str());
        try {
            config.Load(path.c_str());
        } catch (const cException& e) {
            return e.GetText();
        }
        return "<loaded>";
    }

    std::string folder;
};

TEST_F(ConfigFile, TypedEntriesAnswerOnlyTheirOwnGetter) {
    const std::string path = Write(
        "// display settings\n"
        "video {\n"
        "    width 800\n"
        "    gamma 1.5\n"
        "    title \"Island\\tview\"\n"
        "    fog (0.5, -0.25, 1, 2)\n"
        "    window { x 10 inner { deep 3 } }\n"
        "}\n"
        "sound { volume 0.75 }\n");
    cConfig config(path.c_str());
    ASSERT_NO_THROW(config.Load(path.c_str()));
    EXPECT_EQ(config.GetName(), path);
    EXPECT_EQ(config.GetInt("video.width", -1), 800);
    EXPECT_FLOAT_EQ(config.GetFloat("video.gamma", -1.0f), 1.5f);
    EXPECT_FLOAT_EQ(config.GetFloat("video.width", -1.0f), -1.0f);
    EXPECT_EQ(config.GetInt("video.gamma", -1), -1);
    EXPECT_STREQ(config.GetString("video.title", "none"), "Island\tview");
    EXPECT_STREQ(config.GetString("video.width", "none"), "none");
    EXPECT_EQ(config.GetInt("video.window.x", 0), 10);
    EXPECT_EQ(config.GetInt("video.window.inner.deep", 0), 3);
    EXPECT_EQ(config.GetInt("..video..window.x.", 0), 10);
    EXPECT_FLOAT_EQ(config.GetFloat("sound.volume", 0.0f), 0.75f);

    float v[4] = {};
    config.GetVector4("video.fog", v, nullptr);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{0.5f, -0.25f, 1, 2}));
    const float fallback[4] = {9, 8, 7, 6};
    config.GetVector2("video.width", v, fallback);
    EXPECT_EQ(std::vector<float>(v, v + 2), (std::vector<float>{9, 8}));
    config.GetVector3("video.fog", v, fallback);
    EXPECT_EQ(std::vector<float>(v, v + 3), (std::vector<float>{0.5f, -0.25f, 1}));
}

TEST_F(ConfigFile, MissingPathsGiveTheDefault) {
    const std::string path = Write("video { width 800 }\n");
    cConfig config(path.c_str());
    config.Load(path.c_str());
    EXPECT_EQ(config.GetInt("audio.width", 5), 5);
    EXPECT_EQ(config.GetInt("video.height", 6), 6);
    EXPECT_EQ(config.GetInt("video", 7), 7);
    EXPECT_EQ(config.GetInt("video.width.more", 8), 8);
    EXPECT_EQ(config.GetInt("", 9), 9);
    EXPECT_EQ(config.GetInt(nullptr, 10), 10);
    EXPECT_EQ(config.GetString("video.name", nullptr), nullptr);
}

TEST_F(ConfigFile, ShortVectorsWarnOnceAndKeepZeroes) {
    const std::string path = Write("light {\n  colour (1, 0.5, 0.25)\n}\n");
    cConfig config(path.c_str());
    ::testing::internal::CaptureStdout();
    config.Load(path.c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), path + "( 1 ) warning : vector is missing 1 components\n");
    float v[4] = {-1, -1, -1, -1};
    config.GetVector4("light.colour", v, nullptr);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{1, 0.5f, 0.25f, 0}));
}

TEST_F(ConfigFile, SyntaxErrorsFailTheWholeLoad) {
    const std::string path = folder + "/test.cfg";
    EXPECT_EQ(LoadError("video {\n  width 800\n  width 640\n}\n"),
              path + "( 2 ) error : config entry 'video::width' has already been defined");
    EXPECT_EQ(LoadError("video { }\nvideo { }\n"), path + "( 1 ) error : config node 'root::video' has already been defined");
    EXPECT_EQ(LoadError("width 800\n"), path + "( 0 ) error : entries are not allowed outside config nodes");
    EXPECT_EQ(LoadError("video {\n  width -800\n}\n"), path + "( 1 ) error : unexpected '-'");
    EXPECT_EQ(LoadError("video { width }"), path + "( 0 ) error : unexpected '}'");
    EXPECT_EQ(LoadError("video { 12 }"), path + "( 0 ) error : identifier expected, found '12'");
    // At the end of the input the line is where reading stopped: after the file's own and the added line feed.
    EXPECT_EQ(LoadError("video { width 1\n"), path + "( 2 ) error : unexpected end of file; '}' expected");
    EXPECT_EQ(LoadError("video { width"), path + "( 1 ) error : unexpected end of file; value of 'width' expected");
    EXPECT_EQ(LoadError("video { name \"open"), "unexpected end of file, missing \".");
    EXPECT_EQ(LoadError(""), "'" + path + "' is empty");
    EXPECT_EQ(LoadError("}"), path + "( 0 ) error : identifier expected, found '}'");

    cConfig config("x");
    try {
        config.Load(nullptr);
        ADD_FAILURE() << "a null path loaded";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "( 0 ) error : bad file name");
    }
}

TEST_F(ConfigFile, OpenLogsTheStepAndGivesNullOnFailure) {
    const std::string good = Write("a { b 1 }");
    ::testing::internal::CaptureStdout();
    IConfig* config = cConfig::Open(good.c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Opening config '" + good + "'... succeeded\n");
    ASSERT_TRUE(config);
    EXPECT_EQ(config->GetInt("a.b", 0), 1);
    config->Release();

    const std::string bad = Write("a { b -1 }");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(cConfig::Open(bad.c_str()), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Opening config '" + bad + "'... " + bad + "( 0 ) error : unexpected '-'\n");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(cConfig::Open(nullptr), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Opening config ''... invalid file name\n");
}

TEST_F(ConfigFile, DeepNestingNeitherOverflowsTheStackOnLoadNorOnRelease) {
    const int depth = 200000;
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "n{";
    }
    text += "leaf 1";
    text.append(depth, '}');
    const std::string path = Write(text);
    std::unique_ptr<cConfig> config(new cConfig(path.c_str()));
    ASSERT_NO_THROW(config->Load(path.c_str()));
    EXPECT_EQ(config->GetInt("n.n.n.n", 0), 0);
    config.reset();
}

} // namespace
} // namespace velmora

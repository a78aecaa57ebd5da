#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/Resources.h"

using namespace brevonne;

TEST(CommandLineTest, ModesFollowTheFirstTwoCharactersOfTheUpperCasedCopy) {
    auto mode = [](const std::string& line) { return GetMode(MakeCommandLineCopy(line)); };
    EXPECT_EQ(mode("/s"), eMode::Run);
    EXPECT_EQ(mode("/S"), eMode::Run);
    EXPECT_EQ(mode("/S -path somewhere else"), eMode::Run);
    EXPECT_EQ(mode("/c"), eMode::Config);
    EXPECT_EQ(mode("/c:1234"), eMode::Config);
    EXPECT_EQ(mode("/p 1234"), eMode::Preview);
    EXPECT_EQ(mode("/P"), eMode::Preview);
    EXPECT_EQ(mode("-s"), eMode::None);
    EXPECT_EQ(mode("s"), eMode::None);
    EXPECT_EQ(mode(""), eMode::None);
    EXPECT_EQ(mode("/"), eMode::None);
    EXPECT_EQ(mode("/x"), eMode::None);
}

TEST(CommandLineTest, CopyIsCutAtSixtyThreeCharactersAndUpperCased) {
    const std::string line = "/s " + std::string(100, 'a');
    const std::string copy = MakeCommandLineCopy(line);
    EXPECT_EQ(copy.size(), 63u);
    EXPECT_EQ(copy, "/S " + std::string(60, 'A'));
    EXPECT_EQ(MakeCommandLineCopy("/s -path d:\\data \xe4"), "/S -PATH D:\\DATA \xe4");
    EXPECT_EQ(MakeCommandLineCopy(std::string("/s\0/c", 5)), "/S");
}

TEST(CommandLineTest, PathOptionKeepsItsCaseAndLength) {
    EXPECT_EQ(FindPathOption({"/S", "-path", "/home/Me/Island Data"}), "/home/Me/Island Data");
    EXPECT_EQ(FindPathOption({"/S", "-PATH", "D:\\data"}), "D:\\data");
    EXPECT_EQ(FindPathOption({"/S", "-path"}), "");
    EXPECT_EQ(FindPathOption({"/S"}), "");
    const std::string longPath = "/" + std::string(300, 'x');
    EXPECT_EQ(FindPathOption({"/S", "-path", longPath}), longPath);
    EXPECT_EQ(WithTrailingSlash("D:\\DATA"), "D:\\DATA/");
    EXPECT_EQ(WithTrailingSlash("/data/"), "/data/");
    EXPECT_EQ(WithTrailingSlash(""), "");
    EXPECT_EQ(JoinArguments({"/S", "-path", "x"}), "/S -path x");
}

TEST(ResourceTest, ScreensaverNameIsStringOne) {
    ASSERT_NE(LoadStringResource(1), nullptr);
    EXPECT_STREQ(LoadStringResource(1), "Brevonne_3D");
    EXPECT_EQ(LoadStringResource(2), nullptr);
}

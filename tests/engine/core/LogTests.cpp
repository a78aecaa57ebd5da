#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/core/cLog.h"

using namespace velmora;

namespace {

// Read in text mode: the log is a text file, with the platform's line ends.
std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

} // namespace

TEST(LogTest, HeaderMessagesAndClosingLinesAreWrittenExactly) {
    const std::string path = TempPath("log_header.html");
    {
        cLog log;
        ASSERT_TRUE(log.Open(path.c_str()));
        log.Print("hello %d\n", 5);
        log.PrintColored(cColor(0, 10, 255, 7), "%s", "<b>raw</b>");
    }
    const std::string text = ReadFile(path);
    std::string expected;
    expected += "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\">\n";
    expected += "<title>" + path + "</title>\n";
    expected += "<body bgcolor=\"#565656\">\n";
    expected += "<pre>\n";
    expected += "<h2><font color=\"#FF9900\" size=\"+2\" style=\"font-style:italic\">" + path + "</font></h2>\n";
    ASSERT_EQ(text.compare(0, expected.size(), expected), 0) << text;

    // Version line, then the 58-dash rule.
    EXPECT_NE(text.find("<font color=\"#DDDDDD\">VelmoraEngine-release "), std::string::npos);
    EXPECT_NE(text.find("<font color=\"#CCCCCC\">" + std::string(58, '-') + "</font>\n"), std::string::npos);
    // Grey messages, colours in upper-case hex without leading zeros, text unescaped.
    EXPECT_NE(text.find("<font color=\"#C6C6C6\">hello 5\n</font>"), std::string::npos);
    EXPECT_NE(text.find("<font color=\"#0AFF\"><b>raw</b></font>"), std::string::npos);
    // Destruction closes the page.
    EXPECT_EQ(text.substr(text.size() - 15), "</pre>\n</body>\n");
}

TEST(LogTest, ReopenClosesTheOldFileAndClosedLogIgnoresMessages) {
    const std::string first = TempPath("log_first.html");
    const std::string second = TempPath("log_second.html");
    cLog log;
    log.Print("dropped\n");
    EXPECT_FALSE(log.IsOpen());
    ASSERT_TRUE(log.Open(first.c_str()));
    log.Print("one\n");
    ASSERT_TRUE(log.Open(second.c_str()));
    const std::string firstText = ReadFile(first);
    EXPECT_EQ(firstText.substr(firstText.size() - 15), "</pre>\n</body>\n");
    EXPECT_EQ(firstText.find("dropped"), std::string::npos);
    log.Close();
    EXPECT_FALSE(log.IsOpen());
    log.Close(); // closing twice writes nothing more
    const std::string secondText = ReadFile(second);
    EXPECT_EQ(secondText.find("</pre>"), secondText.rfind("</pre>"));
}

TEST(LogTest, OpenFailureLeavesTheLogClosed) {
    cLog log;
    EXPECT_FALSE(log.Open("/nonexistent-folder/for/sure/log.html"));
    EXPECT_FALSE(log.IsOpen());
}

TEST(LogTest, LongMessagesAreCutAt4095Characters) {
    const std::string path = TempPath("log_long.html");
    const std::string big(6000, 'x');
    {
        cLog log;
        ASSERT_TRUE(log.Open(path.c_str()));
        log.Print("%s", big.c_str());
    }
    const std::string text = ReadFile(path);
    const std::string start = "<font color=\"#C6C6C6\">";
    const std::size_t at = text.find(start + "x");
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = text.find("</font>", at);
    EXPECT_EQ(end - at - start.size(), 4095u);
}

TEST(LogTest, ProcessWideRoutinesReachTheOpenLogInTheirColours) {
    const std::string path = TempPath("log_process.html");
    ASSERT_TRUE(GetProcessLog().Open(path.c_str()));
    testing::internal::CaptureStdout();
    LogMessage("Creating thing... ");
    LogWarning("failed %s\n", "badly");
    const std::string out = testing::internal::GetCapturedStdout();
    GetProcessLog().Close();
    EXPECT_EQ(out, "Creating thing... failed badly\n");
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("<font color=\"#C6C6C6\">Creating thing... </font><font color=\"#FFC63F\">failed badly\n</font>"),
              std::string::npos)
        << text;
}

TEST(ExceptionTest, RaiseErrorFormatsAndCutsAt4095) {
    try {
        RaiseError("cTerrain::Create : %s", "out of memory");
        FAIL() << "RaiseError returned";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cTerrain::Create : out of memory");
    }
    const std::string big(5000, 'y');
    try {
        RaiseError("%s", big.c_str());
    } catch (const cException& e) {
        EXPECT_EQ(std::string(e.GetText()), big.substr(0, 4095));
    }
    EXPECT_STREQ(cException(nullptr).GetText(), "");
}

TEST(ColorTest, FloatColoursClampAndTruncate) {
    EXPECT_EQ(cColorF(0.78f, 0.78f, 0.78f, 1.0f).ToColor(), cColor(198, 198, 198, 255));
    EXPECT_EQ(cColorF(1.0f, 0.78f, 0.25f, 1.0f).ToColor(), cColor(255, 198, 63, 255));
    EXPECT_EQ(cColorF(2.0f, -1.0f, 0.999f, 0.5f).ToColor(), cColor(255, 0, 254, 127));
}

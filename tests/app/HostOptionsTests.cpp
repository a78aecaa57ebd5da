#include <gtest/gtest.h>

#include "app/HostOptions.h"
#include "app/cSettingsRecord.h"

using namespace brevonne;

namespace {

sHostOptions Parse(std::vector<std::string> args, const char* hostWindow = nullptr) {
    return ParseHostOptions(args, hostWindow);
}

} // namespace

TEST(HostOptions, WhichCommandLinesAreTheHosts) {
    EXPECT_TRUE(IsHostCommandLine({"--root"}));
    EXPECT_TRUE(IsHostCommandLine({"-root"}));
    EXPECT_TRUE(IsHostCommandLine({"-window-id", "5"}));
    EXPECT_TRUE(IsHostCommandLine({"-help"}));
    // Any two-dash word is the hosts' spelling (and refused when unknown); a one-dash word that is no
    // host option is no screensaver mode and does nothing.
    EXPECT_TRUE(IsHostCommandLine({"--bogus"}));
    EXPECT_FALSE(IsHostCommandLine({"-s"}));
    EXPECT_FALSE(IsHostCommandLine({"-path", "x"}));
    EXPECT_FALSE(IsHostCommandLine({"/S"}));
    EXPECT_FALSE(IsHostCommandLine({"-"}));
    EXPECT_FALSE(IsHostCommandLine({"--"}));
    EXPECT_FALSE(IsHostCommandLine({}));
}

TEST(HostOptions, WindowChoice) {
    // --root takes the host's window from the environment, in hex or decimal; without it the root window.
    sHostOptions o = Parse({"--root"}, "0x1a00004");
    EXPECT_EQ(o.window, eHostWindow::Root);
    EXPECT_EQ(o.windowId, 0x1a00004ul);
    EXPECT_EQ(Parse({"-root"}, "27262980").windowId, 27262980ul);
    EXPECT_EQ(Parse({"--root"}).windowId, 0ul);
    EXPECT_EQ(Parse({"--root"}, "").windowId, 0ul);
    // --window-id wins over --root, wherever it stands.
    o = Parse({"--window-id", "0x400007", "--root"}, "0x1a00004");
    EXPECT_EQ(o.window, eHostWindow::WindowId);
    EXPECT_EQ(o.windowId, 0x400007ul);
    EXPECT_EQ(Parse({"-root", "-window-id", "4194311"}).windowId, 4194311ul);
    // Neither: a window of its own.
    EXPECT_EQ(Parse({"--window"}).window, eHostWindow::Own);
    EXPECT_EQ(Parse({"--fps"}).window, eHostWindow::Own);
    EXPECT_TRUE(Parse({"--window"}).error.empty());
}

TEST(HostOptions, ValuesAsTheHostsPrintThem) {
    sHostOptions o = Parse({"-root", "-delay", "20000", "-speed", "2", "-quality", "HIGH", "-fps", "-no-sound",
                            "-no-shaders"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_EQ(o.delayMicroseconds, 20000);
    EXPECT_FLOAT_EQ(o.speed, 2.0f);
    EXPECT_EQ(o.textureQuality, 2);
    EXPECT_EQ(o.showFPS, true);
    EXPECT_EQ(o.sound, false);
    EXPECT_EQ(o.shaders, false);
    o = Parse({"--speed", "0.5", "--delay", "0", "--quality", "low", "--sound", "--shaders"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_FLOAT_EQ(o.speed, 0.5f);
    EXPECT_EQ(o.delayMicroseconds, 0);
    EXPECT_EQ(o.textureQuality, 0);
    EXPECT_EQ(o.sound, true);
    EXPECT_EQ(o.shaders, true);
    // A whole number written with a fraction.
    EXPECT_EQ(Parse({"--delay", "10000.0"}).delayMicroseconds, 10000);
    // The hosts' extra options for windows that already exist are taken and ignored.
    EXPECT_TRUE(Parse({"-root", "-visual", "0x21", "-install"}).error.empty());
    // Unset options leave the settings alone.
    o = Parse({"--root"});
    EXPECT_FALSE(o.showFPS || o.sound || o.shaders || o.textureQuality);
    EXPECT_FLOAT_EQ(o.speed, 1.0f);
}

TEST(HostOptions, RefusedCommandLines) {
    EXPECT_NE(Parse({"--bogus"}).error.find("unknown option '--bogus'"), std::string::npos);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--delay"}, {"--delay", "-5"}, {"--delay", "abc"}, {"--delay", "99999999999"}, {"--delay", "1.5"},
             {"--speed", "0"}, {"--speed", "nan"}, {"--speed", "inf"}, {"--speed", "1e9"}, {"--speed", ""},
             {"--quality", "ultra"}, {"--quality"}, {"--window-id"}, {"--window-id", "window"},
             {"--window-id", "0x1ffffffff"}, {"--window-id", "-3"}}) {
        EXPECT_FALSE(Parse(args).error.empty()) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    }
    EXPECT_FALSE(Parse({"--root"}, "garbage").error.empty());
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
}

TEST(HostOptions, DevelopmentOptionsAreSkippedWithTheirValues) {
    const sHostOptions o = Parse({"--window", "-path", "--fps", "-bench", "30", "-capture", "5", "out.png",
                                  "-tour", "2", "tour", "-maxfps", "10", "-emptyscene", "-PATH", "x"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    // "--fps" was the value of -path, not an option.
    EXPECT_FALSE(o.showFPS.has_value());
}

TEST(HostOptions, OptionsOverrideTheRecordForTheRun) {
    cSettingsRecord record;
    record.showFPS = false;
    record.soundEnabled = true;
    record.useShaders = true;
    record.textureQuality = 1;
    const cSettingsRecord before = record;
    ApplyHostOptions(Parse({"--root"}), record);
    EXPECT_EQ(record, before);
    ApplyHostOptions(Parse({"--root", "--fps", "--no-sound", "--no-shaders", "--quality", "high"}), record);
    EXPECT_TRUE(record.showFPS);
    EXPECT_FALSE(record.soundEnabled);
    EXPECT_FALSE(record.useShaders);
    EXPECT_EQ(record.textureQuality, 2);
    EXPECT_TRUE(std::equal(record.reserved.begin(), record.reserved.end(), before.reserved.begin()));
}

TEST(HostOptions, NumberParsing) {
    long whole = 0;
    EXPECT_TRUE(ParseHostInteger("0x1A", whole));
    EXPECT_EQ(whole, 26);
    EXPECT_TRUE(ParseHostInteger("010", whole));
    EXPECT_EQ(whole, 10);  // never octal
    EXPECT_FALSE(ParseHostInteger(" 5", whole));
    EXPECT_FALSE(ParseHostInteger("5 ", whole));
    EXPECT_FALSE(ParseHostInteger("", whole));
    double number = 0.0;
    EXPECT_TRUE(ParseHostNumber("2", number));
    EXPECT_DOUBLE_EQ(number, 2.0);
    EXPECT_TRUE(ParseHostNumber("1.25", number));
    EXPECT_DOUBLE_EQ(number, 1.25);
    EXPECT_FALSE(ParseHostNumber("0x10", number));
    EXPECT_FALSE(ParseHostNumber("1,5", number));
}

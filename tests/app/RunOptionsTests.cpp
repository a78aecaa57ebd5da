// The benchmark, capture, tour and empty-scene options of the full-screen run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/RunOptions.h"
#include "app/cBenchmark.h"
#include "engine/core/cException.h"

using namespace brevonne;

namespace {

std::string OptionError(const std::vector<std::string>& args) {
    try {
        ParseRunOptions(args);
    } catch (const velmora::cException& e) {
        return e.GetText();
    }
    return "no error";
}

} // namespace

TEST(RunOptions, ReadsBenchmarkCaptureAndEmptyScene) {
    const sRunOptions none = ParseRunOptions({"/S"});
    EXPECT_EQ(none.benchmarkFrames, 0);
    EXPECT_EQ(none.captureFrame, -1);
    EXPECT_FALSE(none.allowEmptyScene);
    EXPECT_FALSE(none.IsUnattended());

    const sRunOptions all = ParseRunOptions(
        {"/s", "-PATH", "/data//x", "-Bench", "300", "-capture", "12", "/tmp/a b/frame.png", "-emptyscene"});
    EXPECT_EQ(all.benchmarkFrames, 300);
    EXPECT_EQ(all.captureFrame, 12);
    EXPECT_EQ(all.captureFile, "/tmp/a b/frame.png");  // blanks, case and slashes kept
    EXPECT_TRUE(all.allowEmptyScene);
    EXPECT_TRUE(all.IsUnattended());

    EXPECT_EQ(ParseRunOptions({"/S", "-capture", "0", "shot.png"}).captureFrame, 0);
    EXPECT_EQ(ParseRunOptions({"/S", "-capture", "1", "C:\\shots\\one.png"}).captureFile, "C:\\shots\\one.png");
    // A "-bench" given as the value of "-path" is a folder name.
    EXPECT_EQ(ParseRunOptions({"/S", "-path", "-bench"}).benchmarkFrames, 0);
}

TEST(RunOptions, MissingOrBadValuesRaise) {
    EXPECT_EQ(OptionError({"/S", "-bench"}), "cScreensaver::Create : '-bench' needs a frame number");
    EXPECT_EQ(OptionError({"/S", "-bench", "2.5"}), "cScreensaver::Create : '-bench' needs a frame number");
    EXPECT_EQ(OptionError({"/S", "-bench", "0"}), "cScreensaver::Create : '-bench' frame 0 is out of range");
    EXPECT_EQ(OptionError({"/S", "-bench", "99999999999999"}), "cScreensaver::Create : '-bench' needs a frame number");
    EXPECT_EQ(OptionError({"/S", "-capture", "3", "-emptyscene"}),
              "cScreensaver::Create : '-capture' needs a file name");
}

TEST(RunOptions, ReadsTheTourShotsAndFolder) {
    const sRunOptions tour = ParseRunOptions({"/S", "-TOUR", "6", "build/tour shots/", "-emptyscene"});
    EXPECT_EQ(tour.tourShots, 6);
    EXPECT_EQ(tour.tourFolder, "build/tour shots/");
    EXPECT_TRUE(tour.allowEmptyScene);
    EXPECT_TRUE(tour.IsUnattended());
    EXPECT_EQ(tour.benchmarkFrames, 0);
    EXPECT_EQ(tour.captureFrame, -1);

    EXPECT_EQ(ParseRunOptions({"/S", "-tour", "1", "out"}).tourShots, 1);
    EXPECT_EQ(ParseRunOptions({"/S", "-tour", std::to_string(kMaxTourShots), "out"}).tourShots, kMaxTourShots);
    // A folder named like a number or a mode switch is still a folder when quoted by the shell.
    EXPECT_EQ(ParseRunOptions({"/S", "-tour", "2", "/tmp/-x"}).tourFolder, "/tmp/-x");
    EXPECT_EQ(ParseRunOptions({"/S", "-tour", "2", "12"}).tourFolder, "12");
    EXPECT_EQ(ParseRunOptions({"/S"}).tourShots, 0);
}

TEST(RunOptions, BadTourValuesRaise) {
    EXPECT_EQ(OptionError({"/S", "-tour"}), "cScreensaver::Create : '-tour' needs a shot count");
    EXPECT_EQ(OptionError({"/S", "-tour", "out"}), "cScreensaver::Create : '-tour' needs a shot count");
    EXPECT_EQ(OptionError({"/S", "-tour", "1.5", "out"}), "cScreensaver::Create : '-tour' needs a shot count");
    EXPECT_EQ(OptionError({"/S", "-tour", "-3", "out"}), "cScreensaver::Create : '-tour' needs a shot count");
    EXPECT_EQ(OptionError({"/S", "-tour", "0", "out"}), "cScreensaver::Create : '-tour' shot count 0 is out of range");
    EXPECT_EQ(OptionError({"/S", "-tour", std::to_string(kMaxTourShots + 1), "out"}),
              "cScreensaver::Create : '-tour' shot count " + std::to_string(kMaxTourShots + 1) + " is out of range");
    EXPECT_EQ(OptionError({"/S", "-tour", "6"}), "cScreensaver::Create : '-tour' needs a folder name");
    EXPECT_EQ(OptionError({"/S", "-tour", "6", "-emptyscene"}), "cScreensaver::Create : '-tour' needs a folder name");
    EXPECT_EQ(OptionError({"/S", "-tour", "6", ""}), "cScreensaver::Create : '-tour' needs a folder name");
}

TEST(BenchmarkFigures, MedianPercentileAndPerFrameCounts) {
    EXPECT_EQ(cBenchmark::Percentile({}, 0.5), 0.0);
    EXPECT_EQ(cBenchmark::Percentile({3, 1, 2}, 0.5), 2.0);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) hundred.push_back(i);
    EXPECT_EQ(cBenchmark::Percentile(hundred, 0.95), 95.0);
    EXPECT_EQ(cBenchmark::Percentile(hundred, 1.0), 100.0);

    cBenchmark bench;
    bench.AddFrame(0.010, 4, 100);
    bench.AddFrame(0.030, 6, 300);
    bench.AddFrame(0.020, 5, 200);
    const cBenchmark::sSummary s = bench.Summarize();
    EXPECT_EQ(s.frames, 3);
    EXPECT_NEAR(s.medianMs, 20.0, 1e-9);
    EXPECT_NEAR(s.p95Ms, 30.0, 1e-9);
    EXPECT_DOUBLE_EQ(s.drawCallsPerFrame, 5.0);
    EXPECT_DOUBLE_EQ(s.trianglesPerFrame, 200.0);
    const std::string text = cBenchmark::Format(s, "title");
    EXPECT_NE(text.find("frames per second: 50.0 at the median"), std::string::npos) << text;
    EXPECT_NE(text.find("start-up (process start to first flight frame): unknown"), std::string::npos) << text;
}

TEST(RunOptions, FrameRateCap) {
    EXPECT_EQ(ParseRunOptions({"/S"}).maxFPS, 0);
    EXPECT_EQ(ParseRunOptions({"/S", "-maxfps", "10", "-bench", "50"}).maxFPS, 10);
    EXPECT_EQ(OptionError({"/S", "-maxfps", "0"}), "cScreensaver::Create : '-maxfps' frame rate 0 is out of range");
    EXPECT_EQ(OptionError({"/S", "-maxfps"}), "cScreensaver::Create : '-maxfps' needs a frame rate");
}

TEST(BenchmarkFigures, PacingSharesOfACore) {
    // 50 frames in 5 s at a cap of 10; 0.5 s of processor time, 0.45 s of it inside the frames.
    const std::string text = cBenchmark::FormatPacing(10, 5.0, 0.5, 0.45, 50);
    EXPECT_NE(text.find("10.0 frames per second flown, frame time 100.0 ms"), std::string::npos) << text;
    EXPECT_NE(text.find("10.0 % of a core per second of wall time (9.00 ms per frame in the frame)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("waiting 1.00 % of a core"), std::string::npos) << text;
    // Clock jitter can make the frames' share exceed the total: waiting never goes negative.
    EXPECT_NE(cBenchmark::FormatPacing(10, 5.0, 0.4, 0.45, 50).find("waiting 0.00 %"), std::string::npos);
    EXPECT_NE(cBenchmark::FormatPacing(10, 0.0, 0.4, 0.45, 0).find("too few frames"), std::string::npos);
}

TEST(RunOptions, TourFramesPerShot) {
    EXPECT_EQ(ParseRunOptions({"/S", "-tour", "1", "out"}).tourFrames, 1);
    EXPECT_EQ(ParseRunOptions({"/S", "-tour", "1", "out", "-TourFrames", "30"}).tourFrames, 30);
    EXPECT_EQ(OptionError({"/S", "-tourframes"}), "cScreensaver::Create : '-tourframes' needs a frame count");
    EXPECT_EQ(OptionError({"/S", "-tourframes", "0"}), "cScreensaver::Create : '-tourframes' frame count 0 is out of range");
}

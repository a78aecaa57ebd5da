#pragma once
// Development options of the full-screen run, read from the command line
// with the engine's tokenizer (options compared without regard to case):
//
//   -bench FRAMES        fly FRAMES frames with a fixed time step and a fixed random seed,
//                        then print the figures and end
//   -capture FRAME FILE  write flight frame FRAME (counted from 1) to FILE as PNG; frame 0 is
//                        the loading screen
//   -emptyscene          a scene without paths shows its empty sky instead of ending the run
//                        with "no paths found"
//   -tour SHOTS FOLDER   for every camera path, SHOTS frames at evenly spaced path parameters
//                        written to FOLDER as PNG (see app/cTour.h), then end
//   -tourframes N        with -tour: N consecutive frames per shot, each one flight step (kBenchmarkStep of
//                        flight time) after the one before, written as <shot>_<frame>.png
//   -maxfps FPS          caps the frame rate at FPS instead of the display's refresh rate (with
//                        -bench the frames are paced too, which measures what waiting costs)
//
// "-path FOLDER" belongs to the settings and is skipped here; anything else is ignored.

#include <string>
#include <vector>

namespace brevonne {

// The benchmark's fixed time step (seconds) and random seed.
constexpr float kBenchmarkStep = 1.0f / 30.0f;
constexpr unsigned kBenchmarkSeed = 1;
// The largest frame number the options take.
constexpr int kMaxOptionFrame = 10000000;
// The most review shots per path "-tour" takes.
constexpr int kMaxTourShots = 1000;
// The highest frame-rate cap "-maxfps" takes.
constexpr int kMaxFrameRateCap = 1000;

struct sRunOptions {
    int benchmarkFrames = 0;  // 0: no benchmark
    int captureFrame = -1;    // -1: no capture
    std::string captureFile;
    bool allowEmptyScene = false;
    int tourShots = 0;        // 0: no review tour
    int maxFPS = 0;           // 0: the display's refresh rate (benchmarks: no cap)
    std::string tourFolder;
    int tourFrames = 1;       // consecutive frames per tour shot

    // True when nobody watches the run (its errors go to standard error, not to a message box).
    bool IsUnattended() const { return benchmarkFrames > 0 || captureFrame >= 0 || tourShots > 0; }
};

// The options among the program's arguments. Raises cException "cScreensaver::Create : ..."
// when an option lacks its values or a frame number or shot count is out of range.
sRunOptions ParseRunOptions(const std::vector<std::string>& args);

} // namespace brevonne

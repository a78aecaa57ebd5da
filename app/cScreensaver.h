#pragma once
// The screensaver application object: unpacks the data appended to the
// executable, shows the loading screen while the scene loads, then flies the
// camera along the scene's paths, fading to black at the end of each, with
// the optional frames-per-second and clock overlays.
//
// Every call into the scene layer goes through the few members marked
// "scene link" (cScreensaver_scene.cpp).

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/RunOptions.h"
#include "app/cBenchmark.h"
#include "app/cFlight.h"
#include "app/cTour.h"
#include "app/cScreensaverBase.h"
#include "engine/core/cColor.h"

namespace velmora {
class cFrameProfiler;
}

namespace velmora::scene {
class cCamera;
class IScenePath;
}

namespace brevonne {

class cLoadingScreen;

class cScreensaver : public cScreensaverBase {
public:
    cScreensaver(const std::string& commandLine, const std::vector<std::string>& args,
                 const sHostOptions& host = sHostOptions());
    ~cScreensaver() override;

    // Base creation, data extraction, gamma, random seed, loading screen, camera, fonts, scene,
    // sound volume and the first path.
    bool Create() override;
    // Releases the camera and deletes the unpacked archive, then the base Destroy.
    bool Destroy() override;
    // The longest step the flight takes in one frame: after a pause (a stopped process, a busy
    // machine) the camera goes on where it was instead of jumping ahead.
    static constexpr float kMaxFrameStep = 0.1f;

    // One flight frame; false when the mouse moved (or a benchmark has flown its frames).
    bool Render() override;

    // Picks the next path (every path once before any repeats).
    void ChooseNextPath();
    // True for benchmark, capture and tour runs, and for runs whose development options were
    // malformed: nobody is there to close a message box.
    bool IsUnattended() const { return m_BadOptions || m_Options.IsUnattended(); }

private:
    // Copies the archive appended to the executable to ".pk" in the archive folder and adds it
    // to the file system (nothing when the executable carries none).
    void ExtractData();
    void DrawOverlays(int viewWidth);
    // Reads the frame being drawn back and writes it to the capture file.
    void CaptureFrame();
    // Reads the frame being drawn back and writes it to `file` as an opaque PNG; false on failure.
    bool WriteFrame(const std::string& file);
    // ---- Review tour (cScreensaver_tour.cpp) ------------------------------------------------
    // Places the flight and the camera at the current shot (starting the tour on the first call).
    void PlaceTourCamera();
    // Writes the frame being drawn as the current shot; false once the last shot is written.
    bool SaveTourShot();
    // Benchmark bookkeeping after a presented frame; false once the last frame was flown.
    bool CountBenchmarkFrame(std::chrono::steady_clock::time_point frameStart);
    // After the benchmark's frames: a profiled frame of `seconds`; false after the last one, whose
    // section table it prints.
    bool CountProfiledFrame(double seconds);

    // ---- Scene link ------------------------------------------------------------------------
    velmora::scene::cCamera* CreateFlightCamera(int viewWidth, int viewHeight);
    void LoadScene(cLoadingScreen* loadingScreen);
    const std::vector<velmora::scene::IScenePath*>& GetScenePaths() const;
    velmora::cColor GetSceneFogColor() const;
    void RenderScene();

    sRunOptions m_Options;
    bool m_BadOptions = false;
    velmora::scene::cCamera* m_Camera = nullptr;
    cFlight m_Flight;
    std::string m_ArchivePath;
    int m_FrameNumber = 0;
    cBenchmark m_Benchmark;
    // Frames flown with the profiler after the benchmark's own (at most as many as those).
    static constexpr int kProfiledFrames = 30;
    std::unique_ptr<velmora::cFrameProfiler> m_Profiler;
    double m_ProfiledSeconds = 0.0;
    cTour m_Tour;
    bool m_TourStarted = false;
    std::chrono::steady_clock::time_point m_LastFrameEnd;
    // The view size of the last frame: a host may resize its window at any time.
    int m_LastViewWidth = 0;
    int m_LastViewHeight = 0;
    // Processor time at the first benchmark frame, for the share of a core the run used.
    double m_BenchmarkCpuStart = 0.0;
    std::chrono::steady_clock::time_point m_BenchmarkWallStart;
    // Processor time spent inside the benchmark's frames (the rest was spent between them).
    double m_BenchmarkFrameCpu = 0.0;
    double m_FrameCpuStart = 0.0;
};

} // namespace brevonne

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

#include "app/HostOptions.h"
#include "app/IScreensaverWindow.h"
#include "app/RunOptions.h"
#include "app/cBenchmark.h"
#include "app/cFlight.h"
#include "app/cTour.h"
#include "engine/core/cColor.h"

namespace velmora {
class cFrameProfiler;
class IEngine;
class IFileSystem;
class IInput;
namespace video { class IRenderer; class IFont; }
namespace sound { class ISoundEngine; }
namespace scene { class cSceneManager; class IResourceManager; }
}

namespace velmora::scene {
class cCamera;
class IScenePath;
}

namespace brevonne {

class cLoadingScreen;

class cScreensaver {
public:
    // commandLine: the upper-cased copy; args: the original arguments; host: what a screensaver
    // host asked for (nothing for the full-screen run).
    cScreensaver(const std::string& commandLine, const std::vector<std::string>& args,
                 const sHostOptions& host = sHostOptions());
    ~cScreensaver();
    cScreensaver(const cScreensaver&) = delete;
    cScreensaver& operator=(const cScreensaver&) = delete;

    // Settings, the platform's window and the engine attached to it, data extraction, gamma,
    // random seed, loading screen, camera, fonts, scene, sound volume and the first path.
    bool Create();
    // Releases the camera, deletes the unpacked archive, releases the engine and gives up the
    // window (the display gets its mode back).
    bool Destroy();
    // The longest step the flight takes in one frame: after a pause (a stopped process, a busy
    // machine) the camera goes on where it was instead of jumping ahead.
    static constexpr float kMaxFrameStep = 0.1f;

    // One flight frame; false when the mouse moved (or a benchmark has flown its frames).
    bool Render();
    // Renderer begin-frame with its default clear colour, then end-frame.
    void DrawBlankFrame();
    // Takes every waiting window message; false once the run is to end.
    bool ProcessMessages();
    // Sleeps until the next frame is due.
    void WaitForNextFrame();

    // True when a screensaver host started the run (or it runs in a window of its own).
    bool IsHosted() const { return m_Host.IsHosted(); }
    velmora::IEngine* GetEngine() const { return m_Engine; }

    // Picks the next path (every path once before any repeats).
    void ChooseNextPath();
    // True for benchmark, capture and tour runs, and for runs whose development options were
    // malformed: nobody is there to close a message box.
    bool IsUnattended() const { return m_BadOptions || m_Options.IsUnattended(); }

private:
    // Opens the window and attaches the engine and its services to it; false on failure.
    bool CreateEngine();
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

    std::string m_CommandLine;
    std::vector<std::string> m_Args;
    sHostOptions m_Host;
    std::unique_ptr<IScreensaverWindow> m_Window;
    velmora::IEngine* m_Engine = nullptr;
    velmora::IFileSystem* m_FileSystem = nullptr;
    velmora::IInput* m_Input = nullptr;
    velmora::video::IRenderer* m_Renderer = nullptr;
    velmora::sound::ISoundEngine* m_SoundEngine = nullptr;
    velmora::scene::cSceneManager* m_SceneManager = nullptr;
    velmora::scene::IResourceManager* m_ResourceManager = nullptr;
    velmora::video::IFont* m_DefaultFont = nullptr;
    velmora::video::IFont* m_OverlayFont = nullptr;
    float m_FirstMouseX = -1.0f;
    float m_FirstMouseY = -1.0f;

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
    int m_TourFrame = 0;  // the frame within the current shot (-tourframes)
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

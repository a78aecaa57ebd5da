#include "app/cScreensaver.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/AppendedArchive.h"
#include "app/ApplySettings.h"
#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/FlightFrame.h"
#include "app/PNGFile.h"
#include "app/Platform.h"
#include "app/cLoadingScreen.h"
#include "app/cSettings.h"
#include "engine/EngineFactory.h"
#include "engine/IEngine.h"
#include "engine/IInput.h"
#include "engine/core/Log.h"
#include "engine/core/cFrameProfiler.h"
#include "engine/core/cException.h"
#include "engine/filesystem/IFileSystem.h"
#include "scene/cSceneManager.h"
#include "scene/camera/cCamera.h"
#include "sound/ISoundEngine.h"
#include "video/IFont.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace brevonne {

using namespace velmora;
using namespace velmora::video;

namespace {

const char* const kProgressTexture = "data/textures/progress.tga";
const char* const kSplashTexture = "data/textures/splash.tga";
const char* const kEmptyCellTexture = "data/textures/progress_desaturated.tga";
const char* const kDefaultFont = "data/fonts/default.fnt";
const char* const kOverlayFont = "data/fonts/Agency FB_54.fnt";

// Processor time of the whole process (every thread) in seconds.
double GetProcessorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void ApplyOverlayProjection(IRenderer& r) { r.SetProjection(PROJ_ORTHOGRAPHIC, 0, 0, 0.01, 1000.0, -1.0, -1.0); }

} // namespace

cScreensaver::cScreensaver(const std::string& commandLine, const std::vector<std::string>& args,
                           const sHostOptions& host)
    : m_CommandLine(commandLine), m_Args(args), m_Host(host), m_Flight([this](int first, int last) {
          return m_Engine ? m_Engine->RandomInt(first, last) : first;
      }) {}

cScreensaver::~cScreensaver() { Destroy(); }

bool cScreensaver::Create() {
    try {
        m_Options = ParseRunOptions(m_Args);
    } catch (const cException&) {
        // Only scripts pass these options: the error goes where a script can read it.
        m_BadOptions = true;
        throw;
    }
    if (!CreateEngine()) {
        return false;
    }
    ExtractData();
    // The desktop gamma follows the settings (-1..1 maps to -0.25..0.25; 0 keeps the desktop's ramp).
    // A host's window leaves the display's gamma to the host.
    const cSettingsRecord& settings = GetSettings().GetRecord();
    if (!IsHosted()) {
        m_Engine->SetGamma(settings.gamma * 0.25f, 1.0f);
    }
    if (m_Options.benchmarkFrames > 0 || m_Options.tourShots > 0) {
        m_Engine->SeedRandom(kBenchmarkSeed);
    } else {
        m_Engine->Randomize();
    }
    const int width = m_Engine->GetViewWidth();
    const int height = m_Engine->GetViewHeight();

    ITexture2D* progress = m_Renderer->CreateTexture(kProgressTexture);
    ITexture2D* splash = m_Renderer->CreateTexture(kSplashTexture);
    ITexture2D* empty = m_Renderer->CreateTexture(kEmptyCellTexture);
    cLoadingScreen loadingScreen(m_Engine, m_Renderer, progress, splash, empty);
    if (m_Options.captureFrame == 0) {
        loadingScreen.SetBeforePresent([this] { CaptureFrame(); });
    }
    loadingScreen.SetStopCheck([] { return IsStopRequested(); });
    // The splash shows at once, before the scene reports its first progress.
    loadingScreen.OnProgress(0.0f);

    m_Camera = CreateFlightCamera(width, height);
    m_DefaultFont = m_Renderer->CreateFont(kDefaultFont);
    m_OverlayFont = m_Renderer->CreateFont(kOverlayFont);

    LoadScene(&loadingScreen);

    if (sound::ISoundEngine* sound = m_Engine->GetSoundEngine()) {
        sound->SetMasterVolume(settings.volume);
    }
    for (ITexture2D* texture : {progress, splash, empty}) {
        if (texture) texture->Release();
    }
    m_Flight.Reserve(GetScenePaths().size());
    // Effects draw from the same generator while the scene loads (butterflies start at random places), so
    // a benchmark or tour seeds it again here: the flight takes the same paths whatever the scene holds.
    if (m_Options.benchmarkFrames > 0 || m_Options.tourShots > 0) {
        m_Engine->SeedRandom(kBenchmarkSeed);
    }
    ChooseNextPath();
    LogMessage("Flight started over %zu camera paths\n", GetScenePaths().size());
    return true;
}

bool cScreensaver::CreateEngine() {
    // 1. Settings and the "-path" option; a host's options apply to this run only.
    cSettings& settings = GetSettings();
    settings.ReadSettings();
    if (IsHosted()) {
        ApplyHostOptions(m_Host, settings.GetRecord());
    }
    const std::string pathOption = FindPathOption(m_Args);
    if (!pathOption.empty()) {
        WorkingDirectory() = WithTrailingSlash(pathOption);
    }

    // 2-3. The window.
    if (!m_Window) {
        m_Window = CreateScreensaverWindow(m_Host);
    }
    sRendererDesc desc;
    desc.multisampling = 0;
    desc.depthFlags = kWithStencil | kDepth24;
    if (!m_Window || !m_Window->Open(settings.GetRecord(), desc)) {
        return false;
    }

    // 4. The engine attached to the window.
    m_Engine = velmora::CreateEngine(m_Window->GetHandle(), desc);
    if (!m_Engine) {
        return false;
    }
    m_Window->Attached(*m_Engine);

    // 5. Engine files are found below the working directory.
    m_FileSystem = m_Engine->GetFileSystem();
    m_FileSystem->SetRootFolder(WorkingDirectory().c_str());

    // 6. The services the frame uses.
    m_Renderer = m_Engine->GetRenderer();
    m_SceneManager = m_Engine->GetSceneManager();
    m_ResourceManager = m_SceneManager ? m_SceneManager->GetResourceManager() : nullptr;
    m_Input = m_Engine->GetInput();
    m_SoundEngine = m_Engine->GetSoundEngine();

    // 7. No cursor over the flight; over a host's window the cursor is the host's.
    if (!IsHosted()) {
        m_Engine->ShowCursor(false);
    }

    // 8-11. Shader use, texture quality, sound and volume, render settings.
    ApplySettings(settings.GetRecord(), *m_Engine);

    // Benchmarks, captures and tours draw as fast as they can, unless a cap is asked for.
    m_Window->SetUpPacing(m_Options.IsUnattended() && m_Options.maxFPS <= 0, m_Options.maxFPS,
                          static_cast<double>(m_Host.delayMicroseconds) * 1e-6);
    return true;
}

void cScreensaver::DrawBlankFrame() {
    if (!m_Renderer) {
        return;
    }
    m_Renderer->BeginFrame();
    m_Renderer->EndFrame();
}

bool cScreensaver::ProcessMessages() { return m_Window && m_Window->ProcessMessages(); }

void cScreensaver::WaitForNextFrame() {
    if (m_Window) {
        m_Window->WaitForNextFrame();
    }
}

bool cScreensaver::Destroy() {
    if (m_Profiler) {
        SetFrameProfiler(nullptr);
        m_Profiler.reset();
    }
    if (m_Camera) {
        m_Camera->Release();
        m_Camera = nullptr;
    }
    if (!m_ArchivePath.empty()) {
        if (m_FileSystem) {
            m_FileSystem->DeleteFile(m_ArchivePath.c_str());
        }
        m_ArchivePath.clear();
    }
    if (m_Engine) {
        if (!IsHosted()) {
            m_Engine->ShowCursor(true);
        }
        m_Engine->Release();
        m_Engine = nullptr;
        m_Renderer = nullptr;
        m_FileSystem = nullptr;
        m_Input = nullptr;
        m_SoundEngine = nullptr;
        m_SceneManager = nullptr;
        m_ResourceManager = nullptr;
        m_DefaultFont = nullptr;
        m_OverlayFont = nullptr;
    }
    if (m_Window) {
        m_Window->Close();
    }
    return true;
}

void cScreensaver::ExtractData() {
    const std::string exePath = GetExecutablePath();
    if (exePath.empty()) {
        RaiseError("cScreensaver::ExtractData : GetModuleFileName failed");
    }
    const std::string folder = GetArchiveFolder();
    if (folder.empty()) {
        RaiseError("cScreensaver::ExtractData : failed to get archive folder path");
    }
    // Copies left by instances that were killed are of no use to anybody.
    RemoveStaleArchiveCopies(*m_FileSystem, folder, GetProcessNumber(), IsProcessRunning);
    m_ArchivePath = ExtractAppendedArchive(*m_FileSystem, exePath, folder, GetProcessNumber());
}

void cScreensaver::ChooseNextPath() { m_Flight.ChooseNextPath(GetScenePaths()); }

bool cScreensaver::Render() {
    if (!m_Engine || !m_Renderer) {
        return false;
    }
    const auto frameStart = std::chrono::steady_clock::now();
    m_FrameCpuStart = GetProcessorSeconds();
    m_Engine->Update();

    if (m_Input && !IsHosted()) {
        const cVector2& mouse = m_Input->GetMousePosition();
        if (HasMouseMoved(m_FirstMouseX, m_FirstMouseY, mouse.x, mouse.y)) {
            return false;
        }
    }

    if (m_Options.tourShots > 0) {
        PlaceTourCamera();
    } else if (m_Flight.GetCurrentPath()) {
        const float frameTime = m_Options.benchmarkFrames > 0 ? kBenchmarkStep
                                                              : std::min(m_Engine->GetFrameTime(), kMaxFrameStep);
        m_Flight.Advance(frameTime * m_Host.speed, GetScenePaths());
        if (m_Camera) {
            m_Flight.PlaceCamera(*m_Camera);
        }
    } else if (!m_Options.allowEmptyScene) {
        RaiseError("cScreensaver::Render : no paths found");
    }

    const int width = m_Engine->GetViewWidth();
    const int height = m_Engine->GetViewHeight();
    const float aspect = height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
    IRenderer& r = *m_Renderer;
    if (width != m_LastViewWidth || height != m_LastViewHeight) {
        // The window was resized (hosts do, and the settings preview is small): the frame follows.
        if (m_LastViewWidth != 0) {
            LogMessage("View resized to %d x %d\n", width, height);
        }
        m_LastViewWidth = width;
        m_LastViewHeight = height;
        r.SetViewportRect(0, 0, width, height);
        if (m_Camera) {
            m_Camera->SetAspectRatio(aspect);
        }
    }
    r.SetFillMode(FM_SOLID);
    r.BeginFrame(GetSceneFogColor());
    r.SetProjectionMatrix(MakeFlightProjection(aspect));
    r.SetCamera(m_Camera, false);
    {
        cProfileSection section("scene");
        RenderScene();
    }
    r.RenderAxes(cVector3(0.0f, 0.0f, 0.0f), 1.0f);

    const float fade = m_Options.tourShots > 0 ? 0.0f : GetFade(m_Flight.GetParameter());
    ApplyOverlayProjection(r);
    r.SetTransform(MM_WORLD, static_cast<const cMatrix*>(nullptr));
    r.SetTransform(MM_VIEW, static_cast<const cMatrix*>(nullptr));
    if (const int alpha = GetFadeAlpha(fade); alpha > 0) {
        // A fully transparent quad would change no pixel, at the price of blending the whole screen.
        cProfileSection section("fade");
        r.SetDepthWrite(false);
        r.SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
        r.RenderRect(nullptr, cRect(-1.0f, -1.0f, width + 1.0f, height + 1.0f), cRect(0.0f, 0.0f, 1.0f, 1.0f),
                     cColor(0, 0, 0, alpha));
        r.SetBlendFunc(BF_NONE, BF_NONE);
        r.SetDepthWrite(true);
    }

    {
        cProfileSection section("overlays");
        DrawOverlays(width);
    }

    ++m_FrameNumber;
    if (m_FrameNumber == m_Options.captureFrame) {
        CaptureFrame();
    }
    const bool moreShots = m_Options.tourShots <= 0 || SaveTourShot();
    {
        cProfileSection section("present");
        r.EndFrame();
    }
    return CountBenchmarkFrame(frameStart) && moreShots;
}

void cScreensaver::DrawOverlays(int viewWidth) {
    if (!m_OverlayFont) {
        return;
    }
    IRenderer& r = *m_Renderer;
    const cSettingsRecord& settings = GetSettings().GetRecord();
    if (settings.showFPS) {
        ApplyOverlayProjection(r);
        r.SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
        m_OverlayFont->SetColor(1.0f, 1.0f, 1.0f, 0.75f);
        m_OverlayFont->Printf(10.0f, 0.0f, "FPS: %4.1f", m_Engine->GetFPS());
        r.SetBlendFunc(BF_NONE, BF_NONE);
    }
    if (settings.showClock) {
        const std::time_t now = std::time(nullptr);
        // The process draws on one thread: the C library's shared result is safe to use.
        const std::tm* clock = std::localtime(&now);
        if (!clock) {
            return;
        }
        const std::tm local = *clock;
        const std::string text = FormatClock(local.tm_hour, local.tm_min, local.tm_sec);
        const float textWidth = m_OverlayFont->MeasureText(text.c_str());
        ApplyOverlayProjection(r);
        r.SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
        m_OverlayFont->SetColor(1.0f, 1.0f, 1.0f, 0.75f);
        m_OverlayFont->Print(static_cast<float>(viewWidth) - textWidth - 10.0f, 0.0f, text.c_str());
        r.SetBlendFunc(BF_NONE, BF_NONE);
    }
}

void cScreensaver::CaptureFrame() {
    if (WriteFrame(m_Options.captureFile)) {
        LogMessage("Captured frame %d to '%s'\n", m_FrameNumber, m_Options.captureFile.c_str());
    } else {
        LogWarning("cScreensaver::CaptureFrame : failed to write frame %d to '%s'\n", m_FrameNumber,
                   m_Options.captureFile.c_str());
    }
}

bool cScreensaver::WriteFrame(const std::string& file) {
    const int width = m_Engine->GetViewWidth();
    const int height = m_Engine->GetViewHeight();
    std::vector<std::uint8_t> pixels;
    if (!m_Renderer->ReadPixels(0, 0, width, height, pixels)) {
        return false;
    }
    // The window has no use for alpha; an opaque picture shows what the screen shows.
    for (std::size_t i = 3; i < pixels.size(); i += 4) {
        pixels[i] = 255;
    }
    return WritePNG(file, width, height, pixels);
}

bool cScreensaver::CountBenchmarkFrame(std::chrono::steady_clock::time_point frameStart) {
    if (m_Options.benchmarkFrames <= 0) {
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    const auto since = m_Benchmark.GetFrameCount() == 0 ? frameStart : m_LastFrameEnd;
    m_LastFrameEnd = now;
    if (m_Benchmark.GetFrameCount() == 0) {
        m_Benchmark.SetStartupTime(GetProcessUptime());
        m_BenchmarkCpuStart = GetProcessorSeconds();
        m_BenchmarkWallStart = now;
    } else {
        m_BenchmarkFrameCpu += GetProcessorSeconds() - m_FrameCpuStart;
    }
    if (m_Profiler) {
        return CountProfiledFrame(std::chrono::duration<double>(now - since).count());
    }
    const sDrawStatistics& statistics = m_Renderer->GetFrameStatistics();
    m_Benchmark.AddFrame(std::chrono::duration<double>(now - since).count(), statistics.drawCalls,
                         statistics.triangles);
    if (m_Benchmark.GetFrameCount() < m_Options.benchmarkFrames) {
        return true;
    }
    m_Benchmark.SetPeakMemory(GetPeakMemoryBytes());
    char title[256];
    std::snprintf(title, sizeof(title), "flight benchmark: %d x %d, %d frames, step %.4f s, seed %u, %s pipeline",
                  m_Engine->GetViewWidth(), m_Engine->GetViewHeight(), m_Options.benchmarkFrames, kBenchmarkStep,
                  kBenchmarkSeed, GetSettings().GetRecord().useShaders ? "shader" : "fixed-function");
    std::fputs(cBenchmark::Format(m_Benchmark.Summarize(), title).c_str(), stdout);
    if (m_Options.maxFPS > 0) {
        const double wall = std::chrono::duration<double>(now - m_BenchmarkWallStart).count();
        const double cpu = GetProcessorSeconds() - m_BenchmarkCpuStart;
        std::fputs(cBenchmark::FormatPacing(m_Options.maxFPS, wall, cpu, m_BenchmarkFrameCpu,
                                       m_Benchmark.GetFrameCount() - 1)
                       .c_str(),
                   stdout);
    }
    std::fflush(stdout);

    // Then the flight goes on for a few frames with the device waited on between sections, to show
    // where the time goes.
    IRenderer* renderer = m_Renderer;
    m_Profiler = std::make_unique<cFrameProfiler>([renderer] { renderer->WaitForDevice(); }, [renderer] {
        cFrameProfiler::sCounters counters;
        counters.drawCalls = renderer->GetTotalStatistics().drawCalls;
        counters.triangles = static_cast<long long>(renderer->GetTotalStatistics().triangles);
        return counters;
    });
    m_ProfiledSeconds = 0.0;
    SetFrameProfiler(m_Profiler.get());
    return true;
}

bool cScreensaver::CountProfiledFrame(double seconds) {
    m_Profiler->EndFrame();
    m_ProfiledSeconds += seconds;
    const int frames = std::min(m_Options.benchmarkFrames, kProfiledFrames);
    if (m_Profiler->GetFrameCount() < frames) {
        return true;
    }
    SetFrameProfiler(nullptr);
    const double frameMs = m_ProfiledSeconds * 1000.0 / m_Profiler->GetFrameCount();
    std::printf("where the time goes: %d more frames with the device waited on between sections, %.2f ms per frame\n",
                m_Profiler->GetFrameCount(), frameMs);
    std::fputs(m_Profiler->Format(frameMs).c_str(), stdout);
    std::fflush(stdout);
    m_Profiler.reset();
    return false;
}

} // namespace brevonne

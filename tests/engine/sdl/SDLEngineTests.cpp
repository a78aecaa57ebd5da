#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdlib>
#include <string>

#include "engine/EngineFactory.h"
#include "engine/core/EngineGlobals.h"
#include "engine/sdl/SDLPlatform.h"
#include "engine/sdl/cSDLEngine.h"
#include "engine/sdl/cSDLInput.h"
#include "video/IRenderer.h"

using namespace velmora;

namespace {

class SDLEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        desc.rendererId = kRendererOpenGL;
        desc.depthFlags = kDepth24 | kWithStencil;
        desc.fullscreen = 0;
        PrepareGLWindowAttributes(desc);
    }
    void TearDown() override {
        if (IEngine* engine = GetEngine()) {
            engine->Release();
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_Window* MakeWindow(int w = 64, int h = 48) {
        return SDL_CreateWindow("test", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    }
    sRendererDesc desc;
};

} // namespace

TEST_F(SDLEngineTest, AttachesOnceAndPublishesTheProcessWidePointers) {
    SDL_Window* window = MakeWindow();
    ASSERT_NE(window, nullptr) << SDL_GetError();
    testing::internal::CaptureStdout();
    IEngine* engine = CreateEngine(window, desc);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_NE(engine, nullptr) << log;
    EXPECT_EQ(GetEngine(), engine);
    EXPECT_EQ(GetInput(), engine->GetInput());
    EXPECT_NE(log.find("SDL engine created\n"), std::string::npos);
    EXPECT_NE(log.find("Attaching to window...succeeded\n"), std::string::npos);
    EXPECT_EQ(engine->GetViewWidth(), 64);
    EXPECT_EQ(engine->GetViewHeight(), 48);
    EXPECT_NE(engine->GetRenderer(), nullptr);
    EXPECT_TRUE(engine->IsFullscreen() == false);

    SDL_Window* second = MakeWindow();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(static_cast<cSDLEngine*>(engine)->AttachToWindow(desc, second));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "cSDLEngine::AttachToWindow : engine has already been attached\n");
    SDL_DestroyWindow(second);

    // A frame through the minimal renderer.
    engine->Update();
    engine->GetRenderer()->BeginFrame(cColor(10, 20, 30, 255));
    engine->GetRenderer()->EndFrame();
    EXPECT_GE(engine->GetFrameTime(), 0.0f);

    engine->Release();
    EXPECT_EQ(GetEngine(), nullptr);
    EXPECT_EQ(GetInput(), nullptr);
}

TEST_F(SDLEngineTest, RefusesBadWindowsAndRenderers) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(CreateEngine(nullptr, desc), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("cSDLEngine::AttachToWindow : invalid window handle\n"),
              std::string::npos);
    EXPECT_EQ(GetEngine(), nullptr);

    SDL_Window* window = MakeWindow();
    sRendererDesc bad = desc;
    bad.rendererId = 7;
    testing::internal::CaptureStdout();
    EXPECT_EQ(CreateEngine(window, bad), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("cSDLEngine::AttachToWindow : invalid renderer id( 7 )\n"),
              std::string::npos);

    bad.rendererId = kRendererDirect3D9;
    testing::internal::CaptureStdout();
    EXPECT_EQ(CreateEngine(window, bad), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStdout().find(
                  "cSDLEngine::CreateRenderer : Direct3D9 renderer isn't supported in this build\n"),
              std::string::npos);
    EXPECT_EQ(GetEngine(), nullptr);
}

TEST_F(SDLEngineTest, EngineOwnedWindowAndItsMessages) {
    IEngine* engine = CreateEngine();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(engine->CreateWindow(kRendererOpenGL, 0, 10, false, -1, 32));
    EXPECT_FALSE(engine->CreateWindow(9, 10, 10, false, -1, 32));
    engine->SetWindowCaption("no window");
    engine->DestroyWindow();
    EXPECT_FALSE(engine->Restart(1, 1, 1, false, 0));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("Creating window 0x10x32@60Hz( windowed )... "
                       "cSDLEngine::CreateWindow : invalid width or height( width = 0, height = 10 )\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("cSDLEngine::CreateWindow : invalid renderer id( 9 )\n"), std::string::npos);
    EXPECT_NE(log.find("cSDLEngine::SetWindowCaption : failed to set window caption, invalid window handle\n"),
              std::string::npos);
    EXPECT_NE(log.find("Destroying window... cSDLEngine::DestroyWindow : failed to destroy window, invalid window "
                       "handle\n"),
              std::string::npos);
    EXPECT_NE(log.find("cSDLEngine::Restart : not implemented yet\n"), std::string::npos);

    ASSERT_TRUE(engine->CreateWindow(kRendererOpenGL, 80, 60, false, -1, 32));
    engine->SetWindowCaption("Brevonne");
    EXPECT_EQ(engine->GetWindowCaption(), "Brevonne");
    EXPECT_EQ(engine->GetViewWidth(), 80);
    // Run leaves on the frame callback's false.
    int frames = 0;
    engine->SetFrameCallback(tFrameCallback([&frames]() { return ++frames < 3; }));
    engine->Run();
    EXPECT_EQ(frames, 3);
    engine->DestroyWindow();
    EXPECT_EQ(engine->GetRenderer(), nullptr);
}

TEST(SDLTimerTest, MillisecondCounterWrapIsSafe) {
    EXPECT_FLOAT_EQ(cSDLEngine::ElapsedMilliseconds32(0xFFFFFFF0u, 0x10u), 32.0f);
    EXPECT_FLOAT_EQ(cSDLEngine::ElapsedMilliseconds32(100u, 250u), 150.0f);
}

TEST(SDLInputTest, ScancodesMapToEngineCodes) {
    EXPECT_EQ(cSDLInput::ScancodeToKeyCode(SDL_SCANCODE_A), kKeyA);
    EXPECT_EQ(cSDLInput::ScancodeToKeyCode(SDL_SCANCODE_RSHIFT), kKeyShift);
    EXPECT_EQ(cSDLInput::ScancodeToKeyCode(SDL_SCANCODE_F12), kKeyF1 + 11);
    EXPECT_EQ(cSDLInput::ScancodeToKeyCode(SDL_SCANCODE_RGUI), kKeyNone);
    EXPECT_EQ(cSDLInput::ScancodeToKeyCode(SDL_SCANCODE_KP_PERIOD), kKeyDecimal);
}

#include <gtest/gtest.h>

#include <set>

#include "engine/KeyCodes.h"
#include "engine/core/ILog.h"
#include "engine/filesystem/IFile.h"
#include "engine/cCommonEngine.h"
#include "engine/cCommonInput.h"

using namespace velmora;

namespace {

// An engine without a platform: time is set by the test.
class cFakeEngine : public cCommonEngine {
public:
    float now = 0.0f;
    int gammaApplied = 0;
    int gammaRestored = 0;
    unsigned short lastRamp[256] = {};

    bool CreateWindow(const sRendererDesc&, int, int, bool, int, int) override { return false; }
    using cCommonEngine::CreateWindow;
    void DestroyWindow() override {}
    bool Restart(int, int, int, bool, int) override { return false; }
    void Run() override {}
    int ProcessMessages() override { return 0; }
    sWindowRect GetClientRect() override { return {}; }
    bool IsRendererSupported(int id) const override { return id == 1; }
    float GetTime() override { return now; }
    void SetWindowCaption(const std::string&) override {}
    cVector2 GetWindowPosition() override { return cVector2(0.0f, 0.0f); }
    sWindowRect GetWindowRect() override { return {}; }
    void ShowCursor(bool) override {}

protected:
    bool ApplyGammaRamp(const unsigned short* red, const unsigned short*, const unsigned short*) override {
        ++gammaApplied;
        std::copy(red, red + 256, lastRamp);
        return true;
    }
    void RestoreGammaRamp() override { ++gammaRestored; }
    void RefreshClientSize() override {}
    void CaptureInput() override {}
};

} // namespace

TEST(EngineTest, FrameTimeAndTheSevenHundredFiftyMillisecondFpsRule) {
    cFakeEngine engine;
    // The first frame covers everything since creation.
    engine.now = 400.0f;
    engine.Update();
    EXPECT_FLOAT_EQ(engine.GetFrameTime(), 0.4f);
    EXPECT_FLOAT_EQ(engine.GetFPS(), 0.0f);

    engine.now = 500.0f;
    engine.Update();
    EXPECT_FLOAT_EQ(engine.GetFrameTime(), 0.1f);
    EXPECT_FLOAT_EQ(engine.GetFPS(), 0.0f); // 500 ms since the last refresh: not yet

    engine.now = 760.0f;
    engine.Update();
    // Refreshed from the last frame alone (260 ms), not averaged.
    EXPECT_NEAR(engine.GetFPS(), 1000.0f / 260.0f, 1e-3f);

    engine.now = 780.0f;
    engine.Update();
    EXPECT_NEAR(engine.GetFPS(), 1000.0f / 260.0f, 1e-3f); // held until 750 ms more have passed
    EXPECT_NEAR(engine.GetFrameTime(), 0.02f, 1e-6f);

    engine.now = 1510.0f;
    engine.Update();
    EXPECT_NEAR(engine.GetFPS(), 1000.0f / 730.0f, 1e-3f);
}

TEST(EngineTest, RandomNumbersStayInTheirRanges) {
    cFakeEngine engine;
    engine.SeedRandom(1234);
    EXPECT_EQ(engine.RandomInt(3, 3), 3);
    EXPECT_FLOAT_EQ(engine.RandomFloat(2.5f, 2.5f), 2.5f);
    std::set<int> seen;
    for (int i = 0; i < 5000; ++i) {
        const int v = engine.RandomInt(0, 5);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 5);
        seen.insert(v);
        const float f = engine.RandomFloat(-1.0f, 1.0f);
        ASSERT_GE(f, -1.0f);
        // rand() may exceed 32767 on this C library; the formula then leaves
        // the range, which is what the engine has always done.
    }
    EXPECT_EQ(seen.size(), 5u);
    // Extreme spans neither overflow nor trap.
    const int wide = engine.RandomInt(-2147483647, 2147483647);
    EXPECT_GE(wide, -2147483647);
    cVector2 v;
    engine.RandomVector2(v, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(v.x, 1.0f);
    EXPECT_FLOAT_EQ(v.y, 1.0f);
}

TEST(EngineTest, GammaRampFormulaAndRestore) {
    unsigned short ramp[256];
    cCommonEngine::BuildGammaRamp(0.0f, ramp);
    EXPECT_EQ(ramp[1], 255); // 128 + trunc(127.5)
    cCommonEngine::BuildGammaRamp(-0.25f, ramp);
    EXPECT_EQ(ramp[1], 223);
    EXPECT_EQ(ramp[255], 255 * 223);
    cCommonEngine::BuildGammaRamp(0.25f, ramp);
    EXPECT_EQ(ramp[1], 287);
    EXPECT_EQ(ramp[228], 65436);
    EXPECT_EQ(ramp[229], 65535); // clamped
    EXPECT_EQ(ramp[255], 65535);

    cFakeEngine engine;
    engine.SetGamma(0.25f, 3.0f);
    EXPECT_EQ(engine.gammaApplied, 1);
    EXPECT_EQ(engine.lastRamp[1], 287);
    EXPECT_FLOAT_EQ(engine.GetGamma(), 0.25f);
    EXPECT_FLOAT_EQ(engine.GetGamma2(), 3.0f);
    engine.SetGamma(0.0f, 1.0f);
    EXPECT_EQ(engine.gammaRestored, 1);
    EXPECT_EQ(engine.gammaApplied, 1);
}

TEST(EngineTest, OpenLogReturnsASeparateLogEvenWhenOpeningFails) {
    cFakeEngine engine;
    ILog* log = engine.OpenLog("/nonexistent-folder/x/y.html");
    ASSERT_NE(log, nullptr);
    EXPECT_FALSE(log->IsOpen());
    log->Release();
}

namespace {

class cFakeInput : public cCommonInput {
public:
    bool down[kKeyCount] = {};
    bool IsKeyDown(int code) const override { return code >= 0 && code < kKeyCount && down[code]; }
    void SetMousePosition(int x, int y) override { m_Mouse = cVector2(float(x), float(y)); }
    using cCommonInput::SetMousePosition;
    void Capture(int, int) override {}
};

} // namespace

TEST(InputTest, PressedOnceWhileHeldAndLastKeyResets) {
    cFakeInput input;
    input.down[kKeyA] = true;
    EXPECT_TRUE(input.WasKeyPressed(kKeyA));
    EXPECT_FALSE(input.WasKeyPressed(kKeyA));
    EXPECT_TRUE(input.IsKeyDown(kKeyA));
    input.down[kKeyA] = false;
    EXPECT_FALSE(input.WasKeyPressed(kKeyA));
    input.down[kKeyA] = true;
    EXPECT_TRUE(input.WasKeyPressed(kKeyA));
    EXPECT_FALSE(input.WasKeyPressed(-1));
    EXPECT_FALSE(input.WasKeyPressed(kKeyNone));

    input.SetLastKey(kKeyEscape);
    EXPECT_EQ(input.GetLastKey(), kKeyEscape);
    EXPECT_EQ(input.GetLastKey(), kKeyNone);
}

TEST(InputTest, ActionsRunInNameOrderOncePerPressOrWhileHeld) {
    cFakeInput input;
    std::string order;
    EXPECT_TRUE(input.AddAction("b-held", kKeySpace, tActionCallback([&] { order += "b"; }), true));
    EXPECT_TRUE(input.AddAction("a-press", kKeySpace, tActionCallback([&] { order += "a"; }), false));
    EXPECT_FALSE(input.AddAction("a-press", kKeyEnter, tActionCallback([&] { order += "x"; }), false));
    input.down[kKeySpace] = true;
    input.ProcessActions();
    input.ProcessActions();
    EXPECT_EQ(order, "abb");
    EXPECT_TRUE(input.SetActionCallback("a-press", tActionCallback([&] { order += "A"; })));
    EXPECT_FALSE(input.SetActionCallback("missing", tActionCallback([&] {})));
    input.down[kKeySpace] = false;
    input.ProcessActions();
    input.down[kKeySpace] = true;
    input.ProcessActions();
    EXPECT_EQ(order, "abbAb");
    EXPECT_EQ(input.RemoveAction("b-held"), 1);
    EXPECT_EQ(input.RemoveAction("b-held"), 0);
}

TEST(InputTest, AnActionMayRemoveItselfWhileRunning) {
    cFakeInput input;
    int runs = 0;
    input.AddAction("self", kKeyEnter, tActionCallback([&] { ++runs; input.RemoveAction("self"); }), true);
    input.AddAction("zz", kKeyEnter, tActionCallback([&] { ++runs; }), true);
    input.down[kKeyEnter] = true;
    input.ProcessActions();
    input.ProcessActions();
    EXPECT_EQ(runs, 3);
}

TEST(InputTest, VirtualKeyTablesAgree) {
    for (int code = 0; code < kKeyCount; ++code) {
        EXPECT_EQ(VirtualKeyToKeyCode(KeyCodeToVirtualKey(code)), code);
    }
    EXPECT_EQ(KeyCodeToVirtualKey(kKeyA), 65);
    EXPECT_EQ(KeyCodeToVirtualKey(kKeyF1 + 11), 123);
    EXPECT_EQ(VirtualKeyToKeyCode(92), kKeyNone); // right Windows key
    EXPECT_EQ(VirtualKeyToKeyCode(1), kKeyLeftButton);
}

TEST(EngineTest, FilesAndConfigsThroughTheEngine) {
    cFakeEngine engine;
    char data[] = "abcdef";
    IFile* file = engine.OpenFile(data, 6);
    ASSERT_NE(file, nullptr);
    char out[8] = {};
    EXPECT_EQ(file->Read(out, 1, 8), 6);
    EXPECT_STREQ(out, "abcdef");
    file->Release();

    testing::internal::CaptureStdout();
    EXPECT_EQ(engine.OpenFile("/nonexistent-folder/file.bin", "rb"), nullptr);
    EXPECT_EQ(engine.OpenConfig(nullptr), nullptr);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("Opening config '"), std::string::npos);
    EXPECT_NE(log.find("invalid file name\n"), std::string::npos);
}

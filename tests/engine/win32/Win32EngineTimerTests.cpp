// The Windows engine's timer: milliseconds since the engine was made, from
// the performance counter, never going back and keeping pace with the
// system's own tick count.

#include <gtest/gtest.h>

#include "engine/EngineFactory.h"
#include "engine/IEngine.h"

// Last: <windows.h> defines macros that clash with the engine's names.
#include "engine/win32/Win32Api.h"

namespace velmora {
namespace {

TEST(Win32EngineTimer, CountsMillisecondsFromCreationAtTheSystemsPace) {
    IEngine* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    const ULONGLONG ticksAtStart = GetTickCount64();
    const float start = engine->GetTime();
    EXPECT_GE(start, 0.0f);
    EXPECT_LT(start, 5000.0f); // counted from the engine's creation, not from the system's start

    float previous = start;
    for (int i = 0; i < 10000; ++i) {
        const float now = engine->GetTime();
        ASSERT_GE(now, previous);
        previous = now;
    }

    // Sleep never returns early by more than the tick's granularity; a slow machine only makes both
    // clocks advance further, by the same amount.
    Sleep(100);
    const float end = engine->GetTime();
    const double ticks = static_cast<double>(GetTickCount64() - ticksAtStart);
    EXPECT_GE(end - start, 80.0f);
    EXPECT_NEAR(end - start, ticks, 40.0);
    engine->Release();
}

} // namespace
} // namespace velmora

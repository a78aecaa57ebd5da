#include <gtest/gtest.h>

#include <vector>

#include "engine/core/cFramePacer.h"

using velmora::cFramePacer;

namespace {

// A clock that only moves when the pacer sleeps or the test says so.
struct sFakeTime {
    double now = 100.0;
    std::vector<double> sleeps;
    cFramePacer MakePacer() {
        return cFramePacer([this] { return now; },
                           [this](double s) {
                               sleeps.push_back(s);
                               now += s;
                           });
    }
    double Slept() const {
        double total = 0.0;
        for (double s : sleeps) total += s;
        return total;
    }
};

} // namespace

TEST(FramePacer, CapSleepsTheRestOfThePeriodInShortSlices) {
    sFakeTime time;
    cFramePacer pacer = time.MakePacer();
    pacer.SetFrameRateLimit(10.0);
    pacer.Wait();  // the first frame sets the rhythm
    time.now += 0.02;  // a 20 ms frame
    time.sleeps.clear();
    pacer.Wait();
    EXPECT_NEAR(time.Slept(), 0.08, 1e-9);
    for (double s : time.sleeps) EXPECT_LE(s, cFramePacer::kSleepSlice + 1e-12);
    EXPECT_NEAR(pacer.GetSleptSeconds(), 0.08, 1e-9);
    // Frame starts stay on the 100 ms grid: 110 frames take 11 s of fake time, not more.
    for (int i = 0; i < 110; ++i) {
        time.now += 0.03;
        pacer.Wait();
    }
    EXPECT_NEAR(time.now, 111.1, 1e-6);
}

TEST(FramePacer, SlowFramesAreNotMadeUpWithABurst) {
    sFakeTime time;
    cFramePacer pacer = time.MakePacer();
    pacer.SetFrameRateLimit(10.0);
    pacer.Wait();
    time.now += 1.0;  // a long stall (a stopped process)
    pacer.Wait();
    time.sleeps.clear();
    // The next fast frames are paced again at once instead of running free to catch up.
    time.now += 0.01;
    pacer.Wait();
    EXPECT_NEAR(time.Slept(), 0.09, 1e-9);
}

TEST(FramePacer, DelayAndNoCap) {
    sFakeTime time;
    cFramePacer pacer = time.MakePacer();
    pacer.Wait();
    EXPECT_TRUE(time.sleeps.empty());  // no cap, no delay: never sleeps
    pacer.SetDelay(0.12);
    pacer.Wait();
    EXPECT_NEAR(time.Slept(), 0.12, 1e-9);
    pacer.SetDelay(-1.0);
    EXPECT_EQ(pacer.GetDelay(), 0.0);
    pacer.SetFrameRateLimit(0.0);
    EXPECT_EQ(pacer.GetPeriod(), 0.0);
}

TEST(FramePacer, StopRequestEndsTheWaitAtOnce) {
    sFakeTime time;
    bool stop = false;
    int slices = 0;
    cFramePacer counting([&] { return time.now; },
                         [&](double s) {
                             time.now += s;
                             if (++slices == 3) stop = true;
                         });
    counting.SetStopCheck([&] { return stop; });
    counting.SetDelay(10.0);
    counting.Wait();
    EXPECT_EQ(slices, 3);
    EXPECT_LE(time.now - 100.0, 3 * cFramePacer::kSleepSlice + 1e-9);
}

TEST(FramePacer, RealClockSleepsRoughlyTheCap) {
    // The default clock and sleep: two capped frames at 50 per second take at least one period.
    cFramePacer pacer;
    pacer.SetFrameRateLimit(50.0);
    pacer.Wait();
    pacer.Wait();
    EXPECT_GE(pacer.GetSleptSeconds(), 0.015);
}

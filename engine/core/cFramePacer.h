#pragma once
// Paces a frame loop by sleeping, never by spinning: a cap on the frame rate
// (frames start at most once per period, without catching up after a slow
// frame) and a fixed pause after every frame. Sleeps are cut into short
// slices so that a stop request ends them quickly.

#include <functional>

namespace velmora {

class cFramePacer {
public:
    // Seconds on a steady clock.
    using tClock = std::function<double()>;
    // Sleeps about the given seconds.
    using tSleep = std::function<void(double seconds)>;
    // True once the loop is to end: the wait returns at once.
    using tStopCheck = std::function<bool()>;

    // The longest single sleep, so that a stop request is seen within it.
    static constexpr double kSleepSlice = 0.05;

    // Paces with the steady clock and the thread's sleep.
    cFramePacer();
    cFramePacer(tClock clock, tSleep sleep);

    // Frames start at most this many times per second; 0 or less removes the cap.
    void SetFrameRateLimit(double framesPerSecond);
    // Seconds slept after every frame on top of the cap; 0 or less: none.
    void SetDelay(double seconds);
    // The check consulted between sleep slices.
    void SetStopCheck(tStopCheck check) { m_StopCheck = std::move(check); }

    // Called once per frame, after it was presented: sleeps the delay, then until the cap allows the
    // next frame.
    void Wait();

    // Seconds spent sleeping so far.
    double GetSleptSeconds() const { return m_Slept; }
    double GetPeriod() const { return m_Period; }
    double GetDelay() const { return m_Delay; }

private:
    // Sleeps until the clock reads `until`, in slices; false when a stop request cut it short.
    bool SleepUntil(double until);

    tClock m_Clock;
    tSleep m_Sleep;
    tStopCheck m_StopCheck;
    double m_Period = 0.0;
    double m_Delay = 0.0;
    double m_Next = 0.0;
    bool m_Started = false;
    double m_Slept = 0.0;
};

} // namespace velmora

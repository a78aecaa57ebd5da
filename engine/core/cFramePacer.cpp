#include "engine/core/cFramePacer.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace velmora {

cFramePacer::cFramePacer()
    : cFramePacer(
          [] {
              return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
          },
          [](double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }) {}

cFramePacer::cFramePacer(tClock clock, tSleep sleep) : m_Clock(std::move(clock)), m_Sleep(std::move(sleep)) {}

void cFramePacer::SetFrameRateLimit(double framesPerSecond) {
    m_Period = framesPerSecond > 0.0 ? 1.0 / framesPerSecond : 0.0;
    m_Started = false;
}

void cFramePacer::SetDelay(double seconds) { m_Delay = seconds > 0.0 ? seconds : 0.0; }

bool cFramePacer::SleepUntil(double until) {
    for (;;) {
        if (m_StopCheck && m_StopCheck()) {
            return false;
        }
        const double now = m_Clock();
        if (now >= until) {
            return true;
        }
        m_Sleep(std::min(until - now, kSleepSlice));
        m_Slept += std::max(m_Clock() - now, 0.0);
    }
}

void cFramePacer::Wait() {
    if (m_Delay > 0.0 && !SleepUntil(m_Clock() + m_Delay)) {
        return;
    }
    if (m_Period <= 0.0) {
        return;
    }
    const double now = m_Clock();
    if (!m_Started) {
        // The next frame starts now; the period runs from its start.
        m_Started = true;
        m_Next = now;
        return;
    }
    m_Next += m_Period;
    if (m_Next > now) {
        SleepUntil(m_Next);
    } else if (now - m_Next > m_Period) {
        // A slow frame is not made up for with a burst of fast ones.
        m_Next = now;
    }
}

} // namespace velmora

#include "app/cBenchmark.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace brevonne {

void cBenchmark::AddFrame(double seconds, std::uint32_t drawCalls, std::uint64_t triangles) {
    m_Seconds.push_back(seconds);
    m_DrawCalls += drawCalls;
    m_Triangles += triangles;
}

double cBenchmark::Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(fraction * static_cast<double>(values.size()));
    const std::size_t index = rank < 1.0 ? 0 : static_cast<std::size_t>(rank) - 1;
    return values[std::min(index, values.size() - 1)];
}

cBenchmark::sSummary cBenchmark::Summarize() const {
    sSummary summary;
    summary.frames = GetFrameCount();
    summary.startupSeconds = m_StartupSeconds;
    summary.peakMemoryBytes = m_PeakMemoryBytes;
    if (m_Seconds.empty()) return summary;
    const double frames = static_cast<double>(m_Seconds.size());
    summary.medianMs = Percentile(m_Seconds, 0.5) * 1000.0;
    summary.p95Ms = Percentile(m_Seconds, 0.95) * 1000.0;
    summary.meanMs = std::accumulate(m_Seconds.begin(), m_Seconds.end(), 0.0) / frames * 1000.0;
    summary.drawCallsPerFrame = static_cast<double>(m_DrawCalls) / frames;
    summary.trianglesPerFrame = static_cast<double>(m_Triangles) / frames;
    return summary;
}

std::string cBenchmark::Format(const sSummary& s, const std::string& title) {
    char text[1024];
    char startup[64];
    if (s.startupSeconds >= 0.0) {
        std::snprintf(startup, sizeof(startup), "%.3f s", s.startupSeconds);
    } else {
        std::snprintf(startup, sizeof(startup), "unknown");
    }
    std::snprintf(text, sizeof(text),
                  "%s\n"
                  "start-up (process start to first flight frame): %s\n"
                  "frame time: median %.2f ms, 95th percentile %.2f ms, mean %.2f ms over %d frames\n"
                  "frames per second: %.1f at the median, %.1f on average\n"
                  "per frame: %.0f triangles, %.1f draw calls\n"
                  "peak memory: %.1f MB\n",
                  title.c_str(), startup, s.medianMs, s.p95Ms, s.meanMs, s.frames,
                  s.medianMs > 0.0 ? 1000.0 / s.medianMs : 0.0, s.meanMs > 0.0 ? 1000.0 / s.meanMs : 0.0,
                  s.trianglesPerFrame, s.drawCallsPerFrame, static_cast<double>(s.peakMemoryBytes) / (1024.0 * 1024.0));
    return text;
}

std::string cBenchmark::FormatPacing(int cap, double wallSeconds, double cpuSeconds, double frameCpuSeconds,
                                     int frames) {
    char text[512];
    if (wallSeconds <= 0.0 || frames <= 0) {
        std::snprintf(text, sizeof(text), "pacing: cap %d frames per second, too few frames to measure\n", cap);
        return text;
    }
    const double waitCpu = cpuSeconds > frameCpuSeconds ? cpuSeconds - frameCpuSeconds : 0.0;
    std::snprintf(text, sizeof(text),
                  "pacing: cap %d frames per second, %.1f frames per second flown, frame time %.1f ms\n"
                  "processor time: %.1f %% of a core per second of wall time (%.2f ms per frame in the frame), "
                  "waiting %.2f %% of a core\n",
                  cap, frames / wallSeconds, wallSeconds * 1000.0 / frames, cpuSeconds * 100.0 / wallSeconds,
                  frameCpuSeconds * 1000.0 / frames, waitCpu * 100.0 / wallSeconds);
    return text;
}

} // namespace brevonne

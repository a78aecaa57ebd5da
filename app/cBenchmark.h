#pragma once
// The figures of a benchmark run: frame times, what the renderer drew per
// frame, start-up time and peak memory, summed up and printed at the end.

#include <cstdint>
#include <string>
#include <vector>

namespace brevonne {

class cBenchmark {
public:
    struct sSummary {
        int frames = 0;
        double startupSeconds = -1.0;  // process start to the first flight frame; negative when unknown
        double medianMs = 0.0;
        double p95Ms = 0.0;
        double meanMs = 0.0;
        double drawCallsPerFrame = 0.0;
        double trianglesPerFrame = 0.0;
        std::uint64_t peakMemoryBytes = 0;
    };

    // One flight frame: its duration and what it drew.
    void AddFrame(double seconds, std::uint32_t drawCalls, std::uint64_t triangles);
    void SetStartupTime(double seconds) { m_StartupSeconds = seconds; }
    void SetPeakMemory(std::uint64_t bytes) { m_PeakMemoryBytes = bytes; }
    int GetFrameCount() const { return static_cast<int>(m_Seconds.size()); }

    sSummary Summarize() const;
    // The printed report; `title` names the run (view size, frames, step, seed).
    static std::string Format(const sSummary& summary, const std::string& title);

    // What a frame-rate cap cost: `frames` frames of a run capped at `cap` frames per second took
    // `wallSeconds`, the process used `cpuSeconds` of processor time meanwhile, `frameCpuSeconds` of
    // it inside the frames; the rest was spent waiting between them.
    static std::string FormatPacing(int cap, double wallSeconds, double cpuSeconds, double frameCpuSeconds,
                                    int frames);

    // The nearest-rank percentile (fraction 0..1) of the values; 0 for none.
    static double Percentile(std::vector<double> values, double fraction);

private:
    std::vector<double> m_Seconds;
    std::uint64_t m_DrawCalls = 0;
    std::uint64_t m_Triangles = 0;
    double m_StartupSeconds = -1.0;
    std::uint64_t m_PeakMemoryBytes = 0;
};

} // namespace brevonne

#pragma once
// Where a frame's time goes: named sections of drawing timed on the wall
// clock. A device works behind the program's back, so the profiler waits for
// it when a section opens (work given before lands outside the section) and
// when it closes (the section's own work lands inside). Profiled frames lose
// the overlap between program and device and run slower than plain ones.
//
// Drawing code marks its sections with cProfileSection; that costs one
// pointer test while no profiler is installed.

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class cFrameProfiler {
public:
    using tClock = std::chrono::steady_clock;
    // Blocks until the device has carried out every command given so far.
    using tWaitForDevice = std::function<void()>;
    // The device's running totals, read at section boundaries.
    struct sCounters {
        long long drawCalls = 0;
        long long triangles = 0;
    };
    using tReadCounters = std::function<sCounters()>;

    struct sSection {
        std::string name;      // "terrain", or "water/reflection" for a section inside "water"
        int depth = 0;         // 0 for a top-level section
        double seconds = 0.0;  // summed over every frame
        long long count = 0;   // times the section was entered
        sCounters device;      // draw calls and triangles given inside, summed over every frame
        std::vector<std::pair<std::string, long long>> counts; // Count()ed values, summed
    };

    explicit cFrameProfiler(tWaitForDevice wait, tReadCounters counters = tReadCounters())
        : m_Wait(std::move(wait)), m_Counters(std::move(counters)) {}

    // Opens a section inside the open one (if any).
    void Begin(const char* name);
    // Closes the innermost open section; ignored when none is open.
    void End();
    // Adds `value` to the innermost open section's counter `name` (ignored when none is open).
    void Count(const char* name, long long value);
    // Counts a frame (the report divides by the frames).
    void EndFrame() { ++m_Frames; }

    int GetFrameCount() const { return m_Frames; }
    // Sections in the order they were first entered; nested ones follow their parent.
    const std::vector<sSection>& GetSections() const { return m_Sections; }
    // A table: per section the milliseconds, draw calls and triangles per frame, the share of
    // `frameMs` and the counters per frame.
    std::string Format(double frameMs) const;

private:
    struct sOpen {
        std::size_t section;
        tClock::time_point start;
        sCounters device;
    };
    sCounters ReadCounters() const { return m_Counters ? m_Counters() : sCounters(); }
    std::size_t FindOrAdd(const std::string& name, int depth);

    tWaitForDevice m_Wait;
    tReadCounters m_Counters;
    std::vector<sSection> m_Sections;
    std::vector<sOpen> m_Open;
    int m_Frames = 0;
};

// The installed profiler (none by default).
cFrameProfiler* GetFrameProfiler();
void SetFrameProfiler(cFrameProfiler* profiler);

// Times the enclosing scope as a section of the installed profiler.
class cProfileSection {
public:
    explicit cProfileSection(const char* name) : m_Profiler(GetFrameProfiler()) {
        if (m_Profiler) m_Profiler->Begin(name);
    }
    ~cProfileSection() {
        if (m_Profiler) m_Profiler->End();
    }
    cProfileSection(const cProfileSection&) = delete;
    cProfileSection& operator=(const cProfileSection&) = delete;

private:
    cFrameProfiler* m_Profiler;
};

} // namespace velmora

#include "engine/core/cFrameProfiler.h"

#include <cstdio>

namespace velmora {

namespace {
cFrameProfiler* g_FrameProfiler = nullptr;
}

cFrameProfiler* GetFrameProfiler() { return g_FrameProfiler; }
void SetFrameProfiler(cFrameProfiler* profiler) { g_FrameProfiler = profiler; }

std::size_t cFrameProfiler::FindOrAdd(const std::string& name, int depth) {
    for (std::size_t i = 0; i < m_Sections.size(); ++i) {
        if (m_Sections[i].name == name) return i;
    }
    // A new nested section goes after the last section below its parent, so the table reads as a tree.
    std::size_t at = m_Sections.size();
    if (!m_Open.empty()) {
        at = m_Open.back().section + 1;
        while (at < m_Sections.size() && m_Sections[at].depth >= depth) ++at;
    }
    sSection section;
    section.name = name;
    section.depth = depth;
    m_Sections.insert(m_Sections.begin() + static_cast<std::ptrdiff_t>(at), section);
    // Open sections behind the insertion point moved one place on.
    for (sOpen& open : m_Open) {
        if (open.section >= at) ++open.section;
    }
    return at;
}

void cFrameProfiler::Begin(const char* name) {
    const std::string parent = m_Open.empty() ? std::string() : m_Sections[m_Open.back().section].name + "/";
    const std::size_t index = FindOrAdd(parent + (name ? name : "?"), static_cast<int>(m_Open.size()));
    if (m_Wait) m_Wait();
    m_Open.push_back({index, tClock::now(), ReadCounters()});
}

void cFrameProfiler::Count(const char* name, long long value) {
    if (m_Open.empty() || !name) return;
    auto& counts = m_Sections[m_Open.back().section].counts;
    for (auto& count : counts) {
        if (count.first == name) {
            count.second += value;
            return;
        }
    }
    counts.emplace_back(name, value);
}

void cFrameProfiler::End() {
    if (m_Open.empty()) return;
    if (m_Wait) m_Wait();
    const sOpen open = m_Open.back();
    m_Open.pop_back();
    sSection& section = m_Sections[open.section];
    section.seconds += std::chrono::duration<double>(tClock::now() - open.start).count();
    ++section.count;
    const sCounters now = ReadCounters();
    section.device.drawCalls += now.drawCalls - open.device.drawCalls;
    section.device.triangles += now.triangles - open.device.triangles;
}

std::string cFrameProfiler::Format(double frameMs) const {
    std::string text;
    char line[256];
    const double frames = m_Frames > 0 ? static_cast<double>(m_Frames) : 1.0;
    for (const sSection& section : m_Sections) {
        const double ms = section.seconds * 1000.0 / frames;
        const std::size_t slash = section.name.rfind('/');
        const std::string leaf = slash == std::string::npos ? section.name : section.name.substr(slash + 1);
        std::snprintf(line, sizeof(line), "  %*s%-*s %8.2f ms %5.1f %% %7.1f draw calls %9.0f triangles",
                      section.depth * 2, "", 26 - section.depth * 2, leaf.c_str(), ms,
                      frameMs > 0.0 ? 100.0 * ms / frameMs : 0.0, static_cast<double>(section.device.drawCalls) / frames,
                      static_cast<double>(section.device.triangles) / frames);
        text += line;
        for (const auto& count : section.counts) {
            std::snprintf(line, sizeof(line), ", %.1f %s", static_cast<double>(count.second) / frames,
                          count.first.c_str());
            text += line;
        }
        text += "\n";
    }
    return text;
}

} // namespace velmora

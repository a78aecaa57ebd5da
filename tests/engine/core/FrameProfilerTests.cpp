#include <gtest/gtest.h>

#include <string>

#include "engine/core/cFrameProfiler.h"

using namespace velmora;

namespace {

struct sFakeDevice {
    int waits = 0;
    cFrameProfiler::sCounters totals;
};

cFrameProfiler MakeProfiler(sFakeDevice& device) {
    return cFrameProfiler([&device] { ++device.waits; }, [&device] { return device.totals; });
}

void Draw(sFakeDevice& device, int calls, int triangles) {
    device.totals.drawCalls += calls;
    device.totals.triangles += triangles;
}

} // namespace

TEST(FrameProfiler, NestedSectionsFormATreeInFirstEntryOrder) {
    sFakeDevice device;
    cFrameProfiler profiler = MakeProfiler(device);
    SetFrameProfiler(&profiler);
    for (int frame = 0; frame < 2; ++frame) {
        cProfileSection scene("scene");
        { cProfileSection terrain("terrain"); Draw(device, 4, 100); }
        {
            cProfileSection water("water");
            { cProfileSection reflection("reflection"); { cProfileSection terrain("terrain"); Draw(device, 2, 10); } }
            Draw(device, 1, 2);
        }
        // A section first met in the second frame still goes under its parent, before "water".
        if (frame == 1) { cProfileSection sky("sky"); Draw(device, 1, 1); }
        profiler.EndFrame();
    }
    SetFrameProfiler(nullptr);

    const auto& sections = profiler.GetSections();
    ASSERT_EQ(sections.size(), 6u);
    const char* names[] = {"scene", "scene/terrain", "scene/water", "scene/water/reflection",
                           "scene/water/reflection/terrain", "scene/sky"};
    const int depths[] = {0, 1, 1, 2, 3, 1};
    for (std::size_t i = 0; i < sections.size(); ++i) {
        EXPECT_EQ(sections[i].name, names[i]);
        EXPECT_EQ(sections[i].depth, depths[i]);
    }
    EXPECT_EQ(sections[0].count, 2);
    EXPECT_EQ(sections[5].count, 1);
    // Device work counted where it was given, and in every enclosing section.
    EXPECT_EQ(sections[0].device.drawCalls, 2 * 7 + 1);
    EXPECT_EQ(sections[1].device.triangles, 200);
    EXPECT_EQ(sections[2].device.drawCalls, 6);
    EXPECT_EQ(sections[4].device.triangles, 20);
    // The device is waited on when every section opens and closes.
    EXPECT_EQ(device.waits, 2 * (2 * 5) + 2);
}

TEST(FrameProfiler, CountsGoToTheInnermostOpenSectionAndTheTableDividesByFrames) {
    sFakeDevice device;
    cFrameProfiler profiler = MakeProfiler(device);
    profiler.Count("lost", 5); // nothing open
    profiler.End();            // nothing to close
    for (int frame = 0; frame < 4; ++frame) {
        profiler.Begin("vegetation");
        profiler.Count("mesh instances", 10 + frame);
        profiler.Count("impostors", 100);
        Draw(device, 8, 800);
        profiler.End();
        profiler.EndFrame();
    }
    EXPECT_EQ(profiler.GetFrameCount(), 4);
    const auto& counts = profiler.GetSections().at(0).counts;
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0].second, 10 + 11 + 12 + 13);

    const std::string table = profiler.Format(0.0);
    EXPECT_NE(table.find("vegetation"), std::string::npos) << table;
    EXPECT_NE(table.find("8.0 draw calls"), std::string::npos) << table;
    EXPECT_NE(table.find("800 triangles"), std::string::npos) << table;
    EXPECT_NE(table.find("11.5 mesh instances"), std::string::npos) << table;
    EXPECT_NE(table.find("100.0 impostors"), std::string::npos) << table;
    EXPECT_EQ(table.find("lost"), std::string::npos) << table;
}

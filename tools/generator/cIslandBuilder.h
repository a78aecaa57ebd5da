#pragma once
// Makes the whole data tree of the island from a seed: terrain, vegetation,
// sky, sea, lens flare, loading screen, fonts, GUI skin, sounds and the scene
// description, below root + "data/". The same seed gives the same bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/generator/cSceneFile.h"

namespace brevonne {

struct sBuildOptions {
    std::uint32_t seed = 1;
    std::string root;         // the folder that receives "data/"
    std::string previewDir;   // PNG previews go here when not empty
    std::string copyFrom;     // a hand-written data folder (shader sources) copied into the tree when not empty
    bool verbose = true;
};

struct sBuildReport {
    std::vector<std::string> files;  // written, relative to root
    std::size_t instanceCount = 0;
    std::vector<std::string> pathFaults; // clearance faults found by the final check (should be empty)
};

// The fixed scene-wide values that the files and the tests share.
struct sIslandConstants {
    static constexpr float kWaterLevel = 25.0f;
    static constexpr int kHeightSize = 256;
    static constexpr int kColorSize = 512;
    static constexpr int kLightSize = 1024;
};

// The sun: the direction towards it.
sVec3 SunDirection();



bool BuildIsland(const sBuildOptions& options, sBuildReport& report, std::string& error);

} // namespace brevonne

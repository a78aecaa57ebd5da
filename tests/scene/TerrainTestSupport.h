#pragma once
// A ".terrain" file written field by field for the terrain tests: small
// heights, colour, layer and light maps, five layer records, kind names that
// repeat and instances pointing at them.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/cMatrix.h"

namespace velmora::scene::test {

// A one-triangle vegetation mesh (box (0, 0, 0)-(2, 3, 0)).
inline const char* kTerrainTestMesh =
    "node \"n\" { material \"leaf.tga\" vertices 3 { 0 0 0 2 0 0 0 3 0 } faces 1 { 0 1 2 } }\n";

// What a file holds, written field by field.
struct sTerrainFile {
    int size = 32;
    std::vector<float> heights;
    int colorSize = 4;
    std::vector<std::uint8_t> colors;
    std::string layerNames[5] = {"grass.jpg", "", "rock.dds", "", "sand.jpg"};
    float scales[5][2] = {{48, 48}, {64, 64}, {32, 16}, {40, 40}, {56, 56}};
    std::vector<std::uint8_t> layerMap;
    int lightSize = 2;
    std::vector<std::uint8_t> light;
    std::vector<std::string> kinds = {"a.mesh", "b.mesh", "a.mesh"};
    std::vector<int> instanceKinds = {2, 2, 1, 2};

    sTerrainFile() {
        for (int k = 0; k < size * size; ++k) heights.push_back(static_cast<float>(k % 37) * 0.5f);
        for (int k = 0; k < colorSize * colorSize * 3; ++k) colors.push_back(static_cast<std::uint8_t>(k * 7));
        for (int k = 0; k < colorSize * colorSize * 4; ++k) layerMap.push_back(static_cast<std::uint8_t>(255 - k));
        for (int k = 0; k < lightSize * lightSize * 3; ++k) light.push_back(static_cast<std::uint8_t>(100 + k));
    }

    std::string Bytes() const {
        std::string out;
        auto raw = [&](const void* p, std::size_t n) { out.append(static_cast<const char*>(p), n); };
        auto i32 = [&](std::int32_t v) { raw(&v, 4); };
        auto str = [&](const std::string& s) {
            i32(static_cast<std::int32_t>(s.size()));
            out += s;
        };
        i32(size);
        raw(heights.data(), heights.size() * 4);
        i32(colorSize);
        raw(colors.data(), colors.size());
        for (int i = 0; i < 5; ++i) {
            str(layerNames[i]);
            raw(scales[i], 8);
        }
        raw(layerMap.data(), layerMap.size());
        i32(lightSize);
        raw(light.data(), light.size());
        i32(static_cast<std::int32_t>(kinds.size()));
        for (const std::string& kind : kinds) str(kind);
        for (std::size_t k = 0; k < instanceKinds.size(); ++k) {
            i32(instanceKinds[k]);
            cMatrix m = cMatrix::Translation(10.0f + k, 5.0f, 20.0f);
            raw(m.m, 64);
            const std::uint8_t color[4] = {255, static_cast<std::uint8_t>(200 + k), 10, 255};
            raw(color, 4);
        }
        return out;
    }
};

} // namespace velmora::scene::test

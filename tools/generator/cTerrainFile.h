#pragma once
// The ".terrain" file: a plain little-endian concatenation of the height field,
// colour map, five layer records, layer map, light map, vegetation kind names
// and vegetation instances up to the end of the file. This writer and its
// reader stand in for the scene serializer's until that exists; they produce
// and accept exactly the same bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace brevonne {

struct sTerrainLayer {
    std::string texture; // file name, may be empty
    float scaleU = 80.0f, scaleV = 80.0f;
};

struct sTerrainInstance {
    std::int32_t kind = 0;             // index into the kind names
    std::array<float, 16> matrix{};    // row-major, translation in elements 12..14
    std::array<std::uint8_t, 4> color{{255, 255, 255, 255}};
};

struct sTerrainData {
    std::int32_t size = 0;                 // S: samples per side
    std::vector<float> heights;            // S * S, sample (x, z) at z * S + x
    std::int32_t colorSize = 0;            // M
    std::vector<std::uint8_t> colorMap;    // M * M * 3
    std::array<sTerrainLayer, 5> layers;
    std::vector<std::uint8_t> layerMap;    // M * M * 4
    std::int32_t lightSize = 0;            // K, 0 for none
    std::vector<std::uint8_t> lightMap;    // K * K * 3
    std::vector<std::string> kindNames;    // mesh file names
    std::vector<sTerrainInstance> instances;
};

// The file's bytes. Throws std::invalid_argument when the buffers do not match their sizes.
std::vector<std::uint8_t> WriteTerrain(const sTerrainData& data);
// Parses a whole file; false (with a reason) when a field is cut off, a size is impossible, an instance
// names a kind that does not exist, or bytes are left over.
bool ReadTerrain(const std::vector<std::uint8_t>& bytes, sTerrainData& out, std::string& error);

} // namespace brevonne

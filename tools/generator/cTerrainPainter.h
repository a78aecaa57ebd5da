#pragma once
// Paints the terrain's maps from the height field: the layer (blend) map that
// mixes the five tiling layers, the colour map that carries the ground's
// colours, and the light map with soft sun shadows and ambient occlusion.
//
// The terrain shader computes colour map + layers - 0.5, times the light map,
// so the colour map holds the real colours and the layer textures are detail
// around middle grey: both pipelines then show the same colours (the
// fixed-function one adds only the base layer).

#include <cstdint>
#include <vector>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cImage.h"

namespace brevonne {

// The five layers in file order; the layer map's channels weight layers 1..4 as the terrain shader reads
// them (blue, green, red, alpha), layer 0 takes the rest.
enum eLayer { LAYER_GRASS = 0, LAYER_SAND = 1, LAYER_ROCK = 2, LAYER_JUNGLE = 3, LAYER_WET = 4, LAYER_COUNT = 5 };

// A soft shadow cast by a plant on the ground: a disc in the ground plane, or with `lobes` > 0 a
// crown of that many leaves around a solid heart, turned by `phase` (radians); a trunk adds a
// band from (trunkX, trunkZ) to the centre when trunkWidth > 0.
struct sGroundShadow {
    float x, z, radius, strength;
    int lobes = 0;
    float phase = 0.0f;
    float trunkX = 0.0f, trunkZ = 0.0f, trunkWidth = 0.0f;
};

class cTerrainPainter {
public:
    cTerrainPainter(const cHeightField& field, const sVec3& sunDirection, std::uint32_t seed);

    // Layer weights (summing to 1) at world (x, z).
    void LayerWeights(float x, float z, float out[LAYER_COUNT]) const;
    // Ambient occlusion (0 closed in .. 1 open sky) at world (x, z), from the precomputed map.
    float Occlusion(float x, float z) const;

    // M x M colour map (RGB used).
    cImage PaintColorMap(int size) const;
    // M x M layer map, RGBA bytes in the terrain shader's channel order, rows from z = 0.
    std::vector<std::uint8_t> PaintLayerMap(int size) const;
    // K x K light map: sun with soft ray-marched shadows (and the plants' shadows), sky light with occlusion.
    cImage PaintLightMap(int size, const std::vector<sGroundShadow>& shadows) const;
    // Sun visibility 0..1 at a point (soft shadow over the height field).
    float SunVisibility(float x, float y, float z) const;

private:
    void ComputeOcclusion(int size);
    const cHeightField& m_Field;
    sVec3 m_Sun;
    std::uint32_t m_Seed;
    int m_AOSize = 0;
    std::vector<float> m_AO;
};

} // namespace brevonne

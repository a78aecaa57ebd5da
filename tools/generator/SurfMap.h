#pragma once
// The surf around the island: how strong the waves break and how deep their
// foam reaches along each stretch of coast (gentle in the lagoon, strong on
// the reef crest, below the cliffs and on the open beaches), the foam picture
// the engine draws the surf with, and the places where the surf is loudest.

#include <cstdint>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cImage.h"

namespace brevonne {

// How deep (world units) the foam reaches for a green value of 1 in the surf map.
constexpr float kSurfReachScale = 4.0f;

struct sSurfPoint {
    float strength = 0.0f, reach = 0.0f;
};

// The surf at world (x, z).
sSurfPoint SurfAt(const cHeightField& field, float x, float z);
// One pixel per height sample (pixel (x, z) = sample (x, z)): red the strength, green the reach / kSurfReachScale.
cImage PaintSurfMap(const cHeightField& field);
// A tiling foam picture: white, with lacy foam in alpha.
cImage PaintFoam(int size, std::uint32_t seed);
// The shore point (at the water level) with the strongest surf on the beach side (cliffs false) or below the
// cliffs (cliffs true): where the foam meets the land, not out on the reef.
sVec3 StrongestSurf(const cHeightField& field, bool cliffs);

} // namespace brevonne

#pragma once
// Seamless tiling pictures for the terrain layers and the sea, and the small
// pictures of the lens flare, loading screen and GUI skin.

#include <cstdint>

#include "tools/generator/cImage.h"

namespace brevonne {

enum class eGround { Sand, Grass, Jungle, Rock, WetSand };

// A tiling layer texture: detail around middle grey (the colour map carries the colour), with a faint tint.
cImage PaintGroundLayer(eGround kind, int size, std::uint32_t seed);
// The fixed-function sea: bright tiling ripples, modulated by the water colour.
cImage PaintWaterSurface(int size, std::uint32_t seed);
// The distortion map: tiling wave slopes in red and green around 128.
cImage PaintWaterDistortion(int size, std::uint32_t seed);
// Lens flare sprite i (0 the sun's glow, then rings and discs), RGBA for additive blending.
cImage PaintFlare(int index, int size);
// One progress-bar cell, lit or empty.
cImage PaintProgressCell(int size, bool lit);

} // namespace brevonne

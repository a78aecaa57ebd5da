#pragma once
// Pictures for the plants and rocks: alpha-tested leaves (palm fronds, broad
// bush leaves, fern fronds, grass blades) and opaque bark, coconut and rock.
// Leaf pictures keep the leaf colour in their transparent texels so that
// filtering never pulls a dark fringe into the edges.

#include <cstdint>

#include "tools/generator/cImage.h"

namespace brevonne {

// A feather-like leaf: a midrib along v with leaflets on both sides (palm frond or fern).
cImage PaintFeatherLeaf(int width, int height, std::uint32_t seed, bool fern);
cImage PaintBroadLeaves(int size, std::uint32_t seed);
cImage PaintGrassBlades(int size, std::uint32_t seed);
cImage PaintBark(int width, int height, std::uint32_t seed);
cImage PaintCoconut(int size, std::uint32_t seed);
cImage PaintBoulder(int size, std::uint32_t seed);

} // namespace brevonne

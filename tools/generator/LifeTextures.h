#pragma once
// Pictures for the island's small creatures: butterfly wings (u across the
// span from the left tip to the right tip, v from the head to the tail, as the
// butterflies lay them) and a gull seen from above (the same layout over the
// bird's span and length). Outside the outline alpha is 0 and the colour is
// the nearest wing colour, so that filtering leaves no dark fringe.

#include "tools/generator/cImage.h"

namespace brevonne {

enum eButterflyKind { BUTTERFLY_BLUE, BUTTERFLY_ORANGE };

cImage PaintButterfly(int size, eButterflyKind kind);
// width across the span, height along the body.
cImage PaintGull(int width, int height);

} // namespace brevonne

#pragma once
// Where on the screen a flat polygon lands: the rectangle, in normalised device
// coordinates (-1..1 on both axes, y up), that bounds a convex polygon seen
// through a view-projection matrix (row vectors, as the renderer composes
// them). The polygon is clipped in homogeneous space to the four sides of the
// view and to the space in front of the eye first, so corners far behind the
// camera or beyond the sides (the sea's quad is far larger than any view) do
// not throw the rectangle off. The water passes draw their targets only there.
// Nothing here allocates.

#include "engine/core/cMatrix.h"
#include "engine/core/cVector3.h"

namespace velmora::scene {

struct sScreenBounds {
    float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
};

// The most corners ProjectedBounds takes.
constexpr int kMaxBoundsCorners = 8;

// Bounds of the convex polygon `corners` (count 3..kMaxBoundsCorners, in order around it) under
// `viewProjection`. Returns false when none of it is in view, or the count is out of range.
bool ProjectedBounds(const cVector3* corners, int count, const cMatrix& viewProjection, sScreenBounds& bounds);

// A pixel rectangle of a target `width` x `height`, origin at its top-left as the renderer's scissor takes it,
// covering `bounds` grown by `margin` (in normalised device units) on every side, clamped to the target.
struct sPixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};
sPixelRect ToPixelRect(const sScreenBounds& bounds, float margin, int width, int height);

} // namespace velmora::scene

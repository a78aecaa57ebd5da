#pragma once
// Axis-aligned box: minimum corner then maximum corner (six floats, min x, y,
// z then max x, y, z). Point tests are inclusive: a point on a face is inside.
//
// A default box is empty (min above max); extending an empty box by a point
// gives the box of that point alone.

#include "engine/core/cMatrix.h"
#include "engine/core/cVector3.h"

namespace velmora {

class cBox {
public:
    cVector3 min;
    cVector3 max;

    // The empty box.
    cBox();
    // Given corners as they are (see IsEmpty when min exceeds max).
    constexpr cBox(const cVector3& minimum, const cVector3& maximum) : min(minimum), max(maximum) {}
    constexpr cBox(float x1, float y1, float z1, float x2, float y2, float z2) : min(x1, y1, z1), max(x2, y2, z2) {}
    // The box of two arbitrary corners (ordered per axis).
    static cBox FromCorners(const cVector3& p, const cVector3& q);
    // The box around a centre with half extents (absolute values used).
    static cBox FromCenter(const cVector3& center, const cVector3& halfExtents);

    // True when min exceeds max on some axis (including the default box).
    bool IsEmpty() const;
    // Back to the empty box.
    void Reset();

    // Grow to include a point or another box; an empty box adds nothing.
    void Extend(const cVector3& p);
    void Extend(const cBox& o);

    // (min + max) / 2, max - min and (max - min) / 2. Meaningless for an empty box.
    cVector3 GetCenter() const { return (min + max) * 0.5f; }
    cVector3 GetSize() const { return max - min; }
    cVector3 GetHalfExtents() const { return (max - min) * 0.5f; }

    // Corner i in 0..7: bit 0 selects max x, bit 1 max y, bit 2 max z
    // (corner 0 is min, corner 7 is max). i is taken modulo 8.
    cVector3 GetCorner(int i) const;
    void GetCorners(cVector3 out[8]) const;

    // Inclusive point test: min <= p <= max on every axis.
    bool Contains(const cVector3& p) const;
    // o lies completely inside (inclusive); false for an empty o.
    bool Contains(const cBox& o) const;
    // The boxes overlap or touch; false when either is empty.
    bool Intersects(const cBox& o) const;
    // Ray origin + t * direction for t >= 0. On a hit returns true and, when
    // tHit is given, the entry parameter (0 when the origin is inside).
    // A zero direction hits only when the origin is inside.
    bool IntersectRay(const cVector3& origin, const cVector3& direction, float* tHit = nullptr) const;

    // The axis-aligned box around this box's eight corners after the affine
    // transform m (p * m; column 3 ignored). An empty box stays empty.
    cBox Transformed(const cMatrix& m) const;

    bool operator==(const cBox& o) const { return min == o.min && max == o.max; }
    bool operator!=(const cBox& o) const { return !(*this == o); }
};

} // namespace velmora

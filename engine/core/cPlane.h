#pragma once
// Plane a x + b y + c z + d = 0. The inside (positive side) is where
// a x + b y + c z + d > 0; (a, b, c) is the normal pointing inside.

#include "engine/core/cMatrix.h"
#include "engine/core/cVector3.h"

namespace velmora {

class cPlane {
public:
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;

    constexpr cPlane() = default;
    constexpr cPlane(float pa, float pb, float pc, float pd) : a(pa), b(pb), c(pc), d(pd) {}
    // Normal (used as given, not normalised) and offset.
    constexpr cPlane(const cVector3& normal, float pd) : a(normal.x), b(normal.y), c(normal.z), d(pd) {}

    // Through `point` with the inside towards `normal` (normal used as given).
    static cPlane FromPointNormal(const cVector3& point, const cVector3& normal);
    // Through three points, normalised, with the inside on the side from
    // which p0, p1, p2 appear counter-clockwise: normal = (p1 - p0) x (p2 - p0).
    // Collinear or coincident points give the zero plane (0, 0, 0, 0).
    static cPlane FromPoints(const cVector3& p0, const cVector3& p1, const cVector3& p2);

    constexpr cVector3 GetNormal() const { return cVector3(a, b, c); }

    // Divides all four values by |(a, b, c)| and returns that length; a plane
    // without a normal is left unchanged and 0 returned.
    float Normalize();
    cPlane Normalized() const { cPlane p(*this); p.Normalize(); return p; }

    // a x + b y + c z + d: positive inside, 0 on the plane; the true distance
    // when the plane is normalised.
    constexpr float Distance(const cVector3& p) const { return a * p.x + b * p.y + c * p.z + d; }
    // a x + b y + c z (the normal's part only), for directions.
    constexpr float DotNormal(const cVector3& v) const { return a * v.x + b * v.y + c * v.z; }

    // The plane moved along with the points that `m` transforms (p' = p * m):
    // every point on the plane maps onto the result and the inside stays
    // inside. Returns false and writes *this unchanged when m is singular.
    // The result is not normalised.
    bool Transform(const cMatrix& m, cPlane& out) const;
    // The plane as a row vector times `m` with no inversion: pass the
    // transpose of the inverse of a point matrix (the renderer's clip-plane
    // conversion to clip space does exactly that with world x view x projection).
    cPlane TransformByInverseTranspose(const cMatrix& inverseTranspose) const;

    bool Equals(const cPlane& o, float tolerance = kEpsilon) const;
    constexpr bool operator==(const cPlane& o) const { return a == o.a && b == o.b && c == o.c && d == o.d; }
    constexpr bool operator!=(const cPlane& o) const { return !(*this == o); }
};

} // namespace velmora

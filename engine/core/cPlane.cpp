#include "engine/core/cPlane.h"

#include <cmath>

namespace velmora {

cPlane cPlane::FromPointNormal(const cVector3& point, const cVector3& normal) {
    return cPlane(normal, -Dot(normal, point));
}

cPlane cPlane::FromPoints(const cVector3& p0, const cVector3& p1, const cVector3& p2) {
    cVector3 n = Cross(p1 - p0, p2 - p0);
    const float len = n.Length();
    // Degenerate triangles: the cross product vanishes relative to its edges.
    const float scale = (p1 - p0).Length() * (p2 - p0).Length();
    if (!(len > 1e-7f * scale) || !std::isfinite(len)) return cPlane();
    n /= len;
    return FromPointNormal(p0, n);
}

float cPlane::Normalize() {
    const float len = GetNormal().Length();
    if (!(len > 0.0f) || !std::isfinite(len)) return 0.0f;
    a /= len; b /= len; c /= len; d /= len;
    return len;
}

bool cPlane::Transform(const cMatrix& m, cPlane& out) const {
    cMatrix inverse;
    if (!m.Invert(inverse)) {
        out = *this;
        return false;
    }
    out = TransformByInverseTranspose(inverse.Transposed());
    return true;
}

cPlane cPlane::TransformByInverseTranspose(const cMatrix& inverseTranspose) const {
    const cVector4 r = cVector4(a, b, c, d) * inverseTranspose;
    return cPlane(r.x, r.y, r.z, r.w);
}

bool cPlane::Equals(const cPlane& o, float tolerance) const {
    return std::fabs(a - o.a) <= tolerance && std::fabs(b - o.b) <= tolerance && std::fabs(c - o.c) <= tolerance &&
           std::fabs(d - o.d) <= tolerance;
}

} // namespace velmora

#include "engine/core/cBox.h"

#include <cfloat>
#include <cmath>

namespace velmora {

cBox::cBox() : min(FLT_MAX, FLT_MAX, FLT_MAX), max(-FLT_MAX, -FLT_MAX, -FLT_MAX) {}

cBox cBox::FromCorners(const cVector3& p, const cVector3& q) { return cBox(cVector3::Min(p, q), cVector3::Max(p, q)); }

cBox cBox::FromCenter(const cVector3& center, const cVector3& halfExtents) {
    const cVector3 h(std::fabs(halfExtents.x), std::fabs(halfExtents.y), std::fabs(halfExtents.z));
    return cBox(center - h, center + h);
}

bool cBox::IsEmpty() const { return !(min.x <= max.x && min.y <= max.y && min.z <= max.z); }

void cBox::Reset() { *this = cBox(); }

void cBox::Extend(const cVector3& p) {
    if (IsEmpty()) {
        min = p;
        max = p;
        return;
    }
    min = cVector3::Min(min, p);
    max = cVector3::Max(max, p);
}

void cBox::Extend(const cBox& o) {
    if (o.IsEmpty()) return;
    if (IsEmpty()) {
        *this = o;
        return;
    }
    min = cVector3::Min(min, o.min);
    max = cVector3::Max(max, o.max);
}

cVector3 cBox::GetCorner(int i) const {
    return cVector3((i & 1) ? max.x : min.x, (i & 2) ? max.y : min.y, (i & 4) ? max.z : min.z);
}

void cBox::GetCorners(cVector3 out[8]) const {
    for (int i = 0; i < 8; ++i) out[i] = GetCorner(i);
}

bool cBox::Contains(const cVector3& p) const {
    return p.x >= min.x && p.x <= max.x && p.y >= min.y && p.y <= max.y && p.z >= min.z && p.z <= max.z;
}

bool cBox::Contains(const cBox& o) const { return !o.IsEmpty() && Contains(o.min) && Contains(o.max); }

bool cBox::Intersects(const cBox& o) const {
    if (IsEmpty() || o.IsEmpty()) return false;
    return min.x <= o.max.x && max.x >= o.min.x && min.y <= o.max.y && max.y >= o.min.y && min.z <= o.max.z &&
           max.z >= o.min.z;
}

bool cBox::IntersectRay(const cVector3& origin, const cVector3& direction, float* tHit) const {
    if (IsEmpty()) return false;
    float tEnter = 0.0f;
    float tExit = FLT_MAX;
    for (int axis = 0; axis < 3; ++axis) {
        const float o = origin[axis], dir = direction[axis], lo = min[axis], hi = max[axis];
        if (dir == 0.0f) {
            // Parallel to this slab: inside it or never.
            if (o < lo || o > hi) return false;
            continue;
        }
        float t1 = (lo - o) / dir;
        float t2 = (hi - o) / dir;
        if (t1 > t2) {
            const float t = t1;
            t1 = t2;
            t2 = t;
        }
        if (t1 > tEnter) tEnter = t1;
        if (t2 < tExit) tExit = t2;
        if (!(tEnter <= tExit)) return false;
    }
    if (tHit) *tHit = tEnter;
    return true;
}

cBox cBox::Transformed(const cMatrix& m) const {
    if (IsEmpty()) return cBox();
    // Each output axis gathers the smaller and larger product per input axis.
    cVector3 lo = m.GetTranslation(), hi = lo;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const float e = m(row, col);
            const float a = e * min[row], b = e * max[row];
            lo[col] += a < b ? a : b;
            hi[col] += a < b ? b : a;
        }
    }
    return cBox(lo, hi);
}

} // namespace velmora

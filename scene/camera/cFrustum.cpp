#include "scene/camera/cFrustum.h"

namespace velmora::scene {

namespace {

float Distance(const cPlane& p, float x, float y, float z) { return p.a * x + p.b * y + p.c * z + p.d; }

cPlane PlaneOf(const cVector4& v) {
    cPlane p;
    p.a = v.x;
    p.b = v.y;
    p.c = v.z;
    p.d = v.w;
    // A degenerate matrix leaves a zero plane rather than dividing by zero.
    p.Normalize();
    return p;
}

} // namespace

void cFrustum::Build(const cMatrix& m) {
    const cVector4 c0 = m.GetColumn(0);
    const cVector4 c1 = m.GetColumn(1);
    const cVector4 c2 = m.GetColumn(2);
    const cVector4 c3 = m.GetColumn(3);
    m_Planes[kRight] = PlaneOf(c3 - c0);
    m_Planes[kLeft] = PlaneOf(c3 + c0);
    m_Planes[kBottom] = PlaneOf(c3 + c1);
    m_Planes[kTop] = PlaneOf(c3 - c1);
    m_Planes[kFar] = PlaneOf(c3 - c2);
    m_Planes[kNear] = PlaneOf(c3 + c2);
}

const cPlane& cFrustum::GetPlane(int index) const {
    if (index < 0) index = 0;
    if (index >= kPlaneCount) index = kPlaneCount - 1;
    return m_Planes[index];
}

bool cFrustum::ContainsPoint(const cVector3& point) const {
    for (const cPlane& p : m_Planes) {
        if (Distance(p, point.x, point.y, point.z) <= 0.0f) {
            return false;
        }
    }
    return true;
}

bool cFrustum::ContainsSphere(const float* sphere) const {
    return ContainsSphere(cVector3(sphere[0], sphere[1], sphere[2]), sphere[3]);
}

bool cFrustum::ContainsSphere(const cVector3& center, float radius) const {
    for (const cPlane& p : m_Planes) {
        if (Distance(p, center.x, center.y, center.z) <= -radius) {
            return false;
        }
    }
    return true;
}

bool cFrustum::ContainsBox(const cVector3& min, const cVector3& max) const {
    for (const cPlane& p : m_Planes) {
        // The corner farthest along the normal, then the opposite one.
        const float fx = p.a >= 0.0f ? max.x : min.x;
        const float fy = p.b >= 0.0f ? max.y : min.y;
        const float fz = p.c >= 0.0f ? max.z : min.z;
        if (Distance(p, fx, fy, fz) < 0.0f) {
            return false;
        }
        const float nx = p.a >= 0.0f ? min.x : max.x;
        const float ny = p.b >= 0.0f ? min.y : max.y;
        const float nz = p.c >= 0.0f ? min.z : max.z;
        if (Distance(p, nx, ny, nz) < 0.0f) {
            return true; // straddles this plane
        }
    }
    return true;
}

bool cFrustum::ContainsBox(const cVector3& min, const cVector3& max, const cMatrix& matrix) const {
    const cVector3 center = (min + max) * 0.5f;
    const cVector3 half = (max - min) * 0.5f;
    const cVector3 placed = matrix.TransformPoint(center);
    const cVector3 ax(matrix.m[0] * half.x, matrix.m[1] * half.x, matrix.m[2] * half.x);
    const cVector3 ay(matrix.m[4] * half.y, matrix.m[5] * half.y, matrix.m[6] * half.y);
    const cVector3 az(matrix.m[8] * half.z, matrix.m[9] * half.z, matrix.m[10] * half.z);
    cVector3 corners[8];
    for (int i = 0; i < 8; ++i) {
        corners[i] = placed + ((i & 1) ? ax : -ax) + ((i & 2) ? ay : -ay) + ((i & 4) ? az : -az);
    }
    for (const cPlane& p : m_Planes) {
        bool anyInside = false;
        for (const cVector3& c : corners) {
            if (Distance(p, c.x, c.y, c.z) > 0.0f) {
                anyInside = true;
                break;
            }
        }
        if (!anyInside) {
            return false;
        }
    }
    return true;
}

} // namespace velmora::scene

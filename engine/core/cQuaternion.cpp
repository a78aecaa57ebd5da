#include "engine/core/cQuaternion.h"

#include <cmath>

namespace velmora {

cQuaternion cQuaternion::FromAxisAngle(const cVector3& axis, float degrees) {
    const cVector3 n = axis.Normalized();
    if (n.LengthSquared() == 0.0f) return cQuaternion();
    const double h = DegToRad(static_cast<double>(degrees)) * 0.5;
    const float s = static_cast<float>(std::sin(h));
    return cQuaternion(n.x * s, n.y * s, n.z * s, static_cast<float>(std::cos(h)));
}

cQuaternion cQuaternion::FromMatrix(const cMatrix& source) {
    // Normalise the three axis rows so that scale does not leak into the result.
    double r[3][3];
    for (int row = 0; row < 3; ++row) {
        const double ex = source(row, 0), ey = source(row, 1), ez = source(row, 2);
        const double len = std::sqrt(ex * ex + ey * ey + ez * ez);
        if (!(len > 0.0) || !std::isfinite(len)) return cQuaternion();
        r[row][0] = ex / len;
        r[row][1] = ey / len;
        r[row][2] = ez / len;
    }
    // r is the transpose of the column-vector rotation matrix R: R[i][j] = r[j][i].
    const double trace = r[0][0] + r[1][1] + r[2][2];
    double qx, qy, qz, qw;
    if (trace > 0.0) {
        const double s = std::sqrt(trace + 1.0) * 2.0;
        qw = 0.25 * s;
        qx = (r[1][2] - r[2][1]) / s;
        qy = (r[2][0] - r[0][2]) / s;
        qz = (r[0][1] - r[1][0]) / s;
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]) * 2.0;
        qw = (r[1][2] - r[2][1]) / s;
        qx = 0.25 * s;
        qy = (r[1][0] + r[0][1]) / s;
        qz = (r[2][0] + r[0][2]) / s;
    } else if (r[1][1] > r[2][2]) {
        const double s = std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]) * 2.0;
        qw = (r[2][0] - r[0][2]) / s;
        qx = (r[1][0] + r[0][1]) / s;
        qy = 0.25 * s;
        qz = (r[2][1] + r[1][2]) / s;
    } else {
        const double s = std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]) * 2.0;
        qw = (r[0][1] - r[1][0]) / s;
        qx = (r[2][0] + r[0][2]) / s;
        qy = (r[2][1] + r[1][2]) / s;
        qz = 0.25 * s;
    }
    cQuaternion q(static_cast<float>(qx), static_cast<float>(qy), static_cast<float>(qz), static_cast<float>(qw));
    q.Normalize();
    return q;
}

cMatrix cQuaternion::ToMatrix() const {
    const cQuaternion q = Normalized();
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    return cMatrix(1 - 2 * (yy + zz), 2 * (xy + wz), 2 * (xz - wy), 0.0f,
                   2 * (xy - wz), 1 - 2 * (xx + zz), 2 * (yz + wx), 0.0f,
                   2 * (xz + wy), 2 * (yz - wx), 1 - 2 * (xx + yy), 0.0f,
                   0.0f, 0.0f, 0.0f, 1.0f);
}

cQuaternion cQuaternion::operator*(const cQuaternion& o) const {
    return cQuaternion(w * o.x + x * o.w + y * o.z - z * o.y,
                       w * o.y - x * o.z + y * o.w + z * o.x,
                       w * o.z + x * o.y - y * o.x + z * o.w,
                       w * o.w - x * o.x - y * o.y - z * o.z);
}

cQuaternion cQuaternion::Inverse() const {
    const float n = Dot(*this, *this);
    if (!(n > 0.0f)) return cQuaternion(0.0f, 0.0f, 0.0f, 0.0f);
    const cQuaternion c = Conjugate();
    return cQuaternion(c.x / n, c.y / n, c.z / n, c.w / n);
}

float cQuaternion::Length() const { return std::sqrt(Dot(*this, *this)); }

float cQuaternion::Normalize() {
    const float len = Length();
    if (!(len > 0.0f) || !std::isfinite(len)) {
        *this = cQuaternion();
        return 0.0f;
    }
    x /= len; y /= len; z /= len; w /= len;
    return len;
}

cVector3 cQuaternion::Rotate(const cVector3& v) const {
    const cQuaternion q = Normalized();
    const cQuaternion r = q * cQuaternion(v.x, v.y, v.z, 0.0f) * q.Conjugate();
    return cVector3(r.x, r.y, r.z);
}

bool cQuaternion::Equals(const cQuaternion& o, float tolerance) const {
    return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance && std::fabs(z - o.z) <= tolerance &&
           std::fabs(w - o.w) <= tolerance;
}

bool cQuaternion::SameRotation(const cQuaternion& o, float tolerance) const {
    return Equals(o, tolerance) || Equals(-o, tolerance);
}

cQuaternion Slerp(const cQuaternion& a, const cQuaternion& b, float t) {
    const cQuaternion qa = a.Normalized();
    cQuaternion qb = b.Normalized();
    double cosTheta = Dot(qa, qb);
    if (cosTheta < 0.0) {
        qb = -qb;
        cosTheta = -cosTheta;
    }
    double wa, wb;
    if (cosTheta > 0.9995) {
        wa = 1.0 - t;
        wb = t;
    } else {
        const double theta = std::acos(cosTheta);
        const double sinTheta = std::sin(theta);
        wa = std::sin((1.0 - t) * theta) / sinTheta;
        wb = std::sin(t * theta) / sinTheta;
    }
    cQuaternion r(static_cast<float>(wa * qa.x + wb * qb.x), static_cast<float>(wa * qa.y + wb * qb.y),
                  static_cast<float>(wa * qa.z + wb * qb.z), static_cast<float>(wa * qa.w + wb * qb.w));
    r.Normalize();
    return r;
}

} // namespace velmora

#include "engine/core/cMatrix.h"

#include "engine/core/cPlane.h"

#include <cmath>
#include <cstring>

namespace velmora {

namespace {

// The rows of a singular matrix are linearly dependent; measured against the
// product of the row lengths (the largest determinant rows of those lengths
// can have), its determinant is zero up to float rounding of the inputs.
constexpr double kSingularRatio = 1e-9;

bool IsFinite(double v) { return std::isfinite(v); }

} // namespace

cMatrix::cMatrix() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

cMatrix::cMatrix(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7,
                 float m8, float m9, float m10, float m11, float m12, float m13, float m14, float m15)
    : m{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15} {}

cMatrix::cMatrix(const float* elements) : cMatrix() {
    if (elements) std::memcpy(m, elements, sizeof(m));
}

cMatrix cMatrix::Identity() { return cMatrix(); }

cMatrix cMatrix::Translation(float x, float y, float z) {
    cMatrix r;
    r.m[12] = x; r.m[13] = y; r.m[14] = z;
    return r;
}

cMatrix cMatrix::Translation(const cVector3& t) { return Translation(t.x, t.y, t.z); }

cMatrix cMatrix::Scaling(float x, float y, float z) {
    cMatrix r;
    r.m[0] = x; r.m[5] = y; r.m[10] = z;
    return r;
}

cMatrix cMatrix::Scaling(const cVector3& s) { return Scaling(s.x, s.y, s.z); }
cMatrix cMatrix::Scaling(float s) { return Scaling(s, s, s); }

cMatrix cMatrix::RotationX(float degrees) {
    const double a = DegToRad(static_cast<double>(degrees));
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    cMatrix r;
    r.m[5] = c;  r.m[6] = s;
    r.m[9] = -s; r.m[10] = c;
    return r;
}

cMatrix cMatrix::RotationY(float degrees) {
    const double a = DegToRad(static_cast<double>(degrees));
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    cMatrix r;
    r.m[0] = c; r.m[2] = -s;
    r.m[8] = s; r.m[10] = c;
    return r;
}

cMatrix cMatrix::RotationZ(float degrees) {
    const double a = DegToRad(static_cast<double>(degrees));
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
    cMatrix r;
    r.m[0] = c;  r.m[1] = s;
    r.m[4] = -s; r.m[5] = c;
    return r;
}

cMatrix cMatrix::RotationAxis(const cVector3& axis, float degrees) {
    const double len = std::sqrt(static_cast<double>(axis.x) * axis.x + static_cast<double>(axis.y) * axis.y +
                                 static_cast<double>(axis.z) * axis.z);
    if (!(len > 0.0) || !IsFinite(len)) return cMatrix();
    const double x = axis.x / len, y = axis.y / len, z = axis.z / len;
    const double a = DegToRad(static_cast<double>(degrees));
    const double c = std::cos(a), s = std::sin(a), t = 1.0 - c;
    // The transpose of the column-vector rotation c*I + t*a*a^T + s*[a]x.
    cMatrix r;
    r.m[0] = static_cast<float>(c + t * x * x);
    r.m[1] = static_cast<float>(t * x * y + s * z);
    r.m[2] = static_cast<float>(t * x * z - s * y);
    r.m[4] = static_cast<float>(t * x * y - s * z);
    r.m[5] = static_cast<float>(c + t * y * y);
    r.m[6] = static_cast<float>(t * y * z + s * x);
    r.m[8] = static_cast<float>(t * x * z + s * y);
    r.m[9] = static_cast<float>(t * y * z - s * x);
    r.m[10] = static_cast<float>(c + t * z * z);
    return r;
}

cMatrix cMatrix::LookAt(const cVector3& eye, const cVector3& at, const cVector3& up) {
    // View-space axes in world coordinates: z points back from the target to the eye.
    cVector3 zAxis = eye - at;
    if (zAxis.Normalize() == 0.0f) zAxis = cVector3(0.0f, 0.0f, 1.0f);
    cVector3 xAxis = Cross(up, zAxis);
    if (!(xAxis.Normalize() > 1e-6f * up.Length())) {
        // No usable up: take the world axis least aligned with the view.
        const float ax = std::fabs(zAxis.x), ay = std::fabs(zAxis.y), az = std::fabs(zAxis.z);
        cVector3 alt(0.0f, 1.0f, 0.0f);
        if (ax <= ay && ax <= az) alt = cVector3(1.0f, 0.0f, 0.0f);
        else if (az < ay) alt = cVector3(0.0f, 0.0f, 1.0f);
        xAxis = Cross(alt, zAxis);
        xAxis.Normalize();
    }
    const cVector3 yAxis = Cross(zAxis, xAxis);
    return cMatrix(xAxis.x, yAxis.x, zAxis.x, 0.0f,
                   xAxis.y, yAxis.y, zAxis.y, 0.0f,
                   xAxis.z, yAxis.z, zAxis.z, 0.0f,
                   -Dot(xAxis, eye), -Dot(yAxis, eye), -Dot(zAxis, eye), 1.0f);
}

cMatrix cMatrix::Perspective(double fovDegrees, double aspect, double zNear, double zFar) {
    const double a = fovDegrees * 0.5 / 180.0 * kPi;
    const double sinA = std::sin(a);
    if (aspect == 0.0 || zFar == zNear || sinA == 0.0 || !IsFinite(a) || !IsFinite(aspect) || !IsFinite(zNear) ||
        !IsFinite(zFar))
        return cMatrix();
    const double f = std::cos(a) / sinA;
    cMatrix r(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    r.m[0] = static_cast<float>(f / aspect);
    r.m[5] = static_cast<float>(f);
    r.m[10] = static_cast<float>(-(zFar + zNear) / (zFar - zNear));
    r.m[11] = -1.0f;
    r.m[14] = static_cast<float>(-2.0 * zFar * zNear / (zFar - zNear));
    return r;
}

cMatrix cMatrix::Orthographic(double left, double right, double bottom, double top, double zNear, double zFar) {
    if (right == left || top == bottom || zFar == zNear || !IsFinite(left) || !IsFinite(right) ||
        !IsFinite(bottom) || !IsFinite(top) || !IsFinite(zNear) || !IsFinite(zFar))
        return cMatrix();
    cMatrix r;
    r.m[0] = static_cast<float>(2.0 / (right - left));
    r.m[5] = static_cast<float>(2.0 / (top - bottom));
    r.m[10] = static_cast<float>(-2.0 / (zFar - zNear));
    r.m[12] = static_cast<float>(-(right + left) / (right - left));
    r.m[13] = static_cast<float>(-(top + bottom) / (top - bottom));
    r.m[14] = static_cast<float>(-(zFar + zNear) / (zFar - zNear));
    return r;
}

cMatrix cMatrix::Reflection(const cPlane& plane) {
    cPlane p = plane;
    if (p.Normalize() == 0.0f) return cMatrix();
    const float a = p.a, b = p.b, c = p.c, d = p.d;
    return cMatrix(1 - 2 * a * a, -2 * a * b, -2 * a * c, 0.0f,
                   -2 * a * b, 1 - 2 * b * b, -2 * b * c, 0.0f,
                   -2 * a * c, -2 * b * c, 1 - 2 * c * c, 0.0f,
                   -2 * a * d, -2 * b * d, -2 * c * d, 1.0f);
}

cVector4 cMatrix::GetRow(int i) const {
    const int r = (i & 3) * 4;
    return cVector4(m[r], m[r + 1], m[r + 2], m[r + 3]);
}

cVector4 cMatrix::GetColumn(int i) const {
    const int c = i & 3;
    return cVector4(m[c], m[4 + c], m[8 + c], m[12 + c]);
}

void cMatrix::SetRow(int i, const cVector4& row) {
    const int r = (i & 3) * 4;
    m[r] = row.x; m[r + 1] = row.y; m[r + 2] = row.z; m[r + 3] = row.w;
}

cMatrix cMatrix::operator*(const cMatrix& o) const {
    cMatrix r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[row * 4 + col] = m[row * 4 + 0] * o.m[0 + col] + m[row * 4 + 1] * o.m[4 + col] +
                                 m[row * 4 + 2] * o.m[8 + col] + m[row * 4 + 3] * o.m[12 + col];
        }
    }
    return r;
}

cMatrix& cMatrix::operator*=(const cMatrix& o) {
    *this = *this * o;
    return *this;
}

bool cMatrix::operator==(const cMatrix& o) const {
    for (int i = 0; i < 16; ++i)
        if (m[i] != o.m[i]) return false;
    return true;
}

bool cMatrix::Equals(const cMatrix& o, float tolerance) const {
    for (int i = 0; i < 16; ++i)
        if (!(std::fabs(m[i] - o.m[i]) <= tolerance)) return false;
    return true;
}

bool cMatrix::IsIdentity(float tolerance) const { return Equals(cMatrix(), tolerance); }

cMatrix cMatrix::Transposed() const {
    return cMatrix(m[0], m[4], m[8], m[12], m[1], m[5], m[9], m[13],
                   m[2], m[6], m[10], m[14], m[3], m[7], m[11], m[15]);
}

namespace {

// Cofactor expansion in double precision; fills the adjugate when asked.
double Adjugate(const float* f, double* adj) {
    double a[16];
    for (int i = 0; i < 16; ++i) a[i] = f[i];
    // 2x2 minors of the lower two rows and of the upper two rows.
    const double s0 = a[0] * a[5] - a[4] * a[1];
    const double s1 = a[0] * a[6] - a[4] * a[2];
    const double s2 = a[0] * a[7] - a[4] * a[3];
    const double s3 = a[1] * a[6] - a[5] * a[2];
    const double s4 = a[1] * a[7] - a[5] * a[3];
    const double s5 = a[2] * a[7] - a[6] * a[3];
    const double c5 = a[10] * a[15] - a[14] * a[11];
    const double c4 = a[9] * a[15] - a[13] * a[11];
    const double c3 = a[9] * a[14] - a[13] * a[10];
    const double c2 = a[8] * a[15] - a[12] * a[11];
    const double c1 = a[8] * a[14] - a[12] * a[10];
    const double c0 = a[8] * a[13] - a[12] * a[9];
    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (adj) {
        adj[0] = a[5] * c5 - a[6] * c4 + a[7] * c3;
        adj[1] = -a[1] * c5 + a[2] * c4 - a[3] * c3;
        adj[2] = a[13] * s5 - a[14] * s4 + a[15] * s3;
        adj[3] = -a[9] * s5 + a[10] * s4 - a[11] * s3;
        adj[4] = -a[4] * c5 + a[6] * c2 - a[7] * c1;
        adj[5] = a[0] * c5 - a[2] * c2 + a[3] * c1;
        adj[6] = -a[12] * s5 + a[14] * s2 - a[15] * s1;
        adj[7] = a[8] * s5 - a[10] * s2 + a[11] * s1;
        adj[8] = a[4] * c4 - a[5] * c2 + a[7] * c0;
        adj[9] = -a[0] * c4 + a[1] * c2 - a[3] * c0;
        adj[10] = a[12] * s4 - a[13] * s2 + a[15] * s0;
        adj[11] = -a[8] * s4 + a[9] * s2 - a[11] * s0;
        adj[12] = -a[4] * c3 + a[5] * c1 - a[6] * c0;
        adj[13] = a[0] * c3 - a[1] * c1 + a[2] * c0;
        adj[14] = -a[12] * s3 + a[13] * s1 - a[14] * s0;
        adj[15] = a[8] * s3 - a[9] * s1 + a[10] * s0;
    }
    return det;
}

} // namespace

float cMatrix::Determinant() const { return static_cast<float>(Adjugate(m, nullptr)); }

bool cMatrix::Invert(cMatrix& out) const {
    double adj[16];
    const double det = Adjugate(m, adj);
    double rowProduct = 1.0;
    for (int r = 0; r < 4; ++r) {
        double sum = 0.0;
        for (int c = 0; c < 4; ++c) sum += static_cast<double>(m[r * 4 + c]) * m[r * 4 + c];
        rowProduct *= std::sqrt(sum);
    }
    if (!IsFinite(det) || !IsFinite(rowProduct) || !(std::fabs(det) > kSingularRatio * rowProduct)) {
        out = cMatrix();
        return false;
    }
    const double inv = 1.0 / det;
    cMatrix r;
    for (int i = 0; i < 16; ++i) r.m[i] = static_cast<float>(adj[i] * inv);
    out = r;
    return true;
}

cMatrix cMatrix::Inverse(bool* ok) const {
    cMatrix r;
    const bool done = Invert(r);
    if (ok) *ok = done;
    return r;
}

cVector3 cMatrix::TransformPoint(const cVector3& p) const {
    return cVector3(p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12],
                    p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
                    p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]);
}

cVector3 cMatrix::TransformCoord(const cVector3& p) const { return Transform(cVector4(p, 1.0f)).Project(); }

cVector3 cMatrix::TransformDirection(const cVector3& d) const {
    return cVector3(d.x * m[0] + d.y * m[4] + d.z * m[8],
                    d.x * m[1] + d.y * m[5] + d.z * m[9],
                    d.x * m[2] + d.y * m[6] + d.z * m[10]);
}

cVector4 cMatrix::Transform(const cVector4& v) const {
    return cVector4(v.x * m[0] + v.y * m[4] + v.z * m[8] + v.w * m[12],
                    v.x * m[1] + v.y * m[5] + v.z * m[9] + v.w * m[13],
                    v.x * m[2] + v.y * m[6] + v.z * m[10] + v.w * m[14],
                    v.x * m[3] + v.y * m[7] + v.z * m[11] + v.w * m[15]);
}

} // namespace velmora

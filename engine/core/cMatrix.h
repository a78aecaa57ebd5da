#pragma once
// 4x4 float matrix in row-vector convention.
//
// Conventions (shared by the whole engine and by both renderers):
//  - A point is a row vector multiplied on the left: p' = p * M, i.e.
//      p'.x = p.x*m[0] + p.y*m[4] + p.z*m[8]  + p.w*m[12]   (and so on).
//  - Element i is row i / 4, column i % 4; the translation is in elements
//    12, 13 and 14 (the fourth row).
//  - A * B applies A first, then B: p * (A * B) == (p * A) * B. A world-view-
//    projection matrix is World * View * Projection.
//  - The sixteen floats go to OpenGL unchanged (its column-major layout of the
//    column-vector matrix is exactly this memory) and to shader constants
//    transposed where the shader multiplies mul(M, v).
//  - Right-handed world, y up; the default view looks down -z.
//  - Rotations are counter-clockwise when looking from the positive axis
//    towards the origin; angles are in degrees.
//  - Projections produce OpenGL clip space: after the w divide x, y and z lie
//    in -1..1, with z = -1 at the near plane and +1 at the far plane.

#include "engine/core/cVector3.h"
#include "engine/core/cVector4.h"

namespace velmora {

class cPlane;

class cMatrix {
public:
    float m[16];

    // The identity.
    cMatrix();
    // Sixteen elements in storage order (row by row).
    cMatrix(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7,
            float m8, float m9, float m10, float m11, float m12, float m13, float m14, float m15);
    // Copies sixteen floats in storage order; null gives the identity.
    explicit cMatrix(const float* elements);

    // ---- Builders -------------------------------------------------------
    static cMatrix Identity();
    static cMatrix Translation(float x, float y, float z);
    static cMatrix Translation(const cVector3& t);
    static cMatrix Scaling(float x, float y, float z);
    static cMatrix Scaling(const cVector3& s);
    static cMatrix Scaling(float s);
    // Rotations by an angle in degrees about the x, y or z axis.
    static cMatrix RotationX(float degrees);
    static cMatrix RotationY(float degrees);
    static cMatrix RotationZ(float degrees);
    // Rotation by degrees about an axis through the origin (normalised here;
    // a zero axis gives the identity).
    static cMatrix RotationAxis(const cVector3& axis, float degrees);
    // Right-handed view matrix of an eye at `eye` looking at `at` with `up`
    // as the approximate up direction: view space has the eye at the origin,
    // looking down -z with +y up and +x right. With eye == at the view looks
    // down -z; when up is parallel to the viewing direction another world
    // axis serves as up, so the result is always a rigid transform.
    static cMatrix LookAt(const cVector3& eye, const cVector3& at, const cVector3& up);
    // Perspective projection, fov = vertical field of view in degrees,
    // aspect = width / height, near and far = positive distances along -z.
    // With f = cos(fov/2) / sin(fov/2):
    //   m[0] = f / aspect, m[5] = f, m[10] = -(far + near) / (far - near),
    //   m[11] = -1, m[14] = -2 * far * near / (far - near), all others 0.
    // A view-space point (0, 0, -near) maps to ndc z = -1, (0, 0, -far) to +1.
    // Unusable parameters (aspect 0, near == far, fov with sin(fov/2) = 0, or
    // non-finite values) give the identity.
    static cMatrix Perspective(double fovDegrees, double aspect, double zNear, double zFar);
    // Orthographic projection of the box left..right, bottom..top and the
    // view depths near..far (view z = -near maps to ndc -1, z = -far to +1):
    //   m[0] = 2 / (r - l), m[5] = 2 / (t - b), m[10] = -2 / (f - n),
    //   m[12] = -(r + l) / (r - l), m[13] = -(t + b) / (t - b),
    //   m[14] = -(f + n) / (f - n), m[15] = 1.
    // A zero-sized range (or non-finite values) gives the identity.
    static cMatrix Orthographic(double left, double right, double bottom, double top, double zNear, double zFar);
    // Mirror about a plane (normalised here): p' = p - 2 * dist(p) * n.
    // The plane (0, 1, 0, -h) maps y to 2h - y. A plane without a normal
    // gives the identity. Mirroring flips the triangle winding.
    static cMatrix Reflection(const cPlane& plane);

    // ---- Element access -------------------------------------------------
    float& operator[](int i) { return m[i & 15]; }
    float operator[](int i) const { return m[i & 15]; }
    float& operator()(int row, int col) { return m[((row & 3) << 2) | (col & 3)]; }
    float operator()(int row, int col) const { return m[((row & 3) << 2) | (col & 3)]; }
    // The sixteen floats in storage order, for the device.
    const float* Data() const { return m; }
    float* Data() { return m; }
    // Row i (0..3) and column i (0..3); indices are taken modulo 4.
    cVector4 GetRow(int i) const;
    cVector4 GetColumn(int i) const;
    void SetRow(int i, const cVector4& row);
    // Elements 12, 13, 14.
    cVector3 GetTranslation() const { return cVector3(m[12], m[13], m[14]); }
    void SetTranslation(const cVector3& t) { m[12] = t.x; m[13] = t.y; m[14] = t.z; }

    // ---- Arithmetic -----------------------------------------------------
    // this applied first, then o.
    cMatrix operator*(const cMatrix& o) const;
    cMatrix& operator*=(const cMatrix& o);
    bool operator==(const cMatrix& o) const;
    bool operator!=(const cMatrix& o) const { return !(*this == o); }
    // Every element within tolerance.
    bool Equals(const cMatrix& o, float tolerance = kEpsilon) const;
    bool IsIdentity(float tolerance = 0.0f) const;

    cMatrix Transposed() const;
    float Determinant() const;
    // Writes the inverse to `out` and returns true; a singular matrix (its
    // rows dependent within rounding) returns false and writes the identity.
    bool Invert(cMatrix& out) const;
    // The inverse; the identity when singular (ok, when given, says which).
    cMatrix Inverse(bool* ok = nullptr) const;

    // ---- Transforming vectors -------------------------------------------
    // Point with w = 1, column 3 ignored (affine matrices).
    cVector3 TransformPoint(const cVector3& p) const;
    // Point with w = 1 followed by the divide by the resulting w (projection
    // matrices); a resulting w of 0 leaves x, y, z undivided.
    cVector3 TransformCoord(const cVector3& p) const;
    // Direction with w = 0: the upper 3x3 only, no translation.
    cVector3 TransformDirection(const cVector3& d) const;
    // Full homogeneous product v * M.
    cVector4 Transform(const cVector4& v) const;
};

// Row vector times matrix: v * M.
inline cVector4 operator*(const cVector4& v, const cMatrix& m) { return m.Transform(v); }

static_assert(sizeof(cMatrix) == 16 * sizeof(float), "cMatrix must stay sixteen packed floats");

} // namespace velmora

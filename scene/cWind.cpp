#include "scene/cWind.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "video/IShader.h"

namespace velmora::scene {

namespace {

constexpr double kTwoPi = 6.283185307179586;
// The second gust wave is shorter than the first, runs slower and crosses it at an angle.
constexpr float kCrossScale = 0.63f;
constexpr float kCrossSpeed = 0.7f;
// Shares of the gust in the bend and the flutter: part of each is always there while the wind blows.
constexpr float kBendSteady = 0.35f;
constexpr float kFlutterSteady = 0.5f;
// Flutter weight of a point on the plant's axis (trunks flutter a little, fronds fully).
constexpr float kFlutterAxis = 0.15f;
// The flutter is a flap: mostly up and down, a little along the wind.
constexpr float kFlutterAlong = 0.5f;
// The smallest gust length and speed.
constexpr float kMinGustScale = 1.0f;
constexpr float kMinGustSpeed = 0.01f;

float Wrap(double phase) { return static_cast<float>(std::fmod(phase, kTwoPi)); }

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

} // namespace

cWind::cWind() {
    // From the sea towards the island's north-east shore.
    SetDirection(0.8f, 0.6f);
    SetTime(0.0);
}

void cWind::SetDirection(float x, float z) {
    const float length = std::sqrt(x * x + z * z);
    if (!(length > 1e-6f) || !std::isfinite(length)) {
        return;
    }
    m_DirectionX = x / length;
    m_DirectionZ = z / length;
}

void cWind::SetStrength(float strength) { m_Strength = strength > 0.0f && std::isfinite(strength) ? strength : 0.0f; }

void cWind::SetGust(float scale, float speed) {
    m_GustScale = std::isfinite(scale) ? std::max(scale, kMinGustScale) : m_GustScale;
    m_GustSpeed = std::isfinite(speed) ? std::max(speed, kMinGustSpeed) : m_GustSpeed;
    SetTime(m_Time);
}

void cWind::SetTime(double seconds) {
    m_Time = std::isfinite(seconds) ? seconds : 0.0;
    // A wave of length L moving at v turns its phase by 2 pi v / L per second.
    const double gust = kTwoPi * m_GustSpeed / m_GustScale;
    const double cross = kTwoPi * m_GustSpeed * kCrossSpeed / (m_GustScale * kCrossScale);
    m_GustPhase = Wrap(m_Time * gust);
    m_CrossPhase = Wrap(m_Time * cross);
    m_FlutterPhase = Wrap(m_Time * kTwoPi * kFlutterFrequency);
}

cVector4 cWind::GetAnchor(const cBox& meshBox, const cMatrix& matrix) {
    const cVector3 centre = matrix.TransformPoint(meshBox.GetCenter());
    const float yAxis = std::sqrt(matrix(1, 0) * matrix(1, 0) + matrix(1, 1) * matrix(1, 1) + matrix(1, 2) * matrix(1, 2));
    const float halfHeight = meshBox.GetHalfExtents().y * yAxis;
    return cVector4(centre.x, centre.y - halfHeight, centre.z, 2.0f * halfHeight);
}

cVector4 cWind::GetRigidAnchor(const cMatrix& matrix) {
    const cVector3 at = matrix.GetTranslation();
    return cVector4(at.x, 1e9f, at.z, 0.0f);
}

bool cWind::IsRigid(const std::string& meshFileName) {
    // Looked at for every instance drawn: in place, without copies.
    const std::size_t slash = meshFileName.find_last_of("/\\");
    const std::size_t begin = slash == std::string::npos ? 0 : slash + 1;
    static const char kWord[] = "rock";
    for (std::size_t i = begin; i + 4 <= meshFileName.size(); ++i) {
        std::size_t k = 0;
        while (k < 4 && std::tolower(static_cast<unsigned char>(meshFileName[i + k])) == kWord[k]) {
            ++k;
        }
        if (k == 4) {
            return true;
        }
    }
    return false;
}

void cWind::GetUniforms(cVector4 out[4], float viewDistance) const {
    const float gustWave = static_cast<float>(kTwoPi) / m_GustScale;
    out[0] = cVector4(m_DirectionX, m_DirectionZ, kBendAmplitude * m_Strength, kFlutterAmplitude * m_Strength);
    out[1] = cVector4(gustWave, m_GustPhase, gustWave / kCrossScale, m_CrossPhase);
    out[2] = cVector4(1.0f / (kBendHeight * kBendHeight), 1.0f / kFlutterHeight,
                      1.0f / (kFlutterRadius * kFlutterRadius), m_FlutterPhase);
    const float fade = viewDistance > 0.0f ? 1.0f / (kFlutterFadeShare * viewDistance) : 0.0f;
    out[3] = cVector4(kFlutterSpatial, viewDistance > 0.0f ? viewDistance : 0.0f, fade, 0.0f);
}

void cWind::SetUniforms(video::IShader* shader) const {
    if (!shader) {
        return;
    }
    cVector4 values[4];
    GetUniforms(values, 0.0f);
    shader->SetUniform("u_WindDirection", values[0]);
    shader->SetUniform("u_WindWaves", values[1]);
    shader->SetUniform("u_WindShape", values[2]);
}

void cWind::SetUniforms(video::IShader* shader, float viewDistance) const {
    if (!shader) {
        return;
    }
    cVector4 values[4];
    GetUniforms(values, viewDistance);
    shader->SetUniform("u_WindDirection", values[0]);
    shader->SetUniform("u_WindWaves", values[1]);
    shader->SetUniform("u_WindShape", values[2]);
    shader->SetUniform("u_WindFlutter", values[3]);
}

// The functions below are written step by step as the programs compute them, with the same uniforms.

float cWind::GetGust(float x, float z) const {
    cVector4 u[4];
    GetUniforms(u, 0.0f);
    const float along = x * u[0].x + z * u[0].y;
    const float across = z * u[0].x - x * u[0].y;
    const float a = along * u[1].x - u[1].y;
    const float b = (across + 0.5f * along) * u[1].z - u[1].w;
    return 0.5f + 0.5f * (0.65f * std::sin(a) + 0.35f * std::sin(b));
}

cVector3 cWind::GetBend(const cVector4& anchor, float height) const {
    cVector4 u[4];
    GetUniforms(u, 0.0f);
    const float h = std::max(height, 0.0f);
    const float h2 = h * h * u[2].x;
    const float profile = h2 / (h2 + 1.0f);
    const float amount = u[0].z * profile * (kBendSteady + (1.0f - kBendSteady) * GetGust(anchor.x, anchor.z));
    return cVector3(u[0].x * amount, 0.0f, u[0].y * amount);
}

cVector3 cWind::GetFlutter(const cVector4& anchor, const cVector3& position, float cameraDistance,
                           float viewDistance) const {
    cVector4 u[4];
    GetUniforms(u, viewDistance);
    const float h = std::max(position.y - anchor.y, 0.0f);
    const float rx = position.x - anchor.x;
    const float rz = position.z - anchor.z;
    const float weight = std::min(h * u[2].y, 1.0f) *
                         (kFlutterAxis + (1.0f - kFlutterAxis) * std::min((rx * rx + rz * rz) * u[2].z, 1.0f));
    const float fade = Clamp01((u[3].y - cameraDistance) * u[3].z);
    const float arg = u[2].w + (position.x * 0.9f + position.y * 0.6f + position.z * 1.1f) * u[3].x;
    const float f = u[0].w * weight * fade * (kFlutterSteady + (1.0f - kFlutterSteady) * GetGust(anchor.x, anchor.z)) *
                    std::sin(arg);
    return cVector3(u[0].x * kFlutterAlong * f, f, u[0].y * kFlutterAlong * f);
}

cVector3 cWind::GetDisplacement(const cVector4& anchor, const cVector3& position, float cameraDistance,
                                float viewDistance) const {
    return GetBend(anchor, position.y - anchor.y) + GetFlutter(anchor, position, cameraDistance, viewDistance);
}

cMatrix cWind::GetShear(const cVector4& anchor) const {
    cMatrix shear;
    if (!(anchor.w > 0.0f)) {
        return shear;
    }
    const cVector3 top = GetBend(anchor, anchor.w);
    const float x = top.x / anchor.w;
    const float z = top.z / anchor.w;
    // Row-vector points: x' = x + (y - foot) * x-shear, likewise for z.
    shear(1, 0) = x;
    shear(1, 2) = z;
    shear(3, 0) = -anchor.y * x;
    shear(3, 2) = -anchor.y * z;
    return shear;
}

} // namespace velmora::scene

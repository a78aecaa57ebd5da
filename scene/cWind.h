#pragma once
// The wind in the plants: one displacement, computed here on the CPU exactly as
// the vegetation, underwater-object and impostor programs compute it, so that
// tests can check it and the programs get their uniforms from one place.
//
// A plant is swayed about its anchor: the foot of its placed mesh box (the box
// centre's x and z, the box bottom's height) and the box height. Two motions:
// - the bend: a horizontal push along the wind direction that grows with the
//   height h above the foot as h^2 / (h^2 + bendHeight^2), so it is zero at the
//   foot, bends a trunk rather than tilting it, and never exceeds the bend
//   amplitude however tall the plant; its size follows a gust field, two slow
//   waves travelling across the island, read at the anchor, so that neighbours
//   move together but not in lockstep and the whole plant moves as one;
// - the flutter: a quick flap, mostly up and down, weighted towards what stands
//   high and far from the plant's axis (fronds and leaf tips rather than
//   trunks), with its phase from the vertex's own position; it fades out
//   towards the vegetation distance, where impostors (which only bend) take over.
//
// Still wind (strength 0) displaces nothing. Time is kept in double precision
// and the waves' phases are wrapped here, so a long session does not make the
// programs' sines coarse.

#include <string>

#include "engine/core/cBox.h"
#include "engine/core/cMatrix.h"
#include "engine/core/cVector3.h"
#include "engine/core/cVector4.h"

namespace velmora::video {
class IShader;
}

namespace velmora::scene {

class cWind {
public:
    // Horizontal reach of the bend at strength 1, in world units.
    static constexpr float kBendAmplitude = 0.4f;
    // The height above the foot at which the bend reaches half its amplitude.
    static constexpr float kBendHeight = 3.0f;
    // Reach of the flutter at strength 1.
    static constexpr float kFlutterAmplitude = 0.05f;
    // Flaps per second, and how fast the flutter's phase turns per unit of position.
    static constexpr float kFlutterFrequency = 1.5f;
    static constexpr float kFlutterSpatial = 1.9f;
    // The flutter is full from this height above the foot and this distance from the plant's axis.
    static constexpr float kFlutterHeight = 0.6f;
    static constexpr float kFlutterRadius = 3.0f;
    // The flutter fades out over the last part of the distance meshes are drawn within (this share of it).
    static constexpr float kFlutterFadeShare = 0.35f;

    cWind();

    // Where the wind blows to, in the horizontal plane (normalised; a zero vector keeps the last direction).
    void SetDirection(float x, float z);
    float GetDirectionX() const { return m_DirectionX; }
    float GetDirectionZ() const { return m_DirectionZ; }
    // 0 = still, 1 = the breeze the island is made for; negative counts as 0.
    void SetStrength(float strength);
    float GetStrength() const { return m_Strength; }
    // Length and speed of the gusts that travel across the island (world units, units per second); both
    // kept above a small minimum.
    void SetGust(float scale, float speed);
    float GetGustScale() const { return m_GustScale; }
    float GetGustSpeed() const { return m_GustSpeed; }
    // Seconds since the wind started.
    void SetTime(double seconds);
    double GetTime() const { return m_Time; }

    // The sway anchor of a mesh placed by `matrix`: (centre x, foot height, centre z, height) of its box
    // as placed (the centre moved by the whole matrix, the height scaled by the matrix's y axis), the same
    // values an impostor of the mesh is built from.
    static cVector4 GetAnchor(const cBox& meshBox, const cMatrix& matrix);
    // An anchor the wind does not move: its foot lies far above anything, its height is 0.
    static cVector4 GetRigidAnchor(const cMatrix& matrix);
    // Whether a vegetation kind stands still in the wind: rocks (the mesh file's name says "rock").
    static bool IsRigid(const std::string& meshFileName);

    // The gust field at a point of the ground: 0..1.
    float GetGust(float x, float z) const;
    // The bend of a point `height` above the foot of `anchor`.
    cVector3 GetBend(const cVector4& anchor, float height) const;
    // The flutter of the world point `position` of a plant anchored at `anchor`, seen from `cameraDistance`
    // by a pass that draws meshes within `viewDistance`.
    cVector3 GetFlutter(const cVector4& anchor, const cVector3& position, float cameraDistance,
                        float viewDistance) const;
    // Bend plus flutter: how far the programs move the world point `position` of a mesh vertex.
    cVector3 GetDisplacement(const cVector4& anchor, const cVector3& position, float cameraDistance,
                             float viewDistance) const;
    // The bend of the whole instance as one shear about its foot (the fixed-function pipeline's form): the
    // instance's matrix followed by this moves its top as GetBend moves it, its foot not at all.
    cMatrix GetShear(const cVector4& anchor) const;

    // The programs' uniforms: "u_WindDirection", "u_WindWaves", "u_WindShape" and, given a view
    // distance (mesh programs), "u_WindFlutter".
    void SetUniforms(video::IShader* shader) const;
    void SetUniforms(video::IShader* shader, float viewDistance) const;
    // The same values as four vectors, in that order (the last one for `viewDistance`).
    void GetUniforms(cVector4 out[4], float viewDistance) const;

private:
    float m_DirectionX;
    float m_DirectionZ;
    float m_Strength = 1.0f;
    float m_GustScale = 36.0f;
    float m_GustSpeed = 6.0f;
    double m_Time = 0.0;
    // The waves' phases at the current time, wrapped to 0..2 pi.
    float m_GustPhase = 0.0f;
    float m_CrossPhase = 0.0f;
    float m_FlutterPhase = 0.0f;
};

} // namespace velmora::scene

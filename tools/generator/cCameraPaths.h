#pragma once
// The camera flights over the island and the clearance model they are checked
// against: terrain (with a horizontal safety radius), the water surface, and
// the triangles of every placed plant and rock.

#include <string>
#include <vector>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cSceneFile.h"
#include "tools/generator/cVegetation.h"

namespace brevonne {

struct sClearanceMargins {
    float terrain = 1.0f;    // camera height above the highest ground within this distance horizontally
    float water = 0.8f;      // camera height above the sea surface
    float vegetation = 0.8f; // distance from any plant or rock triangle
};

class cClearanceModel {
public:
    cClearanceModel(const cHeightField& field, const std::vector<sVegetationKind>& kinds, const std::vector<sInstance>& instances);
    // Highest ground within radius r of (x, z) (centre and a ring of eight samples at r and r / 2).
    float GroundUnder(float x, float z, float r) const;
    // Distance from p to the nearest triangle of any instance, searched up to limit (returns limit when none is closer);
    // instance receives the index of that instance or -1.
    float VegetationDistance(const sVec3& p, float limit, int* instance = nullptr) const;
    // True when p keeps every margin.
    bool IsClear(const sVec3& p, const sClearanceMargins& m) const;

    const cHeightField& GetField() const { return m_Field; }
    const std::vector<sInstance>& GetInstances() const { return m_Instances; }

private:
    const cHeightField& m_Field;
    const std::vector<sVegetationKind>& m_Kinds;
    const std::vector<sInstance>& m_Instances;
    std::vector<sBox> m_WorldBoxes;
    std::vector<std::vector<int>> m_Grid; // instances per 8 x 8 unit cell
    int m_Cells = 0;
};

// Point-to-triangle distance.
float PointTriangleDistance(const sVec3& p, const sVec3& a, const sVec3& b, const sVec3& c);

// Designs the flights. Plants that stand in a flight's way are removed from instances (a flight through a
// grove follows a trail); the terrain and the sea are kept clear by lifting the camera.
std::vector<sScenePath> DesignCameraPaths(const cHeightField& field, const std::vector<sVegetationKind>& kinds, std::vector<sInstance>& instances, const sClearanceMargins& designMargins);

// Every sample (n per path) where a path's camera breaks a margin, as text lines; empty when all are clear.
std::vector<std::string> CheckPathClearance(const std::vector<sScenePath>& paths, const cClearanceModel& model, const sClearanceMargins& margins, int samplesPerPath);

} // namespace brevonne

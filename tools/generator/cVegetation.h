#pragma once
// The island's plants and rocks: the kinds (one mesh each, under
// "data/meshes/vegetation/") and their placement over the height field by
// height, slope, ground layer and clustering noise.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cMeshBuilder.h"
#include "tools/generator/cTerrainPainter.h"

namespace brevonne {

enum eKindClass { KIND_PALM, KIND_BUSH, KIND_FERN, KIND_GRASS, KIND_ROCK };

struct sVegetationKind {
    std::string meshFile;       // "data/meshes/vegetation/....mesh"
    eKindClass kindClass = KIND_ROCK;
    cMeshBuilder mesh;
    sBox box;                   // the mesh box as the engine computes it
    sVec3 crown;                // palms: the crown centre in mesh space
};

using tMatrix = std::array<float, 16>; // row-major, row vectors, translation in elements 12..14

struct sInstance {
    int kind = 0;
    tMatrix matrix{};
    std::uint8_t color[4] = {255, 255, 255, 255};
};

// A point multiplied on the left of the matrix.
sVec3 TransformPoint(const tMatrix& m, const sVec3& p);
// Rotation about y by angle (radians), uniform scale, then translation.
tMatrix MakeTransform(float angle, float scale, const sVec3& position);

// The mesh file names and textures the kinds use; the textures are painted by the data builder.
struct sVegetationTextures {
    std::string frond, bark, coconut, leaves, fern, grass, boulder;
};

// Every kind, in a fixed order: three palms, bush, fern, grass tuft, two rocks.
std::vector<sVegetationKind> BuildVegetationKinds(std::uint32_t seed, const sVegetationTextures& textures);

class cVegetationPlacer {
public:
    cVegetationPlacer(const cHeightField& field, const cTerrainPainter& painter, std::uint32_t seed);
    // Places instances of the kinds; the result is sorted by kind.
    std::vector<sInstance> Place(const std::vector<sVegetationKind>& kinds) const;
    // The soft ground shadows the placed plants cast for the light map.
    std::vector<sGroundShadow> Shadows(const std::vector<sVegetationKind>& kinds, const std::vector<sInstance>& instances, const sVec3& sun) const;

private:
    const cHeightField& m_Field;
    const cTerrainPainter& m_Painter;
    std::uint32_t m_Seed;
};

} // namespace brevonne

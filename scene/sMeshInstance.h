#pragma once
// A static mesh placed in the scene: the mesh (one reference held by the
// record's owner) and its world transform (row-major, translation in elements
// 12, 13, 14; identity by default).

#include "engine/core/cMatrix.h"

namespace velmora::scene {

class IStaticMesh;

struct sMeshInstance {
    IStaticMesh* mesh = nullptr;
    cMatrix transform;
};

} // namespace velmora::scene

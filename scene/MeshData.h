#pragma once
// The device-independent side of static meshes: a node as the ".mesh" reader
// produces it, and the vertex layout the load flags select. cMeshParser fills
// sMeshNodeData; cStaticMesh turns it into device buffers.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/cBox.h"
#include "engine/core/cColor.h"
#include "engine/core/cVector2.h"
#include "engine/core/cVector3.h"
#include "video/VideoTypes.h"

namespace velmora::scene {

// One vertex as read from a file; every field is present whatever the load flags.
struct sMeshVertex {
    cVector3 position;
    cColor color{255, 255, 255, 255};
    cVector3 normal;
    cVector3 tangent;
    cVector3 binormal;
    cVector2 texCoord;
};

// One node of a ".mesh" file.
struct sMeshNodeData {
    std::string name;
    std::string material;
    std::vector<sMeshVertex> vertices;
    // Triangle list; every index is below vertices.size().
    std::vector<std::uint16_t> indices;
};

// The packed vertex of a vertex buffer.
struct sMeshVertexFormat {
    // Position, then colour, normal, tangent, binormal, texture coordinate as the flags ask; ended by
    // an element of usage VU_END.
    std::vector<video::sVertexElement> elements;
    // Bytes per vertex.
    int stride = 0;
};

// The layout the load flags select (see MeshLoadFlags).
sMeshVertexFormat GetMeshVertexFormat(int flags);

// Packs the vertices into the layout of GetMeshVertexFormat(flags).
std::vector<std::uint8_t> PackMeshVertices(const std::vector<sMeshVertex>& vertices, int flags);

// Per-triangle tangent (along growing u) and binormal (against growing v), normalised, written into the triangle's three vertices in
// triangle order (a later triangle overwrites what an earlier one wrote). Triangles whose texture
// coordinates are degenerate get zero vectors.
void ComputeMeshTangents(std::vector<sMeshVertex>& vertices, const std::vector<std::uint16_t>& indices);

// The box around the vertex positions (the empty box for no vertices).
cBox GetMeshBounds(const std::vector<sMeshVertex>& vertices);

} // namespace velmora::scene

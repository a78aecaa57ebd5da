#pragma once
// Builds static meshes node by node and prints them in the ".mesh" text
// format: a sequence of node blocks, each with its material (texture file),
// vertices, normals, colours, texture coordinates and triangles.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cImage.h"

namespace brevonne {

struct sMeshNode {
    std::string name;
    std::string material;
    std::vector<sVec3> positions;
    std::vector<sVec3> normals;
    std::vector<sColor> colors;
    std::vector<float> uvs; // two per vertex
    std::vector<std::uint16_t> indices;

    // Appends a vertex and returns its index.
    std::uint16_t AddVertex(const sVec3& p, const sVec3& n, float u, float v, const sColor& c = sColor(1, 1, 1, 1));
    void AddTriangle(int a, int b, int c);
};

struct sBox {
    sVec3 min, max;
};

class cMeshBuilder {
public:
    // A new node; the reference stays valid until the next AddNode.
    sMeshNode& AddNode(const std::string& name, const std::string& material);
    const std::vector<sMeshNode>& GetNodes() const { return m_Nodes; }
    // The box the engine computes for the mesh: the union of the node boxes with the origin.
    sBox GetBoundingBox() const;
    // The whole mesh as ".mesh" text.
    std::string ToText() const;

private:
    std::vector<sMeshNode> m_Nodes;
};

} // namespace brevonne

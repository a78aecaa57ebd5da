#pragma once
// Reader of the ".mesh" text format: a sequence of node blocks
//
//   node "name" {
//       material "texture file"
//       vertices n { x y z ... }      n vertices, 3 n numbers
//       uv n { u v ... }              n texture coordinates, 2 n numbers
//       normals n { x y z ... }
//       colors n { r g b ... }        0..1, stored as bytes with alpha 255
//       faces n { i0 i1 i2 ... }      n triangles, 3 n indices
//   }
//
// with the separators "{ } -" (a leading "-" negates the number after it).
// `vertices` comes before `uv`, `normals` and `colors` in a node, whose counts
// must equal the vertex count; every block holds exactly the number of values
// its count asks for; a node has at most 65,535 vertices (16-bit indices) and
// every index lies below its vertex count. Anything else is an error raised as
// cException "<source>( <line> ) error : <message>", so nothing out of range
// ever reaches a vertex or index buffer.

#include <string>
#include <vector>

#include "engine/parser/cParser.h"
#include "scene/MeshData.h"

namespace velmora::scene {

class cMeshParser : public cParser {
public:
    // Most vertices a node may have: 16-bit indices reach no further.
    static constexpr int kMaxVertices = 65535;

    cMeshParser();

    // Opens the file by name through the file-system search, reads it whole and parses it, naming the file
    // in messages. Throws "cMeshParser::ParseFile : file '%s' not found" when it is nowhere.
    void ParseFile(const char* fileName, std::vector<sMeshNodeData>& nodes);
    // Parses text held in memory; sourceName is what messages name.
    void ParseText(const std::string& text, std::vector<sMeshNodeData>& nodes, const char* sourceName = "memory");

private:
    void ReadNodes(std::vector<sMeshNodeData>& nodes);
    void ReadNode(sMeshNodeData& node);
    // The block count after a keyword: a non-negative integer.
    int ReadCount(const char* block);
    // Numbers up to the closing "}" of a block (the "{" is read here), at most `expected` of them;
    // anything but exactly `expected` numbers is an error.
    void ReadValues(const char* block, std::size_t expected, std::vector<float>& out);
    // As ReadValues for indices; each must lie below vertexCount (-1: not known yet, checked by the caller).
    void ReadIndices(std::size_t expected, int vertexCount, std::vector<std::uint16_t>& out);
    // A number with an optional leading "-" token.
    float ReadNumber();
    void RequireVertices(const sMeshNodeData& node, bool haveVertices, const char* block, int count);
};

} // namespace velmora::scene

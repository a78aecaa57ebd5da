#pragma once
// A square piece of the terrain: n x n vertices (n = chunk size + 1, at most
// 257) in one static vertex buffer, and one triangle-strip index buffer per
// geometric mip level (16-bit, 32-bit when the vertex numbers need it). Level L steps over 2^L vertices; a level exists
// (holds triangles) only when 2^L divides the chunk size, so with chunk size 32
// levels 0..5 exist and 6 and 7 are empty. GetCoarsestLevel names the last
// level that exists; the level selection (TerrainWalk.h) never picks a level
// above it, so distant chunks stay drawn. Each level's strip goes on into
// skirts: walls hanging from the chunk's inner edges (4n vertices after the
// grid) that hide the cracks between neighbours drawn at different levels.
//
// Chunk vertex, 40 bytes: position (3 floats), normal (3 floats), texture
// coordinate 0 (2 floats, one repetition of the terrain's maps over the whole
// terrain), texture coordinate 1 (2 floats, 0.25 x world position).
//
// Chunks belong to their terrain; nothing here is reference-counted.

#include <cstdint>

#include "engine/core/cBox.h"

namespace velmora::video {
class IVertexBuffer;
class IIndexBuffer;
}

namespace velmora::scene {

// Geometric mip levels per chunk.
constexpr int TERRAIN_LEVEL_COUNT = 8;
// Largest number of vertices per chunk side.
constexpr int TERRAIN_MAX_CHUNK_VERTICES = 257;
// Bytes per chunk vertex.
constexpr int TERRAIN_VERTEX_SIZE = 40;

class ITerrainChunk {
public:
    virtual ~ITerrainChunk() = default;
    // The chunk's vertex buffer (n x n vertices, row by row).
    virtual video::IVertexBuffer* GetVertexBuffer() const = 0;
    // The triangle-strip index buffer of level 0..7; null for an empty level or an index out of range.
    virtual video::IIndexBuffer* GetIndexBuffer(int level) const = 0;
    // n x n.
    virtual std::uint32_t GetVertexCount() const = 0;
    // Indices in the strip of level 0..7 (0 for an empty level); the strip holds count - 2 triangles.
    virtual std::uint32_t GetIndexCount(int level) const = 0;
    // min (x0, 0, z0), max (x0 + (n - 1) scale, highest vertex y, z0 + (n - 1) scale): the box starts at
    // height 0 whatever the lowest vertex.
    virtual const cBox& GetBoundingBox() const = 0;
    // The coarsest level that holds triangles.
    virtual int GetCoarsestLevel() const = 0;
    // Indices that follow the level's strip in the same buffer and continue it with skirts: walls hanging
    // from the chunk's inner edges that close the cracks between neighbours drawn at different levels
    // (0: none). Drawing a level draws its count plus these.
    virtual std::uint32_t GetSkirtIndexCount(int /*level*/) const { return 0; }
    // Vertices in the vertex buffer: the n x n grid, then the skirts' vertices.
    virtual std::uint32_t GetBufferVertexCount() const { return GetVertexCount(); }
};

// A node of the terrain's chunk tree: a leaf holding one chunk, an inner node with four children
// (0: low x, low z; 1: high x, low z; 2: low x, high z; 3: high x, high z), or an empty leaf.
// An inner node's box reaches up to the highest of its children.
struct sTerrainNode {
    ITerrainChunk* chunk = nullptr;      // the chunk of a leaf (not owned)
    sTerrainNode* children = nullptr;    // array of four children, or null (owned by the terrain)
    cBox box;
};

} // namespace velmora::scene

#pragma once
// A terrain chunk (see ITerrainChunk). Made only by cTerrain::Create: the
// constructor checks the size, Generate builds vertices, box, height array,
// vertex buffer and the mip-level strips from a window of height samples.
// Without a renderer (headless terrains for tools) a chunk keeps its heights,
// box and index counts but no device buffers.

#include <cstdint>
#include <vector>

#include "engine/core/cVector3.h"
#include "scene/ITerrainChunk.h"

namespace velmora::video {
class IRenderer;
class IOcclusionQuery;
}

namespace velmora::scene {

class cTerrainChunk : public ITerrainChunk {
public:
    // n vertices per side (throws "cTerrainChunk::cTerrainChunk : chunk size exceeded( n )" above 257),
    // grid index; creates the chunk's occlusion query when there is a renderer.
    cTerrainChunk(video::IRenderer* renderer, int verticesPerSide, int index);
    // Releases the buffers and the query.
    ~cTerrainChunk() override;
    cTerrainChunk(const cTerrainChunk&) = delete;
    cTerrainChunk& operator=(const cTerrainChunk&) = delete;

    video::IVertexBuffer* GetVertexBuffer() const override { return m_VertexBuffer; }
    video::IIndexBuffer* GetIndexBuffer(int level) const override;
    std::uint32_t GetVertexCount() const override { return m_VertexCount; }
    std::uint32_t GetIndexCount(int level) const override;
    const cBox& GetBoundingBox() const override { return m_Box; }
    int GetCoarsestLevel() const override { return m_CoarsestLevel; }
    std::uint32_t GetSkirtIndexCount(int level) const override;
    std::uint32_t GetBufferVertexCount() const override { return m_VertexCount + m_SkirtVertexCount; }

    // Chunk edges that lie on the terrain's border and get no skirt.
    enum eEdge { EDGE_LOW_X = 1, EDGE_HIGH_X = 2, EDGE_LOW_Z = 4, EDGE_HIGH_Z = 8 };

    // Builds the chunk from n x n samples (window[i + j n], column i, row j) whose first sample is `origin`
    // samples from the terrain's corner; texture factor f = 1 / (S scale.x); borderEdges (eEdge bits) are the
    // edges without skirts. Throws on failure, releasing what it made.
    void Generate(const float* window, int originX, int originZ, float textureFactor, const cVector3& scale,
                  int borderEdges = 0);

    int GetIndex() const { return m_Index; }
    int GetVerticesPerSide() const { return m_Size; }
    // Scaled height of vertex (column i, row j); both must lie in 0..n-1.
    float GetVertexHeight(int i, int j) const { return m_Heights[static_cast<std::size_t>(i) + j * m_Size]; }
    // Bilinear height at local ground coordinates (world minus the box's minimum corner); 0 outside the chunk.
    float GetHeightAt(float localX, float localZ, const cVector3& scale) const;
    // Copies the vertex heights back from the vertex buffer into the height array; false when it cannot be read.
    bool RefreshHeights();
    // The vertex heights as the vertex buffer holds them (the height array without a vertex buffer);
    // false when the buffer cannot be read.
    bool ReadBackHeights(std::vector<float>& out) const;
    video::IOcclusionQuery* GetOcclusionQuery() const { return m_Query; }

private:
    void GenerateGeoMipmaps();
    void ReleaseBuffers();

    video::IRenderer* m_Renderer = nullptr;
    int m_Index = 0;
    int m_Size = 0; // n
    std::uint32_t m_VertexCount = 0;
    std::uint32_t m_IndexCounts[TERRAIN_LEVEL_COUNT] = {};
    std::uint32_t m_SkirtIndexCounts[TERRAIN_LEVEL_COUNT] = {};
    std::uint32_t m_SkirtVertexCount = 0;
    int m_BorderEdges = 0;
    int m_CoarsestLevel = 0;
    cBox m_Box;
    std::vector<float> m_Heights;
    video::IVertexBuffer* m_VertexBuffer = nullptr;
    video::IIndexBuffer* m_IndexBuffers[TERRAIN_LEVEL_COUNT] = {};
    video::IOcclusionQuery* m_Query = nullptr;
};

} // namespace velmora::scene

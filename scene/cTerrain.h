#pragma once
// The terrain (see ITerrain). Split by topic: cTerrain.cpp builds the chunks
// and the tree and answers queries, cTerrainMaps.cpp holds the textures,
// cTerrainRender.cpp draws (the stand-alone path; the pipelines draw through
// TerrainWalk.h).
//
// Without a renderer the terrain is headless (tools reading and writing
// terrain files): chunks keep heights and boxes but no buffers, the maps are
// kept in system memory and layer textures are names only.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/ITerrain.h"
#include "scene/ITerrainChunk.h"
#include "scene/TerrainWalk.h"
#include "scene/cDrawBatchList.h"
#include "scene/cTerrainVegetation.h"

namespace velmora::video {
class IRenderer;
class IShader;
}

namespace velmora::scene {

class cResourceManager;
class cTerrainChunk;

class cTerrain : public ITerrain {
public:
    // resources: what vegetation meshes and impostor billboards are made with (may be null: no vegetation
    // meshes); renderer: null for a headless terrain.
    cTerrain(cResourceManager* resources, video::IRenderer* renderer);
    cTerrain(const cTerrain&) = delete;
    cTerrain& operator=(const cTerrain&) = delete;

    // Builds everything from S x S heights (null: flat at 0), colour and layer maps of colorMapSize texels
    // per side, ground scale and chunk size (quads per chunk side). Throws cException:
    // "cTerrain::Create : terrain size must be a power of two, got %d", "cTerrain::Create : invalid chunk size
    // %d for terrain size %d", "cTerrain::Create : invalid scale", "cTerrain::Create : out of memory", and the
    // chunks' messages.
    void Create(const float* heights, int size, int colorMapSize, float scale, int chunkSize);

    void Release() override;
    ITerrain* AddRef() override;
    int Render(float viewDistance, int flags, ICamera* camera) override;
    int RenderVegetation(ICamera* camera) override;
    bool SetLayerTexture(int layer, const char* fileName) override;
    void SetLayerScale(int layer, float u, float v) override;
    bool CreateColorMap(int size) override;
    bool CreateLayerMap(int size) override;
    bool CreateLightMap(int size) override;
    float GetHeight(float x, float z) const override;
    int GetSize() const override { return m_Size; }
    float GetScale() const override { return m_Scale.x; }
    bool GetChunkVertexBuffer(float x, float z, video::IVertexBuffer*& buffer) const override;
    int GetChunkSize() const override { return m_ChunkSize; }
    bool GetChunkBox(float x, float z, cBox& box) const override;
    ITerrainVegetation* GetVegetation() override { return &m_Vegetation; }
    video::ITexture2D* GetColorMap() const override { return m_ColorMap; }
    video::ITexture2D* GetLayerMap() const override { return m_LayerMap; }
    video::ITexture2D* GetLightMap() const override { return m_LightMap; }
    video::ITexture2D* GetLayerTexture(int layer) override;
    std::string GetLayerTextureName(int layer) const override;
    cVector2 GetLayerScale(int layer) const override;
    video::ITexture2D* GetPackedDetailLayers() override;
    const sTerrainNode* GetQuadTree() const override { return &m_Root; }
    std::vector<float> GetHeightmap() const override;
    void RefreshChunkHeights(float x, float z) override;

    // Chunks per side (N) and the chunks in grid order (column + row N).
    int GetChunksPerSide() const { return m_ChunksPerSide; }
    const std::vector<cTerrainChunk*>& GetChunks() const { return m_Chunks; }
    // The visibility byte of each chunk as the last Render left it.
    const std::vector<std::uint8_t>& GetVisibility() const { return m_Visibility; }
    bool IsHeadless() const { return m_Renderer == nullptr; }

private:
    // Deleted by Release.
    ~cTerrain() override;

    void BuildChunks(const float* samples, float scale);
    void BuildTree(sTerrainNode& node, const std::vector<cTerrainChunk*>& chunks, int depth);
    void FreeTree(sTerrainNode& node);
    // The chunk whose box holds (x, z) in the ground plane (first in tree order), or null.
    cTerrainChunk* FindChunk(float x, float z) const;
    // Makes a map texture size x size, bytesPerPixel, every byte `fill`; null after a warning on failure.
    video::ITexture2D* MakeMap(int size, int bytesPerPixel, std::uint8_t fill, const char* what);
    bool ReplaceMap(video::ITexture2D*& map, int size, int bytesPerPixel, std::uint8_t fill, const char* what);
    // Drops the packed detail layers; the next request packs again.
    void ForgetPackedLayers();
    // Reads the detail layers back and packs them (null when they cannot be packed).
    video::ITexture2D* PackDetailLayers();
    void DrawLeaves(const sTerrainNode& node, const sTerrainWalk& walk, int& triangles);
    int RenderRings(const sTerrainWalk& walk, const cVector3& cameraPosition);

    int m_References = 1;
    cResourceManager* m_Resources = nullptr;
    video::IRenderer* m_Renderer = nullptr;
    std::vector<cTerrainChunk*> m_Chunks;
    sTerrainNode m_Root;
    cVector3 m_Scale{1.0f, 1.0f, 1.0f};
    int m_ChunkSize = 0;
    int m_ChunksPerSide = 0;
    std::vector<cTerrainChunk*> m_Grid;
    std::vector<std::uint8_t> m_Visibility;
    cTerrainVegetation m_Vegetation;
    video::ITexture2D* m_ColorMap = nullptr;
    video::ITexture2D* m_LayerMap = nullptr;
    video::ITexture2D* m_LightMap = nullptr;
    video::ITexture2D* m_Layers[TERRAIN_LAYER_COUNT] = {};
    std::string m_LayerNames[TERRAIN_LAYER_COUNT];
    cVector2 m_LayerScales[TERRAIN_LAYER_COUNT];
    video::ITexture2D* m_PackedLayers = nullptr;
    bool m_PackedLayersTried = false;
    int m_Size = 0;
    cDrawBatchList m_Batches;
    std::vector<cTerrainChunk*> m_Ring; // the ring drawing's cells, rebuilt per ring
    video::IShader* m_ImpostorShader = nullptr;
    bool m_ImpostorShaderTried = false;
};

} // namespace velmora::scene

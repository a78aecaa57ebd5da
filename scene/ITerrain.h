#pragma once
// The scene's height-field terrain: a square field of S x S height samples (S a
// power of two) drawn as a grid of (S + 1) x (S + 1) vertices, cut into square
// chunks with eight geometric mip levels each (ITerrainChunk.h), a four-way
// tree over the chunks for culling and point queries, the textures that colour
// the ground (colour map, layer map, light map, five layer textures with their
// tiling scales) and the vegetation standing on it (ITerrainVegetation.h).
//
// Terrains are made only by the scene's resource manager (CreateTerrain) and
// filled by the terrain reader. Reference-counted: the count starts at 1,
// Release deletes at 0 (chunks, textures, vegetation and tree go with it).
// Textures handed out are not add-referenced; they live as long as the terrain.
//
// The rendering pipelines walk the tree and draw the chunks themselves
// (TerrainWalk.h); Render below is the terrain's own stand-alone drawing.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/core/cBox.h"
#include "engine/core/cVector2.h"

namespace velmora::video {
class ITexture2D;
class IVertexBuffer;
}

namespace velmora::scene {

class ICamera;
class ITerrainVegetation;
struct sTerrainNode;

// Flags of ITerrain::Render.
enum TerrainRenderFlags : int {
    TERRAIN_RENDER_ALL = 2,       // every chunk, without frustum culling
    TERRAIN_RENDER_OCCLUSION = 4, // ring by ring around the camera, with occlusion queries
};

// Number of texture layers: 0 is the base layer, 1..4 the detail layers.
constexpr int TERRAIN_LAYER_COUNT = 5;

class ITerrain {
public:
    virtual ~ITerrain() = default;
    // Lowers the reference count; deletes the terrain at zero.
    virtual void Release() = 0;
    // Raises the reference count; returns this terrain.
    virtual ITerrain* AddRef() = 0;
    // Draws the chunks (flags: TerrainRenderFlags) at their distance levels for the camera (null: every
    // chunk at level 0), then the vegetation with exponential-squared fog; returns the triangles drawn.
    virtual int Render(float viewDistance, int flags, ICamera* camera) = 0;
    // Draws the vegetation near the camera as meshes and the rest as impostors; returns the triangles drawn.
    virtual int RenderVegetation(ICamera* camera) = 0;
    // Loads layer 0..4's texture through the renderer's texture cache, releasing the old one; an empty name
    // leaves the layer empty. True when the layer holds what was asked for; false for a bad index or a
    // texture that did not load.
    virtual bool SetLayerTexture(int layer, const char* fileName) = 0;
    // The tiling scale (u, v) of layer 0..4; other indices are ignored.
    virtual void SetLayerScale(int layer, float u, float v) = 0;
    // Make a size x size map unless one of that width exists (then nothing changes): colour map RGB filled
    // with 128, layer map RGBA filled with 0, light map RGB filled with 0. True when the map exists.
    virtual bool CreateColorMap(int size) = 0;
    virtual bool CreateLayerMap(int size) = 0;
    virtual bool CreateLightMap(int size) = 0;
    // Height of the ground under (x, z), bilinear between the samples; 0 where no chunk lies.
    virtual float GetHeight(float x, float z) const = 0;
    // Height samples per side (S).
    virtual int GetSize() const = 0;
    // Ground scale: world units per sample along x and z (the height axis is not scaled).
    virtual float GetScale() const = 0;
    // The vertex buffer of the chunk under (x, z); false when no chunk holds the point.
    virtual bool GetChunkVertexBuffer(float x, float z, video::IVertexBuffer*& buffer) const = 0;
    // Quads per chunk side.
    virtual int GetChunkSize() const = 0;
    // The box of the chunk under (x, z); false when no chunk holds the point.
    virtual bool GetChunkBox(float x, float z, cBox& box) const = 0;
    // The vegetation standing on the terrain (owned by the terrain).
    virtual ITerrainVegetation* GetVegetation() = 0;
    // The maps, or null when absent.
    virtual video::ITexture2D* GetColorMap() const = 0;
    virtual video::ITexture2D* GetLayerMap() const = 0;
    virtual video::ITexture2D* GetLightMap() const = 0;
    // The texture of layer 0 (base) to 4, or null when the layer has none (or the index is bad).
    virtual video::ITexture2D* GetLayerTexture(int layer) = 0;
    // The file name layer 0..4 was last set to (empty for none or a bad index), kept even when the texture
    // failed to load so that writing the terrain keeps it.
    virtual std::string GetLayerTextureName(int layer) const = 0;
    // The tiling scale of layer 0..4 ((0, 0) for a bad index).
    virtual cVector2 GetLayerScale(int layer) const = 0;
    // Layers 1..4 packed into the channels of one texture (layer k + 1 in channel k, tiled at their common
    // scale), made on first request when all four are grey pictures tiled at one scale; null otherwise.
    // Setting a layer texture or scale makes it again on the next request.
    virtual video::ITexture2D* GetPackedDetailLayers() { return nullptr; }
    // The root of the chunk tree (never null once the terrain is built).
    virtual const sTerrainNode* GetQuadTree() const = 0;
    // The S x S height samples read back from the chunks' vertex buffers (row by row, sample (x, z) at
    // z * S + x); what the terrain writer stores. Empty when a vertex buffer cannot be read.
    virtual std::vector<float> GetHeightmap() const = 0;
    // Copies the heights of the chunk under (x, z) back from its vertex buffer into the height queries
    // (after its vertices were edited); nothing happens when no chunk holds the point.
    virtual void RefreshChunkHeights(float x, float z) = 0;
};

} // namespace velmora::scene

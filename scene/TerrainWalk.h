#pragma once
// Level selection and the chunk-tree walk both rendering pipelines (and the
// terrain's own drawing) use. Nothing here allocates.
//
// Distance level of a chunk for a camera position and a view distance V: 0
// when the camera is inside the chunk's box (bounds inclusive), otherwise
// trunc(8 d / V) with d the distance to the nearest of the box's eight
// corners, at most 7. The pipelines add the render settings' level bias and
// clamp to 7; a level the chunk does not hold (ITerrainChunk::GetCoarsestLevel)
// becomes the coarsest one it holds.

#include <cstdint>

#include "engine/core/cBox.h"
#include "engine/core/cPlane.h"
#include "engine/core/cVector3.h"

namespace velmora::video {
class IRenderer;
}

namespace velmora::scene {

class ICamera;
class IFrustum;
class ITerrainChunk;
struct sTerrainNode;

// Clip-pass flags of the water passes (as the shader pipeline keeps them).
enum TerrainClipFlags : std::uint16_t {
    CLIP_UNDERWATER = 2, // underwater pass: nodes wholly above the plane are skipped
    CLIP_REFLECTION = 4, // reflection pass: nodes wholly below the plane are skipped
};

// What a walk culls with and how it picks levels.
struct sTerrainWalk {
    const IFrustum* frustum = nullptr; // null: no frustum test
    cVector3 cameraPosition;           // for the distance level
    bool hasCamera = false;            // false: distance part 0 (every chunk at the bias level)
    float viewDistance = 250.0f;       // 0: distance part 0
    std::uint32_t levelBias = 0;
    std::uint16_t clipFlags = 0;       // TerrainClipFlags
    cPlane clipPlane;                  // positive side where a x + b y + c z + d > 0
};

// The distance part alone: 0..7.
int GetDistanceLevel(const cBox& box, const cVector3& cameraPosition, float viewDistance);
// The level a chunk is drawn at: distance level (0 without camera or with V = 0) plus bias, at most 7, then at
// most the chunk's coarsest level.
int SelectChunkLevel(const ITerrainChunk& chunk, const sTerrainWalk& walk);
// Fills the culling and selection values from a camera (null: no frustum test, no distance part).
sTerrainWalk MakeTerrainWalk(ICamera* camera, float viewDistance, std::uint32_t levelBias);

// The clip-pass test for a node box: with CLIP_REFLECTION skip when e < -h, otherwise with CLIP_UNDERWATER skip
// when e > h, where e is the plane value at the box centre and h half the box height. True: keep the node.
bool PassesClipTest(const cBox& box, std::uint16_t clipFlags, const cPlane& plane);

// Called for every leaf chunk the walk reaches, with its level.
using tTerrainChunkVisitor = void (*)(const ITerrainChunk& chunk, int level, void* context);
// Depth-first walk (children 0..3) skipping nodes the frustum rejects and nodes the clip test rejects; returns
// the number of chunks visited.
int WalkTerrainTree(const sTerrainNode* root, const sTerrainWalk& walk, tTerrainChunkVisitor visitor,
                    void* context);

// Draws one chunk at a level: its vertex buffer, that level's index buffer, one indexed triangle strip (the level's
// strip and the chunk's skirts). Returns the triangles drawn (indices - 2; 0 for an empty level, which draws
// nothing).
int DrawTerrainChunk(video::IRenderer* renderer, const ITerrainChunk& chunk, int level);
// Walks the tree and draws every chunk reached at its selected level; returns the triangles drawn. The
// caller binds shader, textures and states, and unbinds the buffers afterwards.
int DrawTerrainTree(video::IRenderer* renderer, const sTerrainNode* root, const sTerrainWalk& walk);

} // namespace velmora::scene

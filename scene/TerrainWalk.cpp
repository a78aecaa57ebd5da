#include "scene/TerrainWalk.h"

#include <algorithm>
#include <cmath>

#include "scene/ITerrainChunk.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"

namespace velmora::scene {

int GetDistanceLevel(const cBox& box, const cVector3& cameraPosition, float viewDistance) {
    if (box.Contains(cameraPosition)) {
        return 0;
    }
    if (!(viewDistance > 0.0f)) {
        return 0;
    }
    float nearest = DistanceSquared(cameraPosition, box.GetCorner(0));
    for (int corner = 1; corner < 8; ++corner) {
        const float d = DistanceSquared(cameraPosition, box.GetCorner(corner));
        if (d < nearest) {
            nearest = d;
        }
    }
    const float level = 8.0f * std::sqrt(nearest) / viewDistance;
    // Compared before converting: a huge distance must not overflow the integer.
    return level >= 7.0f ? 7 : static_cast<int>(level);
}

int SelectChunkLevel(const ITerrainChunk& chunk, const sTerrainWalk& walk) {
    std::uint32_t level = walk.levelBias;
    if (walk.hasCamera && walk.viewDistance > 0.0f) {
        level += static_cast<std::uint32_t>(GetDistanceLevel(chunk.GetBoundingBox(), walk.cameraPosition,
                                                             walk.viewDistance));
    }
    if (level > 7 || level < walk.levelBias) {
        level = 7;
    }
    const int coarsest = chunk.GetCoarsestLevel();
    return static_cast<int>(level) > coarsest ? coarsest : static_cast<int>(level);
}

sTerrainWalk MakeTerrainWalk(ICamera* camera, float viewDistance, std::uint32_t levelBias) {
    sTerrainWalk walk;
    walk.viewDistance = viewDistance;
    walk.levelBias = levelBias;
    if (camera) {
        walk.frustum = camera->GetFrustum();
        walk.cameraPosition = camera->GetPosition();
        walk.hasCamera = true;
    }
    return walk;
}

bool PassesClipTest(const cBox& box, std::uint16_t clipFlags, const cPlane& plane) {
    if (!(clipFlags & (CLIP_REFLECTION | CLIP_UNDERWATER))) {
        return true;
    }
    const cVector3 centre = box.GetCenter();
    const float halfHeight = (box.max.y - box.min.y) * 0.5f;
    const float e = plane.Distance(centre);
    if (clipFlags & CLIP_REFLECTION) {
        return !(e < -halfHeight);
    }
    return !(e > halfHeight);
}

namespace {

int Walk(const sTerrainNode* node, const sTerrainWalk& walk, tTerrainChunkVisitor visitor, void* context) {
    if (walk.frustum && !walk.frustum->ContainsBox(node->box.min, node->box.max)) {
        return 0;
    }
    if (!PassesClipTest(node->box, walk.clipFlags, walk.clipPlane)) {
        return 0;
    }
    if (node->children) {
        // Nearest child first: drawn front to back, hidden ground fails the depth test before it is shaded.
        int order[4] = {0, 1, 2, 3};
        if (walk.hasCamera) {
            float distance[4];
            for (int child = 0; child < 4; ++child) {
                distance[child] = DistanceSquared(walk.cameraPosition, node->children[child].box.GetCenter());
            }
            std::sort(order, order + 4, [&distance](int a, int b) { return distance[a] < distance[b]; });
        }
        int visited = 0;
        for (int child : order) {
            visited += Walk(&node->children[child], walk, visitor, context);
        }
        return visited;
    }
    if (!node->chunk) {
        return 0;
    }
    visitor(*node->chunk, SelectChunkLevel(*node->chunk, walk), context);
    return 1;
}

struct sDrawContext {
    video::IRenderer* renderer;
    int triangles;
};

void DrawVisitor(const ITerrainChunk& chunk, int level, void* context) {
    auto* draw = static_cast<sDrawContext*>(context);
    draw->triangles += DrawTerrainChunk(draw->renderer, chunk, level);
}

} // namespace

int WalkTerrainTree(const sTerrainNode* root, const sTerrainWalk& walk, tTerrainChunkVisitor visitor,
                    void* context) {
    if (!root || !visitor) {
        return 0;
    }
    return Walk(root, walk, visitor, context);
}

int DrawTerrainChunk(video::IRenderer* renderer, const ITerrainChunk& chunk, int level) {
    const std::uint32_t strip = chunk.GetIndexCount(level);
    const std::uint32_t indices = strip < 3 ? 0 : strip + chunk.GetSkirtIndexCount(level);
    video::IIndexBuffer* indexBuffer = chunk.GetIndexBuffer(level);
    video::IVertexBuffer* vertexBuffer = chunk.GetVertexBuffer();
    if (!renderer || indices < 3 || !indexBuffer || !vertexBuffer) {
        return 0;
    }
    renderer->SetVertexBuffer(vertexBuffer);
    renderer->SetIndexBuffer(indexBuffer);
    renderer->RenderIndexedPrimitives(video::PT_TRIANGLE_STRIP, 0, static_cast<int>(chunk.GetBufferVertexCount()),
                                      static_cast<int>(indices));
    return static_cast<int>(indices) - 2;
}

int DrawTerrainTree(video::IRenderer* renderer, const sTerrainNode* root, const sTerrainWalk& walk) {
    sDrawContext context{renderer, 0};
    WalkTerrainTree(root, walk, DrawVisitor, &context);
    return context.triangles;
}

} // namespace velmora::scene

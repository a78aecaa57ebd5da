#pragma once
// Drawing shared by the small winged effects (butterflies, birds): one indexed
// triangle list of their own buffers under the world transform times their
// matrix, texture on stage 0, no culling, blended and alpha-tested; blending
// and the alpha test go back to what the pipeline had set, so that entities
// drawn after them look the same whatever the scene order.

#include "engine/core/cMatrix.h"

namespace velmora::video {
class IIndexBuffer;
class IRenderer;
class ITexture2D;
class IVertexBuffer;
}

namespace velmora::scene {

// Draws vertexCount vertices and indexCount indices as above; leaves stage 0, the buffers empty and culling
// clockwise.
void DrawWingedMesh(video::IRenderer* renderer, video::ITexture2D* texture, const cMatrix& world,
                    video::IVertexBuffer* vertices, video::IIndexBuffer* indices, int vertexCount, int indexCount,
                    float alphaReference);

} // namespace velmora::scene

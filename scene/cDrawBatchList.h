#pragma once
// Draw batches: one mesh part to draw with a world matrix. The vegetation
// collects them (ITerrainVegetation::CollectBatches) and so do the pipelines
// for the placed scene meshes; the list is sorted by texture so that parts
// sharing a texture are drawn one after another, then drawn in one of two
// forms. A list keeps its storage between frames: Clear, Add and Sort
// allocate nothing once it has reached its working size.

#include <cstddef>
#include <vector>

#include "engine/core/cMatrix.h"

namespace velmora::video {
class IRenderer;
class IShader;
}

namespace velmora::scene {

class IMeshNode;

struct sDrawBatch {
    IMeshNode* part = nullptr; // not owned
    cMatrix matrix;            // world matrix
};

class cDrawBatchList {
public:
    // Empties the list, keeping its storage.
    void Clear() { m_Batches.clear(); }
    // Appends a batch; parts without device buffers are left out.
    void Add(IMeshNode* part, const cMatrix& matrix);
    // Stable merge sort by the mesh part's texture (by the texture object's address, ascending).
    void Sort();
    // Drops the batches whose part, placed by its matrix, lies wholly above the height `y` (what a clip plane
    // keeping the space below y would cut away anyway); keeps the order of the rest.
    void RemoveAbove(float y);
    std::size_t GetCount() const { return m_Batches.size(); }
    bool IsEmpty() const { return m_Batches.empty(); }
    const sDrawBatch& operator[](std::size_t index) const { return m_Batches[index]; }
    const std::vector<sDrawBatch>& GetBatches() const { return m_Batches; }

    // Fixed-function form: per batch, world transform pushed and multiplied by the batch matrix, the mesh part's buffers
    // and texture (stage 0), one indexed triangle list, transform popped; then buffers and stage 0 unbound.
    // Returns the triangles drawn.
    int RenderFixedFunction(video::IRenderer* renderer) const;
    // Underwater form: binds the shader (the underwater-object program) and gives it "u_ViewMatrix" and
    // "u_ProjectionMatrix" from the renderer's current matrices and "u_WorldMatrix" per batch (all
    // transposed for the shader), with the same buffers, texture and draw per batch; then buffers, stage 0
    // and the shader unbound. The caller gives the shader its other uniforms ("u_WaterLevel"). Returns the
    // triangles drawn.
    int RenderUnderwater(video::IRenderer* renderer, video::IShader* shader) const;

private:
    std::vector<sDrawBatch> m_Batches;
    std::vector<sDrawBatch> m_Scratch; // the merge sort's second buffer
};

} // namespace velmora::scene

#pragma once
// Draw batches: one mesh part to draw with a world matrix. The vegetation
// collects them (ITerrainVegetation::CollectBatches) and so do the pipelines
// for the placed scene meshes; the list is sorted by texture so that parts
// sharing a texture are drawn one after another, then drawn in one of two
// forms. A list keeps its storage between frames: Clear, Add and Sort
// allocate nothing once it has reached its working size.
//
// A batch also carries its instance's sway anchor (cWind::GetAnchor): every
// part of an instance gets the same one, so that the wind moves the instance
// as a whole.

#include <cstddef>
#include <vector>

#include "engine/core/cMatrix.h"
#include "engine/core/cVector4.h"

namespace velmora::video {
class IRenderer;
class IShader;
}

namespace velmora::scene {

class IMeshNode;
class cWind;

struct sDrawBatch {
    IMeshNode* part = nullptr; // not owned
    cMatrix matrix;            // world matrix
    cVector4 anchor;           // sway anchor: centre x, foot height, centre z, height (0: no sway)
};

// What the mesh-program form hands its program besides the matrices.
struct sMeshProgramInputs {
    const cWind* wind = nullptr; // null: still air
    cVector3 camera;             // "u_Camera": where the pass looks from
    float viewDistance = 0.0f;   // distance meshes are drawn within (the flutter fades out towards it)
};

class cDrawBatchList {
public:
    // Empties the list, keeping its storage.
    void Clear() { m_Batches.clear(); }
    // Appends a batch; a mesh node without device buffers is left out. Without an anchor the node does not
    // sway (its anchor is the matrix's translation with no height).
    void Add(IMeshNode* part, const cMatrix& matrix);
    void Add(IMeshNode* part, const cMatrix& matrix, const cVector4& anchor);
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
    // Returns the triangles drawn. With a wind, each batch is first bent about its anchor as one shear
    // (cWind::GetShear), the same for every part of an instance.
    int RenderFixedFunction(video::IRenderer* renderer, const cWind* wind = nullptr) const;
    // Mesh-program form: binds the program and gives it "u_ViewMatrix" (the renderer's current world
    // transform, e.g. the water's mirror, times its view) and "u_ProjectionMatrix", the wind's uniforms,
    // "u_Camera" and per batch "u_WorldMatrix" and "u_WindAnchor" (matrices transposed for the shader), with
    // the same buffers, texture and draw per batch as the fixed-function form; then buffers, stage 0 and the
    // program unbound. The caller gives the program its other uniforms. Returns the triangles drawn.
    int RenderWithProgram(video::IRenderer* renderer, video::IShader* shader, const sMeshProgramInputs& inputs) const;
    // Underwater form: binds the shader (the underwater-object program) and gives it "u_ViewMatrix" and
    // "u_ProjectionMatrix" from the renderer's current matrices and "u_WorldMatrix" per batch (all
    // transposed for the shader), with the same buffers, texture and draw per batch; then buffers, stage 0
    // and the shader unbound. The caller gives the shader its other uniforms ("u_WaterLevel"). Returns the
    // triangles drawn. (The mesh-program form in still air, from an unmirrored world.)
    int RenderUnderwater(video::IRenderer* renderer, video::IShader* shader) const;

private:
    std::vector<sDrawBatch> m_Batches;
    std::vector<sDrawBatch> m_Scratch; // the merge sort's second buffer
};

} // namespace velmora::scene

#include "scene/cDrawBatchList.h"

#include <cstdint>

#include "scene/IStaticMesh.h"
#include "scene/cWind.h"
#include "video/IRenderer.h"
#include "video/IShader.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

bool Before(const sDrawBatch& a, const sDrawBatch& b) {
    return reinterpret_cast<std::uintptr_t>(a.part->GetTexture()) <
           reinterpret_cast<std::uintptr_t>(b.part->GetTexture());
}

// Merges the sorted runs [begin, middle) and [middle, end) of `from` into `to`, taking from the left run
// on ties so that equal textures keep their order.
void Merge(const sDrawBatch* from, sDrawBatch* to, std::size_t begin, std::size_t middle, std::size_t end) {
    std::size_t left = begin;
    std::size_t right = middle;
    for (std::size_t out = begin; out < end; ++out) {
        if (left < middle && (right >= end || !Before(from[right], from[left]))) {
            to[out] = from[left++];
        } else {
            to[out] = from[right++];
        }
    }
}

void DrawPart(video::IRenderer* renderer, const sDrawBatch& batch) {
    renderer->SetVertexBuffer(batch.part->GetVertexBuffer());
    renderer->SetIndexBuffer(batch.part->GetIndexBuffer());
    renderer->SetTexture(batch.part->GetTexture(), 0);
    renderer->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, batch.part->GetStartIndex(),
                                      batch.part->GetVertexCount(), batch.part->GetIndexCount());
}

void UnbindParts(video::IRenderer* renderer) {
    renderer->SetVertexBuffer(nullptr);
    renderer->SetIndexBuffer(nullptr);
    renderer->SetTexture(nullptr, 0);
}

} // namespace

void cDrawBatchList::Add(IMeshNode* part, const cMatrix& matrix) {
    Add(part, matrix, cVector4(matrix.GetTranslation(), 0.0f));
}

void cDrawBatchList::Add(IMeshNode* part, const cMatrix& matrix, const cVector4& anchor) {
    if (!part || !part->GetVertexBuffer() || !part->GetIndexBuffer() || part->GetIndexCount() <= 0) {
        return;
    }
    m_Batches.push_back(sDrawBatch{part, matrix, anchor});
}

void cDrawBatchList::Sort() {
    const std::size_t count = m_Batches.size();
    if (count < 2) {
        return;
    }
    // Bottom-up merge sort between the list and its scratch buffer, which keeps its storage.
    m_Scratch.resize(count);
    sDrawBatch* from = m_Batches.data();
    sDrawBatch* to = m_Scratch.data();
    for (std::size_t width = 1; width < count; width *= 2) {
        for (std::size_t begin = 0; begin < count; begin += 2 * width) {
            const std::size_t middle = begin + width < count ? begin + width : count;
            const std::size_t end = begin + 2 * width < count ? begin + 2 * width : count;
            Merge(from, to, begin, middle, end);
        }
        sDrawBatch* swap = from;
        from = to;
        to = swap;
    }
    if (from != m_Batches.data()) {
        m_Batches.swap(m_Scratch);
    }
}

void cDrawBatchList::RemoveAbove(float y) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_Batches.size(); ++i) {
        const sDrawBatch& batch = m_Batches[i];
        if (batch.part->GetBoundingBox().Transformed(batch.matrix).min.y > y) {
            continue;
        }
        m_Batches[kept++] = batch;
    }
    m_Batches.resize(kept);
}

int cDrawBatchList::RenderFixedFunction(video::IRenderer* renderer, const cWind* wind) const {
    if (!renderer) {
        return 0;
    }
    const bool sway = wind && wind->GetStrength() > 0.0f;
    int triangles = 0;
    for (const sDrawBatch& batch : m_Batches) {
        renderer->PushTransform(video::MM_WORLD);
        // Under the current world transform (identity, or the water's mirror in the reflection pass).
        renderer->SetTransform(video::MM_WORLD, sway ? batch.matrix * wind->GetShear(batch.anchor) : batch.matrix,
                               true);
        DrawPart(renderer, batch);
        renderer->PopTransform(video::MM_WORLD);
        triangles += batch.part->GetIndexCount() / 3;
    }
    UnbindParts(renderer);
    return triangles;
}

int cDrawBatchList::RenderUnderwater(video::IRenderer* renderer, video::IShader* shader) const {
    return RenderWithProgram(renderer, shader, sMeshProgramInputs());
}

int cDrawBatchList::RenderWithProgram(video::IRenderer* renderer, video::IShader* shader,
                                      const sMeshProgramInputs& inputs) const {
    if (!renderer || !shader) {
        return 0;
    }
    cMatrix world;
    cMatrix view;
    cMatrix projection;
    renderer->GetTransform(video::MM_WORLD, world);
    renderer->GetTransform(video::MM_VIEW, view);
    renderer->GetTransform(video::MM_PROJECTION, projection);
    renderer->SetShader(shader);
    // The program places the batches in the world itself; what the renderer's world transform does to the
    // world (the water's mirror) comes before the view.
    shader->SetUniform("u_ViewMatrix", (world * view).Transposed());
    shader->SetUniform("u_ProjectionMatrix", projection.Transposed());
    shader->SetUniform("u_Camera", inputs.camera);
    if (inputs.wind) {
        inputs.wind->SetUniforms(shader, inputs.viewDistance);
    } else {
        cWind still;
        still.SetStrength(0.0f);
        still.SetUniforms(shader, inputs.viewDistance);
    }
    int triangles = 0;
    for (const sDrawBatch& batch : m_Batches) {
        shader->SetUniform("u_WorldMatrix", batch.matrix.Transposed());
        shader->SetUniform("u_WindAnchor", batch.anchor);
        DrawPart(renderer, batch);
        triangles += batch.part->GetIndexCount() / 3;
    }
    UnbindParts(renderer);
    renderer->SetShader(nullptr);
    return triangles;
}

} // namespace velmora::scene

#include "scene/EffectDrawing.h"

#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

void DrawWingedMesh(video::IRenderer* r, video::ITexture2D* texture, const cMatrix& world,
                    video::IVertexBuffer* vertices, video::IIndexBuffer* indices, int vertexCount, int indexCount,
                    float alphaReference) {
    const int alphaFunc = r->GetAlphaTestFunc();
    const int blendSource = r->GetBlendSrc();
    const int blendDestination = r->GetBlendDst();
    r->SetCullMode(video::CM_NONE);
    r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    r->SetAlphaTest(video::CMP_GEQUAL, alphaReference);
    r->SetTexture(texture, 0);
    r->PushTransform(video::MM_WORLD);
    r->SetTransform(video::MM_WORLD, world, true);
    r->SetVertexBuffer(vertices);
    r->SetIndexBuffer(indices);
    r->RenderIndexedPrimitives(video::PT_TRIANGLES, 0, vertexCount, indexCount);
    r->SetVertexBuffer(nullptr);
    r->SetIndexBuffer(nullptr);
    r->PopTransform(video::MM_WORLD);
    r->SetTexture(nullptr, 0);
    r->SetAlphaTest(alphaFunc, alphaReference);
    r->SetBlendFunc(blendSource, blendDestination);
    r->SetCullMode(video::CM_CW);
}

} // namespace velmora::scene

#include "scene/cBillboard.h"

#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

void GetBillboardCorners(const cVector3& position, const cVector3& camera, float width, float height,
                         cVector3 corners[4]) {
    const cVector3 view = (camera - position).Normalized();
    const cVector3 up(0.0f, height, 0.0f);
    // up x view points to the camera's right, so the first corner is the picture's bottom-left.
    cVector3 right = Cross(cVector3(0.0f, 1.0f, 0.0f), view);
    // A camera on the billboard or straight above or below it leaves no right axis: take x.
    if (right.Normalize() < 1e-6f) right = cVector3(1.0f, 0.0f, 0.0f);
    right *= width;
    corners[0] = position - right - up;
    corners[1] = position - right + up;
    corners[2] = position + right + up;
    corners[3] = position + right - up;
}

void RenderBillboard(video::IRenderer* renderer, const IBillboard& billboard, const cVector3& camera) {
    if (!renderer) return;
    cVector3 corners[4];
    GetBillboardCorners(billboard.GetWorldMatrix().GetTranslation(), camera, billboard.GetBillboardWidth(),
                        billboard.GetBillboardHeight(), corners);
    // Blended whatever pass came before (the rain pass ends with blending off), so that the texture's
    // transparent parts stay transparent; the blend factors found are put back.
    const int blendSource = renderer->GetBlendSrc();
    const int blendDestination = renderer->GetBlendDst();
    renderer->SetDepthWrite(false);
    renderer->SetCullMode(video::CM_NONE);
    renderer->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_INV_SRC_ALPHA);
    renderer->SetTexture(billboard.GetTexture(), 0);
    renderer->RenderQuad(billboard.GetTexture(), corners, cRect(0.0f, 0.0f, 1.0f, 1.0f), cColor(255, 255, 255, 255));
    renderer->SetTexture(nullptr, 0);
    renderer->SetBlendFunc(blendSource, blendDestination);
    renderer->SetCullMode(video::CM_CW);
    renderer->SetDepthWrite(true);
}

} // namespace velmora::scene

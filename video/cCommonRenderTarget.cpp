#include "video/cCommonRenderTarget.h"

#include "video/cCommonRenderer.h"

namespace velmora::video {

cCommonRenderTarget::~cCommonRenderTarget() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<IRenderTarget*>(this));
}

void cCommonRenderTarget::Release() {
    if (m_Renderer && m_Renderer->GetBoundRenderTarget() == this) m_Renderer->SetRenderTarget(nullptr);
    delete this;
}

} // namespace velmora::video

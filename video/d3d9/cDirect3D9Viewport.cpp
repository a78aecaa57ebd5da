#include "video/d3d9/cDirect3D9Viewport.h"

#include "engine/core/cException.h"
#include "video/d3d9/D3D9Util.h"

namespace velmora::video {

cDirect3D9Viewport::cDirect3D9Viewport(cDirect3D9Renderer* renderer) : m_Renderer(renderer) {
    renderer->AddDeviceResource(this);
}

cDirect3D9Viewport::~cDirect3D9Viewport() {
    m_Renderer->OnResourceDestroyed(static_cast<IViewport*>(this));
    m_Renderer->RemoveDeviceResource(this);
    ReleaseCurrent();
    d3d9::SafeRelease(m_SwapChain);
}

void cDirect3D9Viewport::Release() {
    // The main window takes over again before the swap chain goes.
    if (m_Renderer->GetBoundViewport() == this) m_Renderer->SetViewport(nullptr);
    delete this;
}

HRESULT cDirect3D9Viewport::MakeSwapChain() {
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 0;
    pp.BackBufferHeight = 0;
    pp.BackBufferFormat = D3DFMT_UNKNOWN;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = m_Window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return m_Renderer->GetDevice()->CreateAdditionalSwapChain(&pp, &m_SwapChain);
}

void cDirect3D9Viewport::Create(HWND window) {
    m_Window = window;
    const HRESULT hr = MakeSwapChain();
    if (FAILED(hr)) {
        m_SwapChain = nullptr;
        RaiseError("cDirect3D9Viewport::Create : failed to create viewport, %s", d3d9::ErrorText(hr));
    }
}

bool cDirect3D9Viewport::MakeCurrent() {
    ReleaseCurrent();
    m_Current = true;
    if (!m_SwapChain || FAILED(m_SwapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &m_BackBuffer))) {
        m_BackBuffer = nullptr;
        return false;
    }
    m_Renderer->GetDevice()->SetRenderTarget(0, m_BackBuffer);
    return true;
}

void cDirect3D9Viewport::ReleaseCurrent() {
    m_Current = false;
    d3d9::SafeRelease(m_BackBuffer);
}

void cDirect3D9Viewport::OnDeviceLost() {
    const bool current = m_Current;
    ReleaseCurrent();
    m_Current = current;
    d3d9::SafeRelease(m_SwapChain);
}

void cDirect3D9Viewport::OnDeviceReset() {
    if (FAILED(MakeSwapChain())) m_SwapChain = nullptr;
    if (m_Current) MakeCurrent();
}

} // namespace velmora::video

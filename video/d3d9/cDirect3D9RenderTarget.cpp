#include "video/d3d9/cDirect3D9RenderTarget.h"

#include <new>

#include "engine/core/cException.h"
#include "video/d3d9/D3D9Util.h"
#include "video/d3d9/cDirect3D9Texture2D.h"

namespace velmora::video {

cDirect3D9RenderTarget::cDirect3D9RenderTarget(cDirect3D9Renderer* renderer)
    : cCommonRenderTarget(renderer), m_D3DRenderer(renderer) {
    renderer->AddDeviceResource(this);
}

cDirect3D9RenderTarget::~cDirect3D9RenderTarget() {
    m_D3DRenderer->RemoveDeviceResource(this);
    d3d9::SafeRelease(m_SavedSurface);
    d3d9::SafeRelease(m_SavedDepth);
    ReleaseSurfaces();
    if (m_Texture) m_Texture->Release();
}

void cDirect3D9RenderTarget::MakeSurfaces() {
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    HRESULT hr = device->CreateTexture(m_Width, m_Height, 1, D3DUSAGE_RENDERTARGET, m_Format, D3DPOOL_DEFAULT,
                                       &m_DeviceTexture, nullptr);
    if (FAILED(hr)) {
        m_DeviceTexture = nullptr;
        RaiseError("cDirect3D9RenderTarget::CreateRenderTarget : %s", d3d9::ErrorText(hr));
    }
    hr = m_DeviceTexture->GetSurfaceLevel(0, &m_Surface);
    if (FAILED(hr)) {
        m_Surface = nullptr;
        RaiseError("cDirect3D9RenderTarget::CreateRenderTarget : %s", d3d9::ErrorText(hr));
    }
    hr = device->CreateDepthStencilSurface(m_Width, m_Height, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &m_Depth,
                                           nullptr);
    if (FAILED(hr)) {
        m_Depth = nullptr;
        RaiseError("cDirect3D9RenderTarget::Create : %s", d3d9::ErrorText(hr));
    }
    if (m_Texture) {
        static_cast<cDirect3D9Texture2D*>(m_Texture)->AttachTarget(m_DeviceTexture, m_Width, m_Height,
                                                                   m_Format == D3DFMT_A8R8G8B8 ? 4 : 3);
    }
}

void cDirect3D9RenderTarget::ReleaseSurfaces() {
    if (m_Texture) static_cast<cDirect3D9Texture2D*>(m_Texture)->AttachTarget(nullptr, m_Width, m_Height, 4);
    d3d9::SafeRelease(m_Surface);
    d3d9::SafeRelease(m_Depth);
    d3d9::SafeRelease(m_DeviceTexture);
}

void cDirect3D9RenderTarget::Create(int width, int height, int format) {
    const int maxSize = m_D3DRenderer->GetMaxTextureSize();
    if (width <= 0 || height <= 0 || (maxSize > 0 && (width > maxSize || height > maxSize))) {
        RaiseError("cDirect3D9RenderTarget::Create : invalid size %dx%d", width, height);
    }
    switch (format) {
        case 0:
        case 1: m_Format = D3DFMT_X8R8G8B8; break;
        case 2: m_Format = D3DFMT_A8R8G8B8; break;
        case 3:
        case 4:
        case 5: m_Format = D3DFMT_R32F; break;
        default: RaiseError("cDirect3D9RenderTarget::Create : invalid format %d", format);
    }
    m_Width = static_cast<std::uint32_t>(width);
    m_Height = static_cast<std::uint32_t>(height);
    if (m_Texture) {
        m_Texture->Release();
        m_Texture = nullptr;
    }
    cDirect3D9Texture2D* texture = new (std::nothrow) cDirect3D9Texture2D(nullptr, m_D3DRenderer);
    if (!texture) RaiseError("cDirect3D9RenderTarget::CreateRenderTarget : failed to allocate memory");
    m_Texture = texture;
    MakeSurfaces();
    m_Texture->SetAddressMode(TA_CLAMP_TO_EDGE);
    m_Projection = cMatrix::Perspective(90.0, static_cast<double>(width) / height, 0.25, 800.0);
}

void cDirect3D9RenderTarget::Attach() {
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    device->GetRenderTarget(0, &m_SavedSurface);
    device->GetDepthStencilSurface(&m_SavedDepth);
    device->SetRenderTarget(0, m_Surface);
    device->SetDepthStencilSurface(m_Depth);
    m_D3DRenderer->OnRenderTargetChanged();
    m_D3DRenderer->SetViewportRect(0, 0, static_cast<int>(m_Width), static_cast<int>(m_Height));
}

void cDirect3D9RenderTarget::Bind() {
    if (!m_Surface || !m_Depth) return;
    m_D3DRenderer->PushTransform(MM_WORLD);
    m_D3DRenderer->PushTransform(MM_PROJECTION);
    m_D3DRenderer->GetViewportArea(m_SavedViewport[0], m_SavedViewport[1], m_SavedViewport[2], m_SavedViewport[3]);
    Attach();
    m_Bound = true;
    // The whole target is cleared whatever the scissor says.
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    DWORD scissor = FALSE;
    device->GetRenderState(D3DRS_SCISSORTESTENABLE, &scissor);
    if (scissor) device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, d3d9::ToD3DColor(m_ClearColor), 1.0f, 0);
    if (scissor) device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
}

void cDirect3D9RenderTarget::Unbind() {
    if (!m_Bound) return;
    m_Bound = false;
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    if (m_SavedSurface) device->SetRenderTarget(0, m_SavedSurface);
    device->SetDepthStencilSurface(m_SavedDepth);
    d3d9::SafeRelease(m_SavedSurface);
    d3d9::SafeRelease(m_SavedDepth);
    m_D3DRenderer->OnRenderTargetChanged();
    m_D3DRenderer->SetViewportRect(m_SavedViewport[0], m_SavedViewport[1], m_SavedViewport[2], m_SavedViewport[3]);
    m_D3DRenderer->PopTransform(MM_WORLD);
    m_D3DRenderer->PopTransform(MM_PROJECTION);
}

void cDirect3D9RenderTarget::OnDeviceLost() {
    // The device gives its own surfaces back on reset; only the references go.
    d3d9::SafeRelease(m_SavedSurface);
    d3d9::SafeRelease(m_SavedDepth);
    ReleaseSurfaces();
}

void cDirect3D9RenderTarget::OnDeviceReset() {
    try {
        MakeSurfaces();
    } catch (const cException&) {
        ReleaseSurfaces();
        return;
    }
    if (m_Bound) Attach();
}

} // namespace velmora::video

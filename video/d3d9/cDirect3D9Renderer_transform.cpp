// cDirect3D9Renderer: projection, viewport, matrices and their stacks.
//
// The engine's matrices keep OpenGL's depth range -1..1 and pixel centres at
// half-integer window coordinates. The device gets the projection followed by
// a fix-up: depth (z + w) / 2, the picture moved by half a pixel left and up
// (Direct3D 9 samples pixel centres at whole coordinates), and, while a render
// target is bound, mirrored vertically so that the target stores its bottom
// row first like every other texture.
#include <algorithm>

#include "engine/core/cException.h"
#include "video/IResources.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

namespace {

const D3DMATRIX* AsD3D(const cMatrix& m) { return reinterpret_cast<const D3DMATRIX*>(m.Data()); }

} // namespace

cMatrix cDirect3D9Renderer::GetDeviceFix() const {
    cMatrix fix = cMatrix::Identity();
    const float w = m_ViewportWidth > 0 ? static_cast<float>(m_ViewportWidth) : 1.0f;
    const float h = m_ViewportHeight > 0 ? static_cast<float>(m_ViewportHeight) : 1.0f;
    fix(1, 1) = m_FlipY ? -1.0f : 1.0f;
    fix(2, 2) = 0.5f;
    fix(3, 0) = -1.0f / w;
    fix(3, 1) = 1.0f / h;
    fix(3, 2) = 0.5f;
    return fix;
}

cMatrix cDirect3D9Renderer::GetDeviceWorldViewProjection() const {
    return m_World * m_View * m_Projection * GetDeviceFix();
}

void cDirect3D9Renderer::LoadProjection() {
    if (!m_Device) return;
    const cMatrix device = m_Projection * GetDeviceFix();
    m_Device->SetTransform(D3DTS_PROJECTION, AsD3D(device));
}

void cDirect3D9Renderer::LoadWorldView() {
    if (!m_Device) return;
    m_Device->SetTransform(D3DTS_WORLD, AsD3D(m_World));
    m_Device->SetTransform(D3DTS_VIEW, AsD3D(m_View));
}

void cDirect3D9Renderer::LoadViewport() {
    if (!m_Device) return;
    D3DVIEWPORT9 viewport{};
    viewport.X = static_cast<DWORD>(std::max(m_ViewportX, 0));
    // The window counts rows from the top; a flipped target from its bottom, as the engine does.
    const int top = m_FlipY ? m_ViewportY : GetTargetHeight() - m_ViewportY - m_ViewportHeight;
    viewport.Y = static_cast<DWORD>(std::max(top, 0));
    viewport.Width = static_cast<DWORD>(m_ViewportWidth);
    viewport.Height = static_cast<DWORD>(m_ViewportHeight);
    viewport.MinZ = m_DepthNear;
    viewport.MaxZ = m_DepthFar;
    m_Device->SetViewport(&viewport);
}

void cDirect3D9Renderer::OnRenderTargetChanged() {
    m_FlipY = m_RenderTarget != nullptr;
    // The mirror turns the winding around: the device culls the other way while it lasts.
    DeviceSetCullMode(m_CullMode);
    LoadProjection();
}

void cDirect3D9Renderer::SetProjectionMatrix(const cMatrix& matrix) {
    m_Projection = matrix;
    LoadProjection();
}

void cDirect3D9Renderer::SetProjection(int type, int width, int height, double zNear, double zFar, double aspect,
                                       double fov) {
    if (width == 0) width = GetClientWidth();
    if (height == 0) height = GetClientHeight();
    if (type == PROJ_ORTHOGRAPHIC) {
        SetProjectionMatrix(cMatrix::Orthographic(0.0, width, 0.0, height, -4096.0, 4096.0));
        return;
    }
    if (aspect == -1.0) aspect = height != 0 ? static_cast<double>(width) / height : 1.0;
    if (fov == -1.0) fov = 90.0;
    SetProjectionMatrix(cMatrix::Perspective(fov, aspect, zNear, zFar));
}

void cDirect3D9Renderer::SetOrthographic(double left, double right, double bottom, double top, double zNear,
                                         double zFar) {
    SetProjectionMatrix(cMatrix::Orthographic(left, right, bottom, top, zNear, zFar));
}

void cDirect3D9Renderer::SetViewportRect(int x, int y, int width, int height) {
    const int targetWidth = GetTargetWidth();
    const int targetHeight = GetTargetHeight();
    x = std::max(x, 0);
    y = std::max(y, 0);
    height = std::max(0, std::min(height, targetHeight - y));
    width = std::max(0, std::min(width, targetWidth - x));
    m_ViewportX = x;
    m_ViewportY = y;
    m_ViewportWidth = width;
    m_ViewportHeight = height;
    m_DepthNear = 0.0f;
    m_DepthFar = 1.0f;
    LoadViewport();
    // The half-pixel shift depends on the viewport's size.
    LoadProjection();
}

void cDirect3D9Renderer::GetViewportRect(int& x, int& y, int& width, int& height) {
    // As a top-left-origin device holds it.
    x = m_ViewportX;
    y = GetTargetHeight() - m_ViewportY - m_ViewportHeight;
    width = m_ViewportWidth;
    height = m_ViewportHeight;
}

void cDirect3D9Renderer::SetDepthRange(float zNear, float zFar) {
    CountDeviceCall();
    m_DepthNear = std::clamp(zNear, 0.0f, 1.0f);
    m_DepthFar = std::clamp(zFar, 0.0f, 1.0f);
    LoadViewport();
}

void cDirect3D9Renderer::SetTransform(int mode, const cMatrix* matrix, bool multiply) {
    cMatrix* current = nullptr;
    switch (mode) {
        case MM_WORLD:
        case MM_WORLD1: current = &m_World; break;
        case MM_VIEW: current = &m_View; break;
        case MM_PROJECTION: current = &m_Projection; break;
        case MM_TEXTURE: current = &m_TextureMatrix; break;
        default: RaiseError("cDirect3D9Renderer::SetTransform : invalid matrix mode %d", mode);
    }
    const cMatrix given = matrix ? *matrix : cMatrix::Identity();
    *current = multiply ? given * *current : given;
    if (!m_Device) return;
    switch (mode) {
        case MM_PROJECTION: LoadProjection(); break;
        case MM_TEXTURE: m_Device->SetTransform(D3DTS_TEXTURE0, AsD3D(m_TextureMatrix)); break;
        case MM_VIEW: m_Device->SetTransform(D3DTS_VIEW, AsD3D(m_View)); break;
        default: m_Device->SetTransform(D3DTS_WORLD, AsD3D(m_World)); break;
    }
}

void cDirect3D9Renderer::GetTransform(int mode, cMatrix& out) {
    switch (mode) {
        case MM_WORLD:
        case MM_WORLD1: out = m_World; break;
        case MM_VIEW: out = m_View; break;
        case MM_PROJECTION: out = m_Projection; break;
        case MM_TEXTURE: out = m_TextureMatrix; break;
        default: RaiseError("cDirect3D9Renderer::GetTransform : invalid matrix mode %d", mode);
    }
}

void cDirect3D9Renderer::PushTransform(int mode) {
    if (mode < 0 || mode > 3) RaiseError("cDirect3D9Renderer::PushTransform : invalid matrix mode %d", mode);
    sMatrixStack& stack = m_Stacks[mode];
    if (stack.depth >= kStackDepth) RaiseError("cDirect3D9Renderer::PushTransform : stack overflow");
    GetTransform(mode, stack.matrices[stack.depth]);
    ++stack.depth;
}

void cDirect3D9Renderer::PopTransform(int mode) {
    if (mode < 0 || mode > 3) RaiseError("cDirect3D9Renderer::PopTransform : invalid matrix mode %d", mode);
    sMatrixStack& stack = m_Stacks[mode];
    if (stack.depth <= 0) RaiseError("cDirect3D9Renderer::PopTransform : stack underflow");
    --stack.depth;
    SetTransform(mode, &stack.matrices[stack.depth]);
}

void cDirect3D9Renderer::Project(cVector3& out, const cVector3& in) {
    const cVector3 ndc = (cVector4(in, 1.0f) * (m_World * m_View * m_Projection)).Project();
    out.x = static_cast<float>(m_ViewportX) + (ndc.x + 1.0f) * 0.5f * static_cast<float>(m_ViewportWidth);
    out.y = static_cast<float>(m_ViewportY) + (ndc.y + 1.0f) * 0.5f * static_cast<float>(m_ViewportHeight);
    out.z = ndc.z;
}

} // namespace velmora::video

// cDirect3D9Renderer: shaders ("_d3d9" files), materials, render targets, occlusion queries and
// output viewports.
#include <new>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "video/d3d9/cDirect3D9Material.h"
#include "video/d3d9/cDirect3D9OcclusionQuery.h"
#include "video/d3d9/cDirect3D9RenderTarget.h"
#include "video/d3d9/cDirect3D9Renderer.h"
#include "video/d3d9/cDirect3D9Shader.h"
#include "video/d3d9/cDirect3D9Viewport.h"

namespace velmora::video {

IShader* cDirect3D9Renderer::CreateShader(const char* fileName, const std::string& vertexHeader,
                                          const std::string& fragmentHeader) {
    if (!fileName) return cCommonRenderer::CreateShader(fileName, vertexHeader, fragmentHeader);
    // "_d3d9" goes before the extension of the file name (a dot in a folder name is no extension).
    std::string name = fileName;
    const std::size_t dot = name.find_last_of('.');
    const std::size_t slash = name.find_last_of('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.insert(dot, "_d3d9");
    return cCommonRenderer::CreateShader(name.c_str(), vertexHeader, fragmentHeader);
}

IShader* cDirect3D9Renderer::LoadShader(IFile* file, const std::string& fileName, const std::string& vertexHeader,
                                        const std::string& fragmentHeader) {
    IShader* shader = m_Factory->NewShader(&m_Resources);
    try {
        cDirect3D9Shader* d3d = static_cast<cDirect3D9Shader*>(shader);
        d3d->LoadShaderCode(file, vertexHeader, fragmentHeader);
        d3d->SetName(fileName);
        d3d->CompileShader();
    } catch (...) {
        delete shader;
        throw;
    }
    return shader;
}

IMaterial* cDirect3D9Renderer::CreateMaterial() {
    IMaterial* material = new (std::nothrow) cDirect3D9Material(this);
    if (!material) LogWarning("cDirect3D9Renderer::CreateMaterial : failed to allocate memory\n");
    return material;
}

IRenderTarget* cDirect3D9Renderer::CreateRenderTarget(int width, int height, int format, int /*ignored*/) {
    LogMessage("Creating render target... ");
    cDirect3D9RenderTarget* target = new (std::nothrow) cDirect3D9RenderTarget(this);
    if (!target) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    try {
        target->Create(width, height, format);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        delete target;
        return nullptr;
    }
    LogMessage("succeeded\n");
    return target;
}

IOcclusionQuery* cDirect3D9Renderer::CreateOcclusionQuery() {
    cDirect3D9OcclusionQuery* query = new (std::nothrow) cDirect3D9OcclusionQuery(this);
    if (!query) {
        LogWarning("cDirect3D9Renderer::CreateOcclusionQuery : failed to allocate memory\n");
        return nullptr;
    }
    try {
        query->Create();
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        delete query;
        return nullptr;
    }
    return query;
}

IViewport* cDirect3D9Renderer::CreateViewport(tWindowHandle window) {
    cDirect3D9Viewport* viewport = new (std::nothrow) cDirect3D9Viewport(this);
    if (!viewport) {
        LogWarning("cDirect3D9Renderer::CreateViewport : failed to allocate memory\n");
        return nullptr;
    }
    try {
        viewport->Create(static_cast<HWND>(window));
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        delete viewport;
        return nullptr;
    }
    return viewport;
}

void cDirect3D9Renderer::DeviceSetViewport(IViewport* viewport) {
    CountDeviceCall();
    if (m_CurrentOutput) m_CurrentOutput->ReleaseCurrent();
    m_CurrentOutput = static_cast<cDirect3D9Viewport*>(viewport);
    if (m_CurrentOutput && m_CurrentOutput->MakeCurrent()) return;
    // The window's own back buffer is the colour target again.
    IDirect3DSurface9* backBuffer = nullptr;
    if (SUCCEEDED(m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        m_Device->SetRenderTarget(0, backBuffer);
        backBuffer->Release();
    }
}

} // namespace velmora::video

// cOpenGLRenderer: shaders ("_ogl" files), materials, render targets, occlusion queries and
// output viewports.
#include <SDL.h>

#include <new>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "video/opengl/cOpenGLMaterial.h"
#include "video/opengl/cOpenGLOcclusionQuery.h"
#include "video/opengl/cOpenGLRenderTarget.h"
#include "video/opengl/cOpenGLRenderer.h"
#include "video/opengl/cOpenGLViewport.h"

namespace velmora::video {

IShader* cOpenGLRenderer::CreateShader(const char* fileName, const std::string& vertexHeader,
                                       const std::string& fragmentHeader) {
    if (!fileName) return cCommonRenderer::CreateShader(fileName, vertexHeader, fragmentHeader);
    // "_ogl" goes before the extension of the file name (a dot in a folder name is no extension).
    std::string name = fileName;
    const std::size_t dot = name.find_last_of('.');
    const std::size_t slash = name.find_last_of('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.insert(dot, "_ogl");
    return cCommonRenderer::CreateShader(name.c_str(), vertexHeader, fragmentHeader);
}

IMaterial* cOpenGLRenderer::CreateMaterial() {
    IMaterial* material = new (std::nothrow) cOpenGLMaterial(this);
    if (!material) LogWarning("cOpenGLRenderer::CreateMaterial : failed to allocate memory\n");
    return material;
}

IRenderTarget* cOpenGLRenderer::CreateRenderTarget(int width, int height, int format, int /*ignored*/) {
    LogMessage("Creating render target... ");
    cOpenGLRenderTarget* target = new (std::nothrow) cOpenGLRenderTarget(this);
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

IOcclusionQuery* cOpenGLRenderer::CreateOcclusionQuery() {
    cOpenGLOcclusionQuery* query = new (std::nothrow) cOpenGLOcclusionQuery();
    if (!query) {
        LogWarning("cOpenGLRenderer::CreateOcclusionQuery : failed to allocate memory\n");
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

IViewport* cOpenGLRenderer::CreateViewport(tWindowHandle window) {
    cOpenGLViewport* viewport = new (std::nothrow) cOpenGLViewport(this);
    if (!viewport) {
        LogWarning("cOpenGLRenderer::CreateViewport : failed to allocate memory\n");
        return nullptr;
    }
    try {
        viewport->Create(window, m_Context, m_Window);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        delete viewport;
        return nullptr;
    }
    return viewport;
}

void cOpenGLRenderer::DeviceSetViewport(IViewport* viewport) {
    CountDeviceCall();
    // The one context draws into the viewport's window until the main window is made current.
    const cOpenGLViewport* output = static_cast<const cOpenGLViewport*>(viewport);
    SDL_Window* window = static_cast<SDL_Window*>(output ? output->GetWindow() : m_Window);
    if (SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(m_Context)) != 0) {
        RaiseError("cOpenGLRenderer::SetViewport : %s", SDL_GetError());
    }
}

} // namespace velmora::video

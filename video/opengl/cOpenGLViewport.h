#pragma once
// An output viewport on OpenGL: another SDL window with an OpenGL surface
// that the renderer's context draws into while the viewport is current
// (IRenderer::SetViewport); EndFrame then presents that window. The window
// stays the caller's; it must outlive the viewport.

#include "video/IResources.h"

namespace velmora::video {

class cOpenGLRenderer;

class cOpenGLViewport : public IViewport {
public:
    explicit cOpenGLViewport(cOpenGLRenderer* renderer) : m_Renderer(renderer) {}
    // The main window becomes current again if this viewport was.
    ~cOpenGLViewport() override;
    cOpenGLViewport(const cOpenGLViewport&) = delete;
    cOpenGLViewport& operator=(const cOpenGLViewport&) = delete;

    // Checks that the renderer's context can draw into the window; raises
    // "cOpenGLViewport::Create : failed to create viewport, <reason>".
    void Create(void* window, void* context, void* mainWindow);
    void Release() override { delete this; }

    void* GetWindow() const { return m_Window; }

private:
    cOpenGLRenderer* m_Renderer;
    void* m_Window = nullptr;
};

} // namespace velmora::video

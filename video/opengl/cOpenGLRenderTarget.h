#pragma once
// A render target on OpenGL: a framebuffer object with a colour texture of one
// level and its own depth-stencil renderbuffer. Format indices: 0 and 1 RGB8,
// 2 RGBA8, 3-5 one float channel (R32F; RGBA32F where the driver has float
// textures but no one-channel ones).
//
// Bind pushes the world and projection matrices, saves the framebuffer,
// viewport and scissor rectangle, draws into the target over its whole size
// (viewport and scissor rectangle) and clears its colour (to the clear colour)
// and depth (to 1). Unbind restores them.

#include <epoxy/gl.h>

#include "engine/core/cMatrix.h"
#include "video/cCommonRenderTarget.h"

namespace velmora::video {

class cOpenGLRenderer;

class cOpenGLRenderTarget : public cCommonRenderTarget {
public:
    explicit cOpenGLRenderTarget(cOpenGLRenderer* renderer);
    ~cOpenGLRenderTarget() override;

    // Makes the texture, the depth buffer and the framebuffer; raises with the reason.
    void Create(int width, int height, int format);
    void Bind() override;
    void Unbind() override;

    GLuint GetFramebuffer() const { return m_Framebuffer; }
    // The GL internal format of the colour texture.
    GLenum GetColorFormat() const { return m_ColorFormat; }
    // The projection made for the target (90 degrees, its aspect, 0.25 to 800); not applied.
    const cMatrix& GetProjection() const { return m_Projection; }

private:
    cOpenGLRenderer* m_GLRenderer;
    GLuint m_Framebuffer = 0;
    GLuint m_DepthBuffer = 0;
    GLenum m_ColorFormat = 0;
    GLint m_SavedFramebuffer = 0;
    GLint m_SavedViewport[4] = {0, 0, 0, 0};
    GLint m_SavedScissor[4] = {0, 0, 0, 0};
    cMatrix m_Projection;
};

} // namespace velmora::video

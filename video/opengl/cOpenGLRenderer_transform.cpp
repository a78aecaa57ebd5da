// cOpenGLRenderer: projection, viewport, matrices and their stacks.
#include <epoxy/gl.h>

#include <algorithm>

#include "engine/core/cException.h"
#include "video/IResources.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

void cOpenGLRenderer::LoadModelView() {
    // Row-vector matrices are exactly GL's column-major memory: world x view goes in unchanged.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf((m_World * m_View).Data());
}

void cOpenGLRenderer::SetProjectionMatrix(const cMatrix& matrix) {
    m_Projection = matrix;
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m_Projection.Data());
    glMatrixMode(GL_MODELVIEW);
}

void cOpenGLRenderer::SetProjection(int type, int width, int height, double zNear, double zFar, double aspect,
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

void cOpenGLRenderer::SetOrthographic(double left, double right, double bottom, double top, double zNear,
                                      double zFar) {
    SetProjectionMatrix(cMatrix::Orthographic(left, right, bottom, top, zNear, zFar));
}

void cOpenGLRenderer::SetViewportRect(int x, int y, int width, int height) {
    const int targetWidth = GetTargetWidth();
    const int targetHeight = GetTargetHeight();
    height = std::max(0, std::min(height, targetHeight - y));
    width = std::max(0, std::min(width, targetWidth - x));
    m_ViewportX = x;
    m_ViewportY = y;
    m_ViewportWidth = width;
    m_ViewportHeight = height;
    glViewport(x, y, width, height);
    glDepthRange(0.0, 1.0);
    UpdatePointAttenuation();
}

void cOpenGLRenderer::GetViewportRect(int& x, int& y, int& width, int& height) {
    // As a top-left-origin device holds it.
    x = m_ViewportX;
    y = GetTargetHeight() - m_ViewportY - m_ViewportHeight;
    width = m_ViewportWidth;
    height = m_ViewportHeight;
}

void cOpenGLRenderer::SetTransform(int mode, const cMatrix* matrix, bool multiply) {
    cMatrix* current = nullptr;
    switch (mode) {
        case MM_WORLD:
        case MM_WORLD1: current = &m_World; break;
        case MM_VIEW: current = &m_View; break;
        case MM_PROJECTION: current = &m_Projection; break;
        case MM_TEXTURE: current = &m_TextureMatrix; break;
        default: RaiseError("cOpenGLRenderer::SetTransform : invalid matrix mode %d", mode);
    }
    const cMatrix given = matrix ? *matrix : cMatrix::Identity();
    *current = multiply ? given * *current : given;
    switch (mode) {
        case MM_PROJECTION: SetProjectionMatrix(m_Projection); break;
        case MM_TEXTURE:
            glActiveTexture(GL_TEXTURE0);
            glMatrixMode(GL_TEXTURE);
            glLoadMatrixf(m_TextureMatrix.Data());
            glMatrixMode(GL_MODELVIEW);
            break;
        default: LoadModelView(); break;
    }
}

void cOpenGLRenderer::GetTransform(int mode, cMatrix& out) {
    switch (mode) {
        case MM_WORLD:
        case MM_WORLD1: out = m_World; break;
        case MM_VIEW: out = m_View; break;
        case MM_PROJECTION: out = m_Projection; break;
        case MM_TEXTURE: out = m_TextureMatrix; break;
        default: RaiseError("cOpenGLRenderer::GetTransform : invalid matrix mode %d", mode);
    }
}

void cOpenGLRenderer::PushTransform(int mode) {
    if (mode < 0 || mode > 3) RaiseError("cOpenGLRenderer::PushTransform : invalid matrix mode %d", mode);
    sMatrixStack& stack = m_Stacks[mode];
    if (stack.depth >= kStackDepth) RaiseError("cOpenGLRenderer::PushTransform : stack overflow");
    GetTransform(mode, stack.matrices[stack.depth]);
    ++stack.depth;
}

void cOpenGLRenderer::PopTransform(int mode) {
    if (mode < 0 || mode > 3) RaiseError("cOpenGLRenderer::PopTransform : invalid matrix mode %d", mode);
    sMatrixStack& stack = m_Stacks[mode];
    if (stack.depth <= 0) RaiseError("cOpenGLRenderer::PopTransform : stack underflow");
    --stack.depth;
    SetTransform(mode, &stack.matrices[stack.depth]);
}

void cOpenGLRenderer::Project(cVector3& out, const cVector3& in) {
    const cVector3 ndc = (cVector4(in, 1.0f) * (m_World * m_View * m_Projection)).Project();
    out.x = static_cast<float>(m_ViewportX) + (ndc.x + 1.0f) * 0.5f * static_cast<float>(m_ViewportWidth);
    out.y = static_cast<float>(m_ViewportY) + (ndc.y + 1.0f) * 0.5f * static_cast<float>(m_ViewportHeight);
    out.z = ndc.z;
}

} // namespace velmora::video

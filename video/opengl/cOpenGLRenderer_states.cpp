// cOpenGLRenderer: render states, fog, clip planes, stencil, lights, texture stages.
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

#include "engine/core/cException.h"
#include "video/ITexture.h"
#include "video/opengl/GLUtil.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

void cOpenGLRenderer::DeviceSetAlphaTest(int func, float reference) {
    CountDeviceCall();
    if (func == CMP_OFF) {
        glDisable(GL_ALPHA_TEST);
        return;
    }
    // The reference compares as a byte: reference x 255 truncated.
    const float clamped = reference < 0.0f ? 0.0f : (reference > 1.0f ? 1.0f : reference);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(gl::CompareFunc(func), std::floor(clamped * 255.0f) / 255.0f);
}

void cOpenGLRenderer::DeviceSetBlendFunc(int src, int dst) {
    CountDeviceCall();
    if (src == BF_NONE || dst == BF_NONE) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(gl::BlendFactor(src), gl::BlendFactor(dst));
}

void cOpenGLRenderer::SetBlendColor(float r, float g, float b, float a) {
    CountDeviceCall();
    glBlendColor(r, g, b, a);
}

void cOpenGLRenderer::DeviceSetFillMode(int mode) {
    CountDeviceCall();
    glPolygonMode(GL_FRONT_AND_BACK, mode == FM_WIREFRAME ? GL_LINE : GL_FILL);
}

void cOpenGLRenderer::DeviceSetCullMode(int mode) {
    CountDeviceCall();
    if (mode == CM_NONE) {
        glDisable(GL_CULL_FACE);
        return;
    }
    // Front faces are counter-clockwise on screen: mode 1 culls those, mode 2 the clockwise ones.
    glEnable(GL_CULL_FACE);
    glCullFace(mode == CM_CCW ? GL_FRONT : GL_BACK);
}

void cOpenGLRenderer::DeviceSetDepthWrite(bool enable) {
    CountDeviceCall();
    glDepthMask(enable ? GL_TRUE : GL_FALSE);
}

void cOpenGLRenderer::DeviceSetFogMode(int mode) {
    CountDeviceCall();
    if (mode == FOG_OFF) {
        glDisable(GL_FOG);
        return;
    }
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, mode == FOG_LINEAR ? GL_LINEAR : (mode == FOG_EXP ? GL_EXP : GL_EXP2));
}

void cOpenGLRenderer::SetFogColor(int index, float r, float g, float b, float a) {
    if (index != 0) return;
    CountDeviceCall();
    const GLfloat colour[4] = {r, g, b, a};
    glFogfv(GL_FOG_COLOR, colour);
}

void cOpenGLRenderer::SetFogParameter(int parameter, float value) {
    CountDeviceCall();
    switch (parameter) {
        case FP_START: glFogf(GL_FOG_START, value); break;
        case FP_END: glFogf(GL_FOG_END, value); break;
        case FP_DENSITY: glFogf(GL_FOG_DENSITY, value); break;
        default: break;
    }
}

void cOpenGLRenderer::SetClipPlane(int index, int enable, float a, float b, float c, float d) {
    CountDeviceCall();
    for (int i = 0; i < m_MaxClipPlanes; ++i) glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(i));
    if (enable == 0) return;
    if (index < 0 || index >= m_MaxClipPlanes) RaiseError("cOpenGLRenderer::SetClipPlane : invalid plane index %d", index);
    GLdouble equation[4] = {a, b, c, d};
    glMatrixMode(GL_MODELVIEW);
    if (m_Shader) {
        // Programs clip against gl_Position: hand GL the plane in clip space.
        const cMatrix wvp = m_World * m_View * m_Projection;
        const cVector4 plane = cVector4(a, b, c, d) * wvp.Inverse().Transposed();
        equation[0] = plane.x;
        equation[1] = plane.y;
        equation[2] = plane.z;
        equation[3] = plane.w;
        glLoadIdentity();
    } else {
        // GL keeps planes in eye space: give it the world-space plane under the view matrix.
        glLoadMatrixf(m_View.Data());
    }
    glClipPlane(GL_CLIP_PLANE0 + static_cast<GLenum>(index), equation);
    glEnable(GL_CLIP_PLANE0 + static_cast<GLenum>(index));
    LoadModelView();
}

void cOpenGLRenderer::SetScissor(bool enable, int x, int y, int width, int height) {
    CountDeviceCall();
    m_ScissorEnabled = enable;
    if (!enable) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    // The rectangle counts from the top-left of the target.
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, GetTargetHeight() - (y + height), width < 0 ? 0 : width, height < 0 ? 0 : height);
}

void cOpenGLRenderer::SetStencilTest(bool enable) {
    CountDeviceCall();
    if (enable) {
        glEnable(GL_STENCIL_TEST);
    } else {
        glDisable(GL_STENCIL_TEST);
    }
}

void cOpenGLRenderer::DeviceSetStencilFunc(int func, int reference) {
    CountDeviceCall();
    m_StencilFunc = func;
    m_StencilRef = reference;
    glStencilFunc(gl::CompareFunc(func), reference, m_StencilMask);
}

void cOpenGLRenderer::SetStencilOp(int fail, int depthFail, int pass) {
    CountDeviceCall();
    glStencilOp(gl::StencilOp(fail), gl::StencilOp(depthFail), gl::StencilOp(pass));
}

void cOpenGLRenderer::SetStencilMask(std::uint32_t mask) {
    // The mask selects the bits the stencil comparison reads.
    CountDeviceCall();
    m_StencilMask = mask;
    glStencilFunc(gl::CompareFunc(m_StencilFunc), m_StencilRef, mask);
}

void cOpenGLRenderer::SetDepthFunc(int func) {
    CountDeviceCall();
    glDepthFunc(gl::CompareFunc(func));
}

void cOpenGLRenderer::SetDepthRange(float zNear, float zFar) {
    CountDeviceCall();
    glDepthRange(std::clamp(zNear, 0.0f, 1.0f), std::clamp(zFar, 0.0f, 1.0f));
}

void cOpenGLRenderer::SetPointSize(float size) {
    CountDeviceCall();
    glPointSize(size);
    glPointParameterf(GL_POINT_SIZE_MIN, size);
}

void cOpenGLRenderer::UpdatePointAttenuation() {
    // Points scale with the distance d by viewport height x sqrt(1 / (1 + d + d^2)).
    const float h = m_ViewportHeight > 0 ? static_cast<float>(m_ViewportHeight) : 1.0f;
    const GLfloat k = 1.0f / (h * h);
    const GLfloat coefficients[3] = {k, k, k};
    glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, coefficients);
}

void cOpenGLRenderer::SetLighting(bool enable) {
    CountDeviceCall();
    if (enable) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }
}

void cOpenGLRenderer::EnableLight(int index, bool enable) {
    CountDeviceCall();
    if (index < 0 || index >= m_MaxLights) RaiseError("cOpenGLRenderer::EnableLight : invalid light index %d", index);
    if (enable) {
        glEnable(GL_LIGHT0 + static_cast<GLenum>(index));
    } else {
        glDisable(GL_LIGHT0 + static_cast<GLenum>(index));
    }
}

void cOpenGLRenderer::SetLight(int index, const sLight& light) {
    CountDeviceCall();
    if (index < 0 || index >= m_MaxLights) RaiseError("cOpenGLRenderer::SetLight : invalid light index %d", index);
    const GLenum id = GL_LIGHT0 + static_cast<GLenum>(index);
    const GLfloat diffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    const GLfloat ambient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(id, GL_DIFFUSE, diffuse);
    glLightfv(id, GL_AMBIENT, ambient);
    glLightfv(id, GL_SPECULAR, black);
    // Positions and directions are in world space: specify them under the view matrix alone.
    GLfloat position[4];
    if (light.type == LT_DIRECTIONAL) {
        // GL wants the direction towards the light.
        position[0] = light.direction.x;
        position[1] = light.direction.y;
        position[2] = light.direction.z;
        position[3] = 0.0f;
    } else {
        position[0] = light.position.x;
        position[1] = light.position.y;
        position[2] = light.position.z;
        position[3] = 1.0f;
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(m_View.Data());
    glLightfv(id, GL_POSITION, position);
    LoadModelView();
    glLightf(id, GL_SPOT_CUTOFF, 180.0f);
    glLightf(id, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(id, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(id, GL_QUADRATIC_ATTENUATION, 0.0f);

    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat materialAmbient[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, materialAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
}

void cOpenGLRenderer::DeviceSetTexture(ITexture* texture, int stage) {
    CountDeviceCall();
    // A device with a single texture unit takes every texture at stage 0.
    const int unit = m_MaxTextureStages < 2 ? 0 : stage;
    if (texture) {
        texture->Bind(unit);
        return;
    }
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    if (unit < m_MaxTextureStages) {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_CUBE_MAP);
    }
}

void cOpenGLRenderer::ApplyStageCombiner(int stage) {
    if (stage < 0 || stage >= m_MaxTextureStages) return;
    const int kind = stage < 2 ? stage : 2;
    if (m_StageCombiner[stage] == kind) return;
    m_StageCombiner[stage] = kind;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
    if (kind == 0) {
        // Colour and alpha: texture x diffuse.
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        return;
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    // Stage 1 adds the detail map around grey (texture + current - 0.5); later stages modulate.
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, kind == 1 ? GL_ADD_SIGNED : GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
}

} // namespace velmora::video

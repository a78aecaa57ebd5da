#include "video/opengl/cOpenGLMaterial.h"

#include <epoxy/gl.h>

#include <algorithm>

#include "video/opengl/cOpenGLRenderer.h"
#include "video/opengl/cOpenGLVertexBuffer.h"

namespace velmora::video {

namespace {

float g_AppliedDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};

} // namespace

cOpenGLMaterial::cOpenGLMaterial(cOpenGLRenderer* renderer) : cCommonMaterial(renderer) {}

const float* cOpenGLMaterial::GetAppliedDiffuse() { return g_AppliedDiffuse; }

void cOpenGLMaterial::UseVertexColors(bool enable) {
    if (enable) {
        glEnable(GL_COLOR_MATERIAL);
        return;
    }
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, g_AppliedDiffuse);
}

void cOpenGLMaterial::ApplyColors() {
    std::copy(m_Colors[MC_DIFFUSE], m_Colors[MC_DIFFUSE] + 4, g_AppliedDiffuse);
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m_Colors[MC_DIFFUSE]);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m_Colors[MC_AMBIENT]);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m_Colors[MC_SPECULAR]);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m_Colors[MC_EMISSIVE]);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::max(0.0f, std::min(m_Shininess, 128.0f)));
    // Vertex colours go on feeding the diffuse unless a buffer without colours is bound.
    auto* buffer = dynamic_cast<cOpenGLVertexBuffer*>(m_Renderer->GetBoundVertexBuffer());
    if (!buffer || buffer->HasUsage(VU_COLOR)) glEnable(GL_COLOR_MATERIAL);
}

} // namespace velmora::video

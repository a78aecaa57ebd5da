// cOpenGLRenderer: immediate drawing and drawing from buffers.
#include <epoxy/gl.h>

#include <vector>

#include "engine/core/cException.h"
#include "video/IBuffers.h"
#include "video/opengl/GLUtil.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

namespace {

// Points are drawn as sprites (texture coordinates across the point).
class cPointSprites {
public:
    explicit cPointSprites(int type) : m_On(type == PT_POINTS) {
        if (m_On) glEnable(GL_POINT_SPRITE);
    }
    ~cPointSprites() {
        if (m_On) glDisable(GL_POINT_SPRITE);
    }
    cPointSprites(const cPointSprites&) = delete;
    cPointSprites& operator=(const cPointSprites&) = delete;

private:
    bool m_On;
};

void Vertex(const cVector3& p, const cColor& c) {
    glColor4ub(c.r, c.g, c.b, c.a);
    glVertex3f(p.x, p.y, p.z);
}

void Vertex(const cVector3& p, const cColor& c, float s, float t) {
    glColor4ub(c.r, c.g, c.b, c.a);
    glMultiTexCoord2f(GL_TEXTURE0, s, t);
    glVertex3f(p.x, p.y, p.z);
}

// Eight corners: bit 0 selects max x, bit 1 max y, bit 2 max z.
void BoxCorners(const cVector3& min, const cVector3& max, cVector3 corners[8]) {
    for (int i = 0; i < 8; ++i) {
        corners[i] = cVector3((i & 1) ? max.x : min.x, (i & 2) ? max.y : min.y, (i & 4) ? max.z : min.z);
    }
}

// Triangles drawn from k vertices or indices of a primitive type (points and lines draw none).
std::uint64_t TriangleCount(int type, int k) {
    switch (type) {
        case PT_TRIANGLES:
        case PT_TRIANGLE_STRIP:
        case PT_TRIANGLE_FAN: return static_cast<std::uint64_t>(cOpenGLRenderer::PrimCount(type, k));
        case PT_QUADS: return 2u * static_cast<std::uint64_t>(cOpenGLRenderer::PrimCount(type, k));
        default: return 0;
    }
}

} // namespace

int cOpenGLRenderer::PrimCount(int type, int k) {
    switch (type) {
        case PT_POINTS: return k;
        case PT_LINES: return k / 2;
        case PT_LINE_STRIP: return k > 1 ? k - 1 : 0;
        case PT_TRIANGLES: return k / 3;
        case PT_TRIANGLE_STRIP:
        case PT_TRIANGLE_FAN: return k > 2 ? k - 2 : 0;
        case PT_QUADS: return k / 4;
        default: RaiseError("cOpenGLRenderer::PrimCount : unhandled primitive type");
    }
}

void cOpenGLRenderer::BeginImmediate() {
    // Immediate vertices never come from buffer objects; texture coordinates default to 0.
    glMultiTexCoord4f(GL_TEXTURE0, 0.0f, 0.0f, 0.0f, 1.0f);
}

void cOpenGLRenderer::EndImmediate() {
    // Buffers without colours draw white, as they would without an immediate draw before.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void cOpenGLRenderer::RenderLine(const cVector3& a, const cVector3& b, const cColor& color) {
    BeginImmediate();
    glBegin(GL_LINES);
    Vertex(a, color);
    Vertex(b, color);
    glEnd();
    EndImmediate();
    CountDraw(0);
}

void cOpenGLRenderer::RenderLine2D(const cVector2& a, const cVector2& b, const cColor& color) {
    RenderLine(cVector3(a.x, a.y, 0.0f), cVector3(b.x, b.y, 0.0f), color);
}

void cOpenGLRenderer::RenderTriangle2D(const cVector2& a, const cVector2& b, const cVector2& c, const cColor& color) {
    BeginImmediate();
    glBegin(GL_TRIANGLES);
    Vertex(cVector3(a.x, a.y, 0.0f), color);
    Vertex(cVector3(b.x, b.y, 0.0f), color);
    Vertex(cVector3(c.x, c.y, 0.0f), color);
    glEnd();
    EndImmediate();
    CountDraw(1);
}

void cOpenGLRenderer::RenderBox(const cVector3& min, const cVector3& max, const cColor& color, bool markCenter) {
    cVector3 c[8];
    BoxCorners(min, max, c);
    // Eight edges as one strip through nine corners, then the four edges left.
    static const int kStrip[9] = {0, 1, 3, 2, 0, 4, 5, 7, 6};
    static const int kLines[8] = {6, 4, 1, 5, 3, 7, 2, 6};
    BeginImmediate();
    glBegin(GL_LINE_STRIP);
    for (int i : kStrip) Vertex(c[i], color);
    glEnd();
    glBegin(GL_LINES);
    for (int i : kLines) Vertex(c[i], color);
    glEnd();
    EndImmediate();
    CountDraw(0);
    CountDraw(0);
    if (markCenter) RenderAxes((min + max) * 0.5f, 0.05f);
}

void cOpenGLRenderer::RenderSolidBox(const cVector3& min, const cVector3& max, const cColor& color) {
    cVector3 c[8];
    BoxCorners(min, max, c);
    // Twelve triangles, counter-clockwise seen from outside.
    static const std::uint16_t kIndices[36] = {
        0, 3, 1, 0, 2, 3,  // -z
        4, 5, 7, 4, 7, 6,  // +z
        0, 1, 5, 0, 5, 4,  // -y
        2, 6, 7, 2, 7, 3,  // +y
        0, 4, 6, 0, 6, 2,  // -x
        1, 3, 7, 1, 7, 5,  // +x
    };
    BeginImmediate();
    glBegin(GL_TRIANGLES);
    for (std::uint16_t i : kIndices) Vertex(c[i], color);
    glEnd();
    EndImmediate();
    CountDraw(12);
}

void cOpenGLRenderer::RenderRect(ITexture* texture, const cRect& dst, const cRect& src, const cColor& color) {
    // GL samples texel centres at pixel centres without the half-pixel shift other devices need.
    const float x1 = dst.x1, y1 = dst.y1;
    const float x2 = x1 + (dst.x2 - dst.x1), y2 = y1 + (dst.y2 - dst.y1);
    if (texture) SetTexture(texture, 0);
    BeginImmediate();
    glBegin(GL_TRIANGLE_STRIP);
    Vertex(cVector3(x2, y2, 0.0f), color, src.x2, src.y1);
    Vertex(cVector3(x1, y2, 0.0f), color, src.x1, src.y1);
    Vertex(cVector3(x2, y1, 0.0f), color, src.x2, src.y2);
    Vertex(cVector3(x1, y1, 0.0f), color, src.x1, src.y2);
    glEnd();
    EndImmediate();
    CountDraw(2);
    if (texture) SetTexture(nullptr, 0);
}

void cOpenGLRenderer::DrawTexturedQuad(ITexture* texture, const cVector3 corners[4], const cVector3& offset,
                                       const cRect& texRect, const cColor& color) {
    if (!corners) return;
    if (texture) SetTexture(texture, 0);
    BeginImmediate();
    glBegin(GL_TRIANGLE_FAN);
    Vertex(corners[0] + offset, color, texRect.x1, texRect.y1);
    Vertex(corners[1] + offset, color, texRect.x1, texRect.y2);
    Vertex(corners[2] + offset, color, texRect.x2, texRect.y2);
    Vertex(corners[3] + offset, color, texRect.x2, texRect.y1);
    glEnd();
    EndImmediate();
    CountDraw(2);
    if (texture) SetTexture(nullptr, 0);
}

void cOpenGLRenderer::RenderQuad(ITexture* texture, const cVector3 corners[4], const cVector3& offset,
                                 const cRect& texRect, const cColor& color) {
    DrawTexturedQuad(texture, corners, offset, texRect, color);
}

void cOpenGLRenderer::RenderQuad(ITexture* texture, const cVector3 corners[4], const cRect& texRect,
                                 const cColor& color) {
    DrawTexturedQuad(texture, corners, cVector3(), texRect, color);
}

void cOpenGLRenderer::RenderPrimitives(int type, int first, int count) {
    const GLenum mode = gl::PrimitiveMode(type);
    if (PrimCount(type, count) <= 0 || first < 0) return;
    cPointSprites sprites(type);
    glDrawArrays(mode, first, count);
    CountDraw(TriangleCount(type, count));
}

void cOpenGLRenderer::RenderIndexedPrimitives(int type, int /*ignored*/, int firstIndex, int vertexCount,
                                              int indexCount) {
    const GLenum mode = gl::PrimitiveMode(type);
    // Without an index buffer GL would read the indices from client memory at the offset.
    if (!m_VertexBuffer || !m_IndexBuffer || PrimCount(type, indexCount) <= 0 || firstIndex < 0) return;
    const bool wide = m_IndexFormat == T_UINT;
    const std::uintptr_t offset = static_cast<std::uintptr_t>(firstIndex) * (wide ? 4u : 2u);
    cPointSprites sprites(type);
    glDrawRangeElements(mode, 0, static_cast<GLuint>(vertexCount > 0 ? vertexCount - 1 : 0), indexCount,
                        wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(offset));
    CountDraw(TriangleCount(type, indexCount));
}

void cOpenGLRenderer::RenderIndexedPrimitives(int type, int /*ignored*/, int vertexCount, int indexCount) {
    const GLenum mode = gl::PrimitiveMode(type);
    if (PrimCount(type, indexCount) <= 0 || !m_IndexBuffer) return;
    const bool wide = m_IndexFormat == T_UINT;
    cPointSprites sprites(type);
    glDrawRangeElements(mode, 0, static_cast<GLuint>(vertexCount > 0 ? vertexCount - 1 : 0), indexCount,
                        wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, nullptr);
    CountDraw(TriangleCount(type, indexCount));
}

void cOpenGLRenderer::RenderBezier2(const sBezier2& curve, int segments) {
    if (segments < 2) RaiseError("cOpenGLRenderer::RenderBezier2 : invalid point count");
    BeginImmediate();
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i <= segments; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(segments);
        const float u = 1.0f - t;
        Vertex(curve.start * (u * u) + curve.control * (2.0f * t * u) + curve.end * (t * t), cColor(255, 255, 255));
    }
    glEnd();
    EndImmediate();
    CountDraw(0);
}

void cOpenGLRenderer::RenderBezier3(const sBezier3& curve, int segments) {
    if (segments < 2) RaiseError("cOpenGLRenderer::RenderBezier3 : invalid point count");
    BeginImmediate();
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i <= segments; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(segments);
        const float u = 1.0f - t;
        Vertex(curve.start * (u * u * u) + curve.control1 * (3.0f * t * u * u) + curve.control2 * (3.0f * t * t * u) +
                   curve.end * (t * t * t),
               cColor(255, 255, 255));
    }
    glEnd();
    EndImmediate();
    CountDraw(0);
}

} // namespace velmora::video

#include "video/opengl/cOpenGLFont.h"

#include <epoxy/gl.h>

#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

cOpenGLFont::cOpenGLFont(cResourceManager* owner, cOpenGLRenderer* renderer)
    : cCommonFont(owner, renderer), m_GLRenderer(renderer) {}

void cOpenGLFont::DrawGlyph(int code, float x, float y) {
    const sCharacter& c = GetCharacter(code & 0xFF);
    if (c.advance == 0.0f || c.quadHeight == 0.0f) return;  // nothing to cover
    const float x1 = x, y1 = y;
    const float x2 = x1 + c.advance, y2 = y1 + c.quadHeight;
    const float s1 = c.u, t1 = c.v, s2 = c.u + c.width, t2 = c.v + c.height;
    glColor4ub(m_Color.r, m_Color.g, m_Color.b, m_Color.a);
    glBegin(GL_TRIANGLE_STRIP);
    glMultiTexCoord2f(GL_TEXTURE0, s2, t2);
    glVertex3f(x2, y2, 0.0f);
    glMultiTexCoord2f(GL_TEXTURE0, s1, t2);
    glVertex3f(x1, y2, 0.0f);
    glMultiTexCoord2f(GL_TEXTURE0, s2, t1);
    glVertex3f(x2, y1, 0.0f);
    glMultiTexCoord2f(GL_TEXTURE0, s1, t1);
    glVertex3f(x1, y1, 0.0f);
    glEnd();
    // Later buffer draws without colours stay white.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (m_GLRenderer) m_GLRenderer->CountDraw(2);
}

} // namespace velmora::video

#pragma once
// A bitmap font drawn with OpenGL: one textured quad per glyph, in the
// font's colour, at the pen position (GL samples texel centres at pixel
// centres, so the quad needs no half-pixel shift).

#include "video/cCommonFont.h"

namespace velmora::video {

class cOpenGLRenderer;

class cOpenGLFont : public cCommonFont {
public:
    cOpenGLFont(cResourceManager* owner, cOpenGLRenderer* renderer);

    void DrawGlyph(int code, float x, float y) override;

private:
    cOpenGLRenderer* m_GLRenderer;
};

} // namespace velmora::video

#include "video/d3d9/cDirect3D9Font.h"

#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

cDirect3D9Font::cDirect3D9Font(cResourceManager* owner, cDirect3D9Renderer* renderer)
    : cCommonFont(owner, renderer), m_D3DRenderer(renderer) {}

void cDirect3D9Font::DrawGlyph(int code, float x, float y) {
    const sCharacter& c = GetCharacter(code & 0xFF);
    if (c.advance == 0.0f || c.quadHeight == 0.0f || !m_D3DRenderer) return;  // nothing to cover
    // The atlas is bound at stage 0 by Print; the quad goes through the renderer's textured strip
    // without a texture of its own, so the binding stays.
    const cRect dst(x, y, x + c.advance, y + c.quadHeight);
    const cRect src(c.u, c.v + c.height, c.u + c.width, c.v);
    m_D3DRenderer->RenderRect(nullptr, dst, src, m_Color);
}

} // namespace velmora::video

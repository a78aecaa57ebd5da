#pragma once
// A bitmap font drawn by the Direct3D 9 renderer: one textured strip per glyph.

#include "video/cCommonFont.h"

namespace velmora::video {

class cDirect3D9Renderer;

class cDirect3D9Font : public cCommonFont {
public:
    cDirect3D9Font(cResourceManager* owner, cDirect3D9Renderer* renderer);
    void DrawGlyph(int code, float x, float y) override;

private:
    cDirect3D9Renderer* m_D3DRenderer;
};

} // namespace velmora::video

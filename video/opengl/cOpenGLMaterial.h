#pragma once
// A material on OpenGL: its colours and shininess become GL's front and back
// material (shininess capped at GL's 128).
//
// The diffuse colour comes from the vertices where they have colours (immediate
// drawing, buffers with a colour element: GL's colour material) and from the
// material otherwise. GL ignores a material diffuse set while the colour
// material is on, so the last one applied is kept here and given back by
// vertex buffers without colours when they are bound.

#include "video/cCommonMaterial.h"

namespace velmora::video {

class cOpenGLRenderer;

class cOpenGLMaterial : public cCommonMaterial {
public:
    explicit cOpenGLMaterial(cOpenGLRenderer* renderer);

    // The diffuse colour of the last material applied (white before any).
    static const float* GetAppliedDiffuse();
    // Lighting takes the diffuse colour from the vertices (true) or from the material.
    static void UseVertexColors(bool enable);

protected:
    void ApplyColors() override;
};

} // namespace velmora::video

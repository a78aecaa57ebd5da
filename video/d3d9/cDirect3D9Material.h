#pragma once
// A material on Direct3D 9: its colours become the device's D3DMATERIAL9. Vertex
// colours, where a buffer has them, feed the diffuse colour (the device's default
// colour source), as on every backend.

#include "video/cCommonMaterial.h"

namespace velmora::video {

class cDirect3D9Renderer;

class cDirect3D9Material : public cCommonMaterial {
public:
    explicit cDirect3D9Material(cDirect3D9Renderer* renderer);

protected:
    void ApplyColors() override;

private:
    cDirect3D9Renderer* m_D3DRenderer;
};

} // namespace velmora::video

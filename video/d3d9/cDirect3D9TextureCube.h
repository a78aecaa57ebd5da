#pragma once
// A cube texture on Direct3D 9 (DXT faces in the managed pool; a missing face is opaque black).
// Cube faces keep the rows of the file: cube maps have the same face layout on every device.

#include "video/d3d9/D3D9Api.h"

#include "video/cCommonTextureCube.h"

namespace velmora::video {

class cDirect3D9Renderer;

class cDirect3D9TextureCube : public cCommonTextureCube {
public:
    cDirect3D9TextureCube(cResourceManager* owner, cDirect3D9Renderer* renderer);
    ~cDirect3D9TextureCube() override;
    cDirect3D9TextureCube(const cDirect3D9TextureCube&) = delete;
    cDirect3D9TextureCube& operator=(const cDirect3D9TextureCube&) = delete;

    // Raises "cDirect3D9TextureCube::Create : failed to create texture, %s".
    void Create() override;
    void Bind(int stage) override;

private:
    cDirect3D9Renderer* m_Renderer;
    IDirect3DCubeTexture9* m_Texture = nullptr;
};

} // namespace velmora::video

#pragma once
// A render target on Direct3D 9: a default-pool colour texture (one level) with
// a D24S8 depth-stencil surface. Bound, it replaces the device's colour and
// depth surfaces and viewport (and saves the world and projection matrices);
// unbound, it puts back what it found. Drawing into it is mirrored vertically
// by the renderer, so that its texture holds the bottom row first.

#include "video/d3d9/D3D9Api.h"

#include "engine/core/cMatrix.h"
#include "video/cCommonRenderTarget.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

class cDirect3D9Texture2D;

class cDirect3D9RenderTarget : public cCommonRenderTarget, private cDirect3D9DeviceResource {
public:
    explicit cDirect3D9RenderTarget(cDirect3D9Renderer* renderer);
    ~cDirect3D9RenderTarget() override;

    // Format index 0 and 1 X8R8G8B8, 2 A8R8G8B8, 3-5 R32F. Raises with the device's text on failure.
    void Create(int width, int height, int format);
    void Bind() override;
    void Unbind() override;

private:
    void OnDeviceLost() override;
    void OnDeviceReset() override;
    // Makes the device texture, its surface and the depth surface; raises on failure.
    void MakeSurfaces();
    void ReleaseSurfaces();
    // Puts this target's surfaces and viewport on the device, saving what was there.
    void Attach();

    cDirect3D9Renderer* m_D3DRenderer;
    D3DFORMAT m_Format = D3DFMT_X8R8G8B8;
    IDirect3DTexture9* m_DeviceTexture = nullptr;
    IDirect3DSurface9* m_Surface = nullptr;
    IDirect3DSurface9* m_Depth = nullptr;
    IDirect3DSurface9* m_SavedSurface = nullptr;
    IDirect3DSurface9* m_SavedDepth = nullptr;
    int m_SavedViewport[4] = {0, 0, 0, 0};
    bool m_Bound = false;
    cMatrix m_Projection;
};

} // namespace velmora::video

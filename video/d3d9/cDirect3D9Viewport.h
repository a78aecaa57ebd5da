#pragma once
// A second output window on Direct3D 9: an additional swap chain over the
// window. While it is current its back buffer is the colour target and
// EndFrame presents it into its window.

#include "video/d3d9/D3D9Api.h"

#include "video/IResources.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

class cDirect3D9Viewport : public IViewport, private cDirect3D9DeviceResource {
public:
    explicit cDirect3D9Viewport(cDirect3D9Renderer* renderer);
    ~cDirect3D9Viewport() override;
    cDirect3D9Viewport(const cDirect3D9Viewport&) = delete;
    cDirect3D9Viewport& operator=(const cDirect3D9Viewport&) = delete;

    void Release() override;
    // Raises "cDirect3D9Viewport::Create : failed to create viewport, %s".
    void Create(HWND window);
    // Makes the back buffer the colour target; false when the device has none to give.
    bool MakeCurrent();
    // Drops the back buffer reference taken by MakeCurrent.
    void ReleaseCurrent();

    IDirect3DSwapChain9* GetSwapChain() const { return m_SwapChain; }
    HWND GetWindow() const { return m_Window; }

private:
    void OnDeviceLost() override;
    void OnDeviceReset() override;
    HRESULT MakeSwapChain();

    cDirect3D9Renderer* m_Renderer;
    IDirect3DSwapChain9* m_SwapChain = nullptr;
    IDirect3DSurface9* m_BackBuffer = nullptr;
    HWND m_Window = nullptr;
    bool m_Current = false;
};

} // namespace velmora::video

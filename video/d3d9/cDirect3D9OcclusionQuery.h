#pragma once
// An occlusion query on Direct3D 9: the pixels that pass the depth test between Begin and End.

#include "video/d3d9/D3D9Api.h"

#include "video/IResources.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

class cDirect3D9OcclusionQuery : public IOcclusionQuery, private cDirect3D9DeviceResource {
public:
    // How long GetResult waits for the device before the last result stands.
    static constexpr unsigned kWaitMilliseconds = 500;

    explicit cDirect3D9OcclusionQuery(cDirect3D9Renderer* renderer);
    ~cDirect3D9OcclusionQuery() override;
    cDirect3D9OcclusionQuery(const cDirect3D9OcclusionQuery&) = delete;
    cDirect3D9OcclusionQuery& operator=(const cDirect3D9OcclusionQuery&) = delete;

    // Raises "cDirect3D9OcclusionQuery::Create : not supported" on a device without occlusion queries.
    void Create();
    void Release() override { delete this; }
    std::uint32_t GetResult() override;
    std::uint32_t GetLastResult() const override { return m_LastResult; }
    void Begin() override;
    void End() override;
    bool IsAvailable() override;

private:
    void OnDeviceLost() override;
    void OnDeviceReset() override;

    cDirect3D9Renderer* m_Renderer;
    IDirect3DQuery9* m_Query = nullptr;
    std::uint32_t m_LastResult = 0;
    bool m_Issued = false;
};

} // namespace velmora::video

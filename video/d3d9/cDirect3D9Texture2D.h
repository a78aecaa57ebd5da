#pragma once
// A 2D texture on Direct3D 9, in the managed pool. Compressed images upload
// as DXT1/3/5 (decoded to A8R8G8B8 where the device has no DXT format), each
// level flipped so that its bottom row comes first, as uncompressed images
// are stored; texture coordinates then pass to the device unchanged.
// Uncompressed images upload as X8R8G8B8 or A8R8G8B8 with mip-maps made by the
// device. A render target's colour texture is the same class around a
// default-pool texture the target owns.

#include "video/d3d9/D3D9Api.h"

#include "video/cCommonTexture2D.h"

namespace velmora::video {

class cDirect3D9Renderer;

class cDirect3D9Texture2D : public cCommonTexture2D {
public:
    cDirect3D9Texture2D(cResourceManager* owner, cDirect3D9Renderer* renderer);
    ~cDirect3D9Texture2D() override;
    cDirect3D9Texture2D(const cDirect3D9Texture2D&) = delete;
    cDirect3D9Texture2D& operator=(const cDirect3D9Texture2D&) = delete;

    // Writes pixels of the texture's own layout (3 or 4 bytes, rows bottom first) at (x, y) of level 0.
    bool UpdateRect(int x, int y, int width, int height, const void* pixels) override;
    bool ReadData(std::vector<std::uint8_t>& out) override;
    // Raises "cDirect3D9Texture2D::Create : failed to create texture, %s".
    void Create() override;
    void Bind(int stage) override;

    // Makes this the colour texture of a render target (the target keeps the device texture).
    void AttachTarget(IDirect3DTexture9* texture, std::uint32_t width, std::uint32_t height,
                      std::uint32_t bytesPerPixel);
    IDirect3DTexture9* GetDeviceTexture() const { return m_Texture; }
    D3DFORMAT GetDeviceFormat() const { return m_Format; }
    std::uint32_t GetDeviceWidth() const { return m_DeviceWidth; }
    std::uint32_t GetDeviceHeight() const { return m_DeviceHeight; }

private:
    cDirect3D9Renderer* m_Renderer;
    IDirect3DTexture9* m_Texture = nullptr;
    D3DFORMAT m_Format = D3DFMT_UNKNOWN;
    bool m_IsTarget = false;
    std::uint32_t m_DeviceWidth = 0;
    std::uint32_t m_DeviceHeight = 0;
};

// Sets the sampler states of a stage for a texture's filtering, anisotropy and address mode (through
// the renderer's per-stage cache).
void ApplySamplerStates(cDirect3D9Renderer* renderer, int stage, int filtering, int anisotropy, int addressMode,
                        bool mipmapped);

} // namespace velmora::video

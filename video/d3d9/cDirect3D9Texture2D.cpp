#include "video/d3d9/cDirect3D9Texture2D.h"

#include <algorithm>
#include <cstring>

#include "engine/core/cException.h"
#include "video/d3d9/D3D9Util.h"
#include "video/d3d9/cDirect3D9Renderer.h"
#include "video/loaders/cDXTCodec.h"

namespace velmora::video {

namespace {

D3DFORMAT CompressedFormat(int compression) {
    switch (compression) {
        case TC_DXT1: return D3DFMT_DXT1;
        case TC_DXT3: return D3DFMT_DXT3;
        default: return D3DFMT_DXT5;
    }
}

bool FormatSupported(cDirect3D9Renderer* renderer, D3DFORMAT format) {
    IDirect3D9* d3d = nullptr;
    if (FAILED(renderer->GetDevice()->GetDirect3D(&d3d))) return false;
    D3DDISPLAYMODE mode{};
    renderer->GetDevice()->GetDisplayMode(0, &mode);
    const bool ok = SUCCEEDED(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, 0,
                                                     D3DRTYPE_TEXTURE, format));
    d3d->Release();
    return ok;
}

// Copies rows of `rowBytes` from tightly packed data into a locked level with its own pitch.
void CopyRows(const std::uint8_t* src, std::size_t rowBytes, std::uint32_t rows, const D3DLOCKED_RECT& locked) {
    for (std::uint32_t row = 0; row < rows; ++row) {
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(row) * locked.Pitch,
                    src + row * rowBytes, rowBytes);
    }
}

} // namespace

void ApplySamplerStates(cDirect3D9Renderer* renderer, int stage, int filtering, int anisotropy, int addressMode,
                        bool mipmapped) {
    const int maxAnisotropy = renderer->GetMaxAnisotropy();
    if (anisotropy > 0 && maxAnisotropy > 1) {
        renderer->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
        renderer->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        renderer->SetSamplerState(stage, D3DSAMP_MAXANISOTROPY,
                                  static_cast<DWORD>(std::min(anisotropy, maxAnisotropy)));
    } else {
        const bool point = filtering == TF_POINT || filtering == TF_POINT_MIP_POINT;
        renderer->SetSamplerState(stage, D3DSAMP_MINFILTER, point ? D3DTEXF_POINT : D3DTEXF_LINEAR);
        renderer->SetSamplerState(stage, D3DSAMP_MAGFILTER, point ? D3DTEXF_POINT : D3DTEXF_LINEAR);
    }
    // Modes 0 and 1 read level 0 only, as they do on every backend.
    DWORD mip = D3DTEXF_NONE;
    if (mipmapped && filtering == TF_POINT_MIP_POINT) mip = D3DTEXF_POINT;
    if (mipmapped && filtering == TF_LINEAR_MIP_LINEAR) mip = D3DTEXF_LINEAR;
    renderer->SetSamplerState(stage, D3DSAMP_MIPFILTER, mip);
    const DWORD address = addressMode == TA_WRAP ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
    renderer->SetSamplerState(stage, D3DSAMP_ADDRESSU, address);
    renderer->SetSamplerState(stage, D3DSAMP_ADDRESSV, address);
}

cDirect3D9Texture2D::cDirect3D9Texture2D(cResourceManager* owner, cDirect3D9Renderer* renderer)
    : cCommonTexture2D(owner), m_Renderer(renderer) {}

cDirect3D9Texture2D::~cDirect3D9Texture2D() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<ITexture*>(this));
    if (!m_IsTarget) d3d9::SafeRelease(m_Texture);
}

void cDirect3D9Texture2D::AttachTarget(IDirect3DTexture9* texture, std::uint32_t width, std::uint32_t height,
                                       std::uint32_t bytesPerPixel) {
    m_IsTarget = true;
    m_Texture = texture;
    m_Image.width = width;
    m_Image.height = height;
    m_Image.bytesPerPixel = bytesPerPixel;
    m_DeviceWidth = width;
    m_DeviceHeight = height;
    m_DeviceLevels = 1;
    m_Created = texture != nullptr;
    if (texture) {
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        m_Format = desc.Format;
    }
}

void cDirect3D9Texture2D::Create() {
    if (m_Created) return;
    IDirect3DDevice9* device = m_Renderer->GetDevice();
    const sImageData& image = m_Image;
    if (image.width == 0 || image.height == 0) {
        RaiseError("cDirect3D9Texture2D::Create : failed to create texture, empty image");
    }
    const bool compressed = image.compression != TC_NONE;
    if (!compressed && image.bytesPerPixel != 3 && image.bytesPerPixel != 4) {
        RaiseError("cDirect3D9Texture2D::Create : failed to create texture, %s", d3d9::ErrorText(D3DERR_INVALIDCALL));
    }
    const std::uint32_t dropped = LevelsToDrop(m_Renderer->GetTextureDetailReduction());
    const std::uint32_t width = compressed ? std::max<std::uint32_t>(image.width >> dropped, 1) : image.width;
    const std::uint32_t height = compressed ? std::max<std::uint32_t>(image.height >> dropped, 1) : image.height;
    const int maxSize = m_Renderer->GetMaxTextureSize();
    if (maxSize > 0 && (width > static_cast<std::uint32_t>(maxSize) || height > static_cast<std::uint32_t>(maxSize))) {
        RaiseError("cDirect3D9Texture2D::Create : failed to create texture, %ux%u exceeds the device limit %d", width,
                   height, maxSize);
    }

    HRESULT hr;
    std::uint32_t uploaded = 0;
    if (compressed) {
        const std::uint32_t held = std::max<std::uint32_t>(image.mipCount, 1);
        const std::uint32_t levels = held - dropped;
        // DXT needs sides that are whole blocks on the device; a device without DXT gets decoded pixels.
        const bool native = FormatSupported(m_Renderer, CompressedFormat(image.compression)) && width % 4 == 0 &&
                            height % 4 == 0;
        m_Format = native ? CompressedFormat(image.compression) : D3DFMT_A8R8G8B8;
        hr = device->CreateTexture(width, height, levels, 0, m_Format, D3DPOOL_MANAGED, &m_Texture, nullptr);
        if (FAILED(hr)) {
            m_Texture = nullptr;
            RaiseError("cDirect3D9Texture2D::Create : failed to create texture, %s", d3d9::ErrorText(hr));
        }
        std::vector<std::uint8_t> level;
        std::vector<std::uint8_t> decoded;
        std::uint64_t offset = 0;
        std::uint32_t w = image.width, h = image.height;
        for (std::uint32_t l = 0; l < held; ++l) {
            const std::uint64_t bytes = cDXTCodec::LevelBytes(image.compression, w, h);
            if (offset + bytes > image.pixels.size()) {
                d3d9::SafeRelease(m_Texture);
                RaiseError("cDirect3D9Texture2D::Create : failed to create texture, the image data is too short");
            }
            if (l >= dropped) {
                level.assign(image.pixels.begin() + static_cast<std::ptrdiff_t>(offset),
                             image.pixels.begin() + static_cast<std::ptrdiff_t>(offset + bytes));
                cDXTCodec::FlipLevel(image.compression, level.data(), w, h);
                D3DLOCKED_RECT locked{};
                hr = m_Texture->LockRect(l - dropped, &locked, nullptr, 0);
                if (FAILED(hr)) {
                    d3d9::SafeRelease(m_Texture);
                    RaiseError("cDirect3D9Texture2D::Create : failed to create texture, %s", d3d9::ErrorText(hr));
                }
                if (native) {
                    const std::size_t rowBytes = ((w + 3) / 4) * cDXTCodec::BlockBytes(image.compression);
                    CopyRows(level.data(), rowBytes, (h + 3) / 4, locked);
                } else {
                    decoded.resize(static_cast<std::size_t>(w) * h * 4);
                    cDXTCodec::DecodeLevel(image.compression, level.data(), w, h, decoded.data());
                    for (std::size_t i = 0; i < decoded.size(); i += 4) std::swap(decoded[i], decoded[i + 2]);
                    CopyRows(decoded.data(), static_cast<std::size_t>(w) * 4, h, locked);
                }
                m_Texture->UnlockRect(l - dropped);
                ++uploaded;
            }
            offset += bytes;
            w = std::max<std::uint32_t>(w >> 1, 1);
            h = std::max<std::uint32_t>(h >> 1, 1);
        }
    } else {
        const std::size_t needed = static_cast<std::size_t>(image.width) * image.height * image.bytesPerPixel;
        if (image.pixels.size() < needed) {
            RaiseError("cDirect3D9Texture2D::Create : failed to create texture, the image data is too short");
        }
        m_Format = image.bytesPerPixel == 4 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
        hr = device->CreateTexture(width, height, 0, D3DUSAGE_AUTOGENMIPMAP, m_Format, D3DPOOL_MANAGED, &m_Texture,
                                   nullptr);
        if (FAILED(hr)) {
            m_Texture = nullptr;
            RaiseError("cDirect3D9Texture2D::Create : failed to create texture, %s", d3d9::ErrorText(hr));
        }
        // Red and blue change places; three bytes grow to four with an opaque alpha.
        std::vector<std::uint8_t> device(static_cast<std::size_t>(width) * height * 4);
        const std::uint32_t bpp = image.bytesPerPixel;
        for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
            const std::uint8_t* p = image.pixels.data() + i * bpp;
            device[i * 4 + 0] = p[2];
            device[i * 4 + 1] = p[1];
            device[i * 4 + 2] = p[0];
            device[i * 4 + 3] = bpp == 4 ? p[3] : 255;
        }
        D3DLOCKED_RECT locked{};
        hr = m_Texture->LockRect(0, &locked, nullptr, 0);
        if (FAILED(hr)) {
            d3d9::SafeRelease(m_Texture);
            RaiseError("cDirect3D9Texture2D::Create : failed to create texture, %s", d3d9::ErrorText(hr));
        }
        CopyRows(device.data(), static_cast<std::size_t>(width) * 4, height, locked);
        m_Texture->UnlockRect(0);
        m_Texture->GenerateMipSubLevels();
    }
    m_DeviceWidth = width;
    m_DeviceHeight = height;
    m_DeviceLevels = uploaded;
    m_DroppedLevels = dropped;
    m_Created = true;
    std::vector<std::uint8_t>().swap(m_Image.pixels);
}

void cDirect3D9Texture2D::Bind(int stage) {
    if (!m_Texture) return;
    const bool mipmapped = !m_IsTarget && (m_DeviceLevels != 1);
    ApplySamplerStates(m_Renderer, stage, m_Filtering, m_Anisotropy, m_AddressMode, mipmapped);
    m_Renderer->ApplyStageCombiner(stage);
    m_Renderer->GetDevice()->SetTexture(static_cast<DWORD>(stage), m_Texture);
}

bool cDirect3D9Texture2D::UpdateRect(int x, int y, int width, int height, const void* pixels) {
    if (!m_Texture || m_IsTarget || !pixels || m_Image.compression != TC_NONE) return false;
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || static_cast<std::uint32_t>(x + width) > m_DeviceWidth ||
        static_cast<std::uint32_t>(y + height) > m_DeviceHeight) {
        return false;
    }
    RECT rect{x, y, x + width, y + height};
    D3DLOCKED_RECT locked{};
    if (FAILED(m_Texture->LockRect(0, &locked, &rect, 0))) return false;
    const std::uint32_t bpp = m_Image.bytesPerPixel;
    const std::uint8_t* src = static_cast<const std::uint8_t*>(pixels);
    for (int row = 0; row < height; ++row) {
        std::uint8_t* dst = static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(row) * locked.Pitch;
        for (int i = 0; i < width; ++i) {
            const std::uint8_t* p = src + (static_cast<std::size_t>(row) * width + i) * bpp;
            dst[i * 4 + 0] = p[2];
            dst[i * 4 + 1] = p[1];
            dst[i * 4 + 2] = p[0];
            dst[i * 4 + 3] = bpp == 4 ? p[3] : 255;
        }
    }
    m_Texture->UnlockRect(0);
    m_Texture->GenerateMipSubLevels();
    return true;
}

bool cDirect3D9Texture2D::ReadData(std::vector<std::uint8_t>& out) {
    if (!m_Texture) return false;
    IDirect3DDevice9* device = m_Renderer->GetDevice();
    const std::uint32_t w = m_DeviceWidth, h = m_DeviceHeight;
    out.assign(static_cast<std::size_t>(w) * h * 4, 0);
    IDirect3DSurface9* copy = nullptr;
    D3DLOCKED_RECT locked{};
    if (m_IsTarget) {
        // A default-pool texture is read through a system-memory copy.
        IDirect3DSurface9* surface = nullptr;
        if (FAILED(m_Texture->GetSurfaceLevel(0, &surface))) return false;
        const bool ok =
            SUCCEEDED(device->CreateOffscreenPlainSurface(w, h, m_Format, D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
            SUCCEEDED(device->GetRenderTargetData(surface, copy)) &&
            SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
        surface->Release();
        if (!ok) {
            d3d9::SafeRelease(copy);
            return false;
        }
    } else if (FAILED(m_Texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
        return false;
    }
    bool ok = true;
    if (m_Format == D3DFMT_A8R8G8B8 || m_Format == D3DFMT_X8R8G8B8) {
        const bool alpha = m_Format == D3DFMT_A8R8G8B8;
        for (std::uint32_t row = 0; row < h; ++row) {
            const std::uint8_t* src =
                static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(row) * locked.Pitch;
            std::uint8_t* dst = out.data() + static_cast<std::size_t>(row) * w * 4;
            for (std::uint32_t i = 0; i < w; ++i) {
                dst[i * 4 + 0] = src[i * 4 + 2];
                dst[i * 4 + 1] = src[i * 4 + 1];
                dst[i * 4 + 2] = src[i * 4 + 0];
                dst[i * 4 + 3] = alpha ? src[i * 4 + 3] : 255;
            }
        }
    } else if (m_Format == D3DFMT_DXT1 || m_Format == D3DFMT_DXT3 || m_Format == D3DFMT_DXT5) {
        const std::size_t rowBytes = ((w + 3) / 4) * cDXTCodec::BlockBytes(m_Image.compression);
        std::vector<std::uint8_t> blocks(rowBytes * ((h + 3) / 4));
        for (std::uint32_t row = 0; row < (h + 3) / 4; ++row) {
            std::memcpy(blocks.data() + row * rowBytes,
                        static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(row) * locked.Pitch,
                        rowBytes);
        }
        cDXTCodec::DecodeLevel(m_Image.compression, blocks.data(), w, h, out.data());
    } else {
        ok = false;
    }
    if (copy) {
        copy->UnlockRect();
        copy->Release();
    } else {
        m_Texture->UnlockRect(0);
    }
    return ok;
}

} // namespace velmora::video

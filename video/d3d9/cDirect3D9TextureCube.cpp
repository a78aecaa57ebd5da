#include "video/d3d9/cDirect3D9TextureCube.h"

#include <algorithm>
#include <cstring>

#include "engine/core/cException.h"
#include "video/d3d9/D3D9Util.h"
#include "video/d3d9/cDirect3D9Renderer.h"
#include "video/d3d9/cDirect3D9Texture2D.h"
#include "video/loaders/cDXTCodec.h"

namespace velmora::video {

cDirect3D9TextureCube::cDirect3D9TextureCube(cResourceManager* owner, cDirect3D9Renderer* renderer)
    : cCommonTextureCube(owner), m_Renderer(renderer) {}

cDirect3D9TextureCube::~cDirect3D9TextureCube() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<ITexture*>(this));
    d3d9::SafeRelease(m_Texture);
}

void cDirect3D9TextureCube::Create() {
    if (m_Created) return;
    const sCubeImageData& image = m_Image;
    if (image.size == 0 || image.compression == TC_NONE) {
        RaiseError("cDirect3D9TextureCube::Create : failed to create texture, unsupported image");
    }
    const std::uint32_t levels = std::max<std::uint32_t>(image.mipCount, 1);
    const std::uint64_t faceBytes = cDXTCodec::ChainBytes(image.compression, image.size, image.size, levels);
    const D3DFORMAT format = image.compression == TC_DXT1   ? D3DFMT_DXT1
                             : image.compression == TC_DXT3 ? D3DFMT_DXT3
                                                            : D3DFMT_DXT5;
    const bool native = image.size % 4 == 0;
    HRESULT hr = m_Renderer->GetDevice()->CreateCubeTexture(image.size, levels, 0, native ? format : D3DFMT_A8R8G8B8,
                                                            D3DPOOL_MANAGED, &m_Texture, nullptr);
    if (FAILED(hr)) {
        m_Texture = nullptr;
        RaiseError("cDirect3D9TextureCube::Create : failed to create texture, %s", d3d9::ErrorText(hr));
    }
    std::vector<std::uint8_t> black;
    std::vector<std::uint8_t> decoded;
    for (int face = 0; face < 6; ++face) {
        const std::vector<std::uint8_t>* data = &image.faces[face];
        if (data->size() < faceBytes) {
            // Opaque black in every format: colour endpoints 0, indices 0, alpha 255.
            black.assign(static_cast<std::size_t>(faceBytes), 0);
            if (image.compression != TC_DXT1) {
                for (std::size_t b = 0; b + 16 <= black.size(); b += 16) {
                    if (image.compression == TC_DXT3) {
                        std::fill(black.begin() + static_cast<std::ptrdiff_t>(b),
                                  black.begin() + static_cast<std::ptrdiff_t>(b + 8), 0xFF);
                    } else {
                        black[b] = 0xFF;
                    }
                }
            }
            data = &black;
        }
        std::uint64_t offset = 0;
        std::uint32_t s = image.size;
        for (std::uint32_t level = 0; level < levels; ++level) {
            const std::uint64_t bytes = cDXTCodec::LevelBytes(image.compression, s, s);
            D3DLOCKED_RECT locked{};
            hr = m_Texture->LockRect(static_cast<D3DCUBEMAP_FACES>(face), level, &locked, nullptr, 0);
            if (FAILED(hr)) {
                d3d9::SafeRelease(m_Texture);
                RaiseError("cDirect3D9TextureCube::Create : failed to create texture, %s", d3d9::ErrorText(hr));
            }
            const std::uint8_t* src = data->data() + offset;
            if (native) {
                const std::size_t rowBytes = ((s + 3) / 4) * cDXTCodec::BlockBytes(image.compression);
                for (std::uint32_t row = 0; row < (s + 3) / 4; ++row) {
                    std::memcpy(static_cast<std::uint8_t*>(locked.pBits) +
                                    static_cast<std::ptrdiff_t>(row) * locked.Pitch,
                                src + row * rowBytes, rowBytes);
                }
            } else {
                decoded.resize(static_cast<std::size_t>(s) * s * 4);
                cDXTCodec::DecodeLevel(image.compression, src, s, s, decoded.data());
                for (std::uint32_t row = 0; row < s; ++row) {
                    std::uint8_t* dst =
                        static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(row) * locked.Pitch;
                    for (std::uint32_t i = 0; i < s; ++i) {
                        const std::uint8_t* p = decoded.data() + (static_cast<std::size_t>(row) * s + i) * 4;
                        dst[i * 4 + 0] = p[2];
                        dst[i * 4 + 1] = p[1];
                        dst[i * 4 + 2] = p[0];
                        dst[i * 4 + 3] = p[3];
                    }
                }
            }
            m_Texture->UnlockRect(static_cast<D3DCUBEMAP_FACES>(face), level);
            offset += bytes;
            s = std::max<std::uint32_t>(s >> 1, 1);
        }
    }
    m_Created = true;
    for (auto& face : m_Image.faces) std::vector<std::uint8_t>().swap(face);
}

void cDirect3D9TextureCube::Bind(int stage) {
    if (!m_Texture) return;
    ApplySamplerStates(m_Renderer, stage, m_Filtering, m_Anisotropy, m_AddressMode, m_Image.mipCount > 1);
    m_Renderer->SetSamplerState(stage, D3DSAMP_ADDRESSW, m_AddressMode == TA_WRAP ? D3DTADDRESS_WRAP
                                                                                 : D3DTADDRESS_CLAMP);
    m_Renderer->ApplyStageCombiner(stage);
    m_Renderer->GetDevice()->SetTexture(static_cast<DWORD>(stage), m_Texture);
}

} // namespace velmora::video

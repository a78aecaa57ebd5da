#pragma once
// The device-independent part of a cube texture. Cube textures are cached by
// file name like 2D textures and stay cached when released to zero.

#include <string>

#include "video/ITexture.h"
#include "video/ITextureLoader.h"

namespace velmora::video {

class cResourceManager;

class cCommonTextureCube : public ITextureCube {
public:
    explicit cCommonTextureCube(cResourceManager* owner) : m_Owner(owner) {}

    ITexture* AddRef() override;
    // At zero logs "cCommonTextureCube::Release : texture '%s' released"; the cache keeps it.
    void Release() override;
    void SetFiltering(int mode) override { m_Filtering = mode; }
    void SetAnisotropy(int level) override { m_Anisotropy = level; }
    void SetSpareProperty(int value) override { m_Spare = value; }
    void SetAddressMode(int mode) override { m_AddressMode = mode; }
    int GetType() const override { return TEX_CUBE; }
    int GetFiltering() const override { return m_Filtering; }
    int GetAnisotropy() const override { return m_Anisotropy; }
    int GetSpareProperty() const override { return m_Spare; }
    int GetAddressMode() const override { return m_AddressMode; }
    const std::string& GetName() const override { return m_Name; }
    std::uint32_t GetImageSize() const override { return m_Image.size; }
    std::size_t GetMemoryUsage() const override;

    void SetName(const std::string& name) { m_Name = name; }
    int GetReferenceCount() const { return m_RefCount; }
    sCubeImageData& GetImage() { return m_Image; }

protected:
    cResourceManager* m_Owner;
    std::string m_Name;
    int m_Filtering = TF_LINEAR_MIP_LINEAR;
    int m_AddressMode = TA_CLAMP_TO_EDGE;
    int m_Spare = 0;
    int m_Anisotropy = 0;
    sCubeImageData m_Image;
    int m_RefCount = 1;
    bool m_Created = false;
};

} // namespace velmora::video

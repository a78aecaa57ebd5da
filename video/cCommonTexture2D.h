#pragma once
// The device-independent part of a 2D texture: name, sampler settings, the
// system-memory image until the device texture exists, reference count.

#include <string>

#include "video/ITexture.h"
#include "video/ITextureLoader.h"

namespace velmora::video {

class cResourceManager;

class cCommonTexture2D : public ITexture2D {
public:
    // owner: the cache the texture lives in (null for textures of render targets).
    explicit cCommonTexture2D(cResourceManager* owner) : m_Owner(owner) {}

    ITexture* AddRef() override;
    // At zero logs "cCommonTexture2D::Release : texture '%s' released" and destroys the
    // texture only when it is named "__memory".
    void Release() override;
    void SetFiltering(int mode) override { m_Filtering = mode; }
    void SetAnisotropy(int level) override { m_Anisotropy = level; }
    void SetSpareProperty(int value) override { m_Spare = value; }
    void SetAddressMode(int mode) override { m_AddressMode = mode; }
    int GetType() const override { return TEX_2D; }
    int GetFiltering() const override { return m_Filtering; }
    int GetAnisotropy() const override { return m_Anisotropy; }
    int GetSpareProperty() const override { return m_Spare; }
    int GetAddressMode() const override { return m_AddressMode; }
    const std::string& GetName() const override { return m_Name; }
    std::uint32_t GetImageWidth() const override { return m_Image.width; }
    std::uint32_t GetImageHeight() const override { return m_Image.height; }
    std::size_t GetMemoryUsage() const override;

    void SetName(const std::string& name) { m_Name = name; }
    int GetReferenceCount() const { return m_RefCount; }
    bool IsCreated() const { return m_Created; }
    // The system-memory image (loaders fill it; emptied by Create).
    sImageData& GetImage() { return m_Image; }
    int GetCompression() const { return m_Image.compression; }
    std::uint32_t GetBytesPerPixel() const { return m_Image.bytesPerPixel; }

    // Levels kept on the device and the number of top levels dropped, as decided at creation.
    std::uint32_t GetDeviceLevels() const { return m_DeviceLevels; }
    std::uint32_t GetDroppedLevels() const { return m_DroppedLevels; }

    // The top levels a detail reduction of `reduction` drops from this image: only compressed
    // images lose levels, and at least the smallest level held stays.
    std::uint32_t LevelsToDrop(int reduction) const;

protected:
    cResourceManager* m_Owner;
    std::string m_Name = "__memory";
    int m_Filtering = TF_LINEAR_MIP_LINEAR;
    int m_AddressMode = TA_WRAP;
    int m_Spare = 0;
    int m_Anisotropy = 0;
    sImageData m_Image;
    int m_RefCount = 1;
    bool m_Created = false;
    // Filled by the backend's Create: levels uploaded (0: the device makes the chain) and the
    // top levels the detail reduction dropped.
    std::uint32_t m_DeviceLevels = 0;
    std::uint32_t m_DroppedLevels = 0;
};

} // namespace velmora::video

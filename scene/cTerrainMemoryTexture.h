#pragma once
// The texture a terrain without a renderer (a headless terrain, as tools read
// and write terrain files with) keeps its maps and layer names in: pixels in
// system memory that UpdateRect writes and ReadData reads back, or, for a
// layer texture, just the file name. Never bound to a device.

#include <cstdint>
#include <string>
#include <vector>

#include "video/ITexture.h"

namespace velmora::scene {

class cTerrainMemoryTexture : public video::ITexture2D {
public:
    // width x height pixels of bytesPerPixel bytes (3 or 4) filled with `fill`, named "__memory".
    cTerrainMemoryTexture(std::uint32_t width, std::uint32_t height, std::uint32_t bytesPerPixel, std::uint8_t fill);
    // A stand-in for a texture file: no pixels, the file's name.
    explicit cTerrainMemoryTexture(const std::string& fileName);

    video::ITexture* AddRef() override;
    void Release() override;
    void SetFiltering(int mode) override { m_Filtering = mode; }
    void SetAnisotropy(int level) override { m_Anisotropy = level; }
    void SetSpareProperty(int value) override { m_Spare = value; }
    void SetAddressMode(int mode) override { m_AddressMode = mode; }
    int GetType() const override { return video::TEX_2D; }
    int GetFiltering() const override { return m_Filtering; }
    int GetAnisotropy() const override { return m_Anisotropy; }
    int GetSpareProperty() const override { return m_Spare; }
    int GetAddressMode() const override { return m_AddressMode; }
    const std::string& GetName() const override { return m_Name; }
    void Bind(int) override {}
    std::uint32_t GetImageWidth() const override { return m_Width; }
    std::uint32_t GetImageHeight() const override { return m_Height; }
    bool UpdateRect(int x, int y, int width, int height, const void* pixels) override;
    bool ReadData(std::vector<std::uint8_t>& out) override;
    void Create() override {}
    std::size_t GetMemoryUsage() const override { return m_Pixels.size(); }

private:
    std::string m_Name;
    std::uint32_t m_Width = 0;
    std::uint32_t m_Height = 0;
    std::uint32_t m_BytesPerPixel = 0;
    std::vector<std::uint8_t> m_Pixels;
    int m_References = 1;
    int m_Filtering = 3;
    int m_Anisotropy = 0;
    int m_Spare = 0;
    int m_AddressMode = 0;
};

} // namespace velmora::scene

#include "scene/cTerrainMemoryTexture.h"

#include <cstring>

namespace velmora::scene {

cTerrainMemoryTexture::cTerrainMemoryTexture(std::uint32_t width, std::uint32_t height, std::uint32_t bytesPerPixel,
                                             std::uint8_t fill)
    : m_Name("__memory"), m_Width(width), m_Height(height), m_BytesPerPixel(bytesPerPixel),
      m_Pixels(static_cast<std::size_t>(width) * height * bytesPerPixel, fill) {}

cTerrainMemoryTexture::cTerrainMemoryTexture(const std::string& fileName) : m_Name(fileName) {}

video::ITexture* cTerrainMemoryTexture::AddRef() {
    ++m_References;
    return this;
}

void cTerrainMemoryTexture::Release() {
    if (--m_References <= 0) {
        delete this;
    }
}

bool cTerrainMemoryTexture::UpdateRect(int x, int y, int width, int height, const void* pixels) {
    if (!pixels || m_Pixels.empty() || x < 0 || y < 0 || width <= 0 || height <= 0 ||
        static_cast<std::uint32_t>(x) + static_cast<std::uint32_t>(width) > m_Width ||
        static_cast<std::uint32_t>(y) + static_cast<std::uint32_t>(height) > m_Height) {
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * m_BytesPerPixel;
    const auto* source = static_cast<const std::uint8_t*>(pixels);
    for (int row = 0; row < height; ++row) {
        const std::size_t offset = (static_cast<std::size_t>(y + row) * m_Width + x) * m_BytesPerPixel;
        std::memcpy(&m_Pixels[offset], source + row * rowBytes, rowBytes);
    }
    return true;
}

bool cTerrainMemoryTexture::ReadData(std::vector<std::uint8_t>& out) {
    if (m_Pixels.empty() && m_Width * m_Height != 0) {
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(m_Width) * m_Height;
    out.assign(count * 4, 255);
    for (std::size_t k = 0; k < count; ++k) {
        std::memcpy(&out[k * 4], &m_Pixels[k * m_BytesPerPixel], m_BytesPerPixel);
    }
    return true;
}

} // namespace velmora::scene

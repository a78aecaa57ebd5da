#include "video/cCommonTexture2D.h"

#include <algorithm>

#include "engine/core/Log.h"
#include "video/cResourceManager.h"
#include "video/loaders/cDXTCodec.h"

namespace velmora::video {

ITexture* cCommonTexture2D::AddRef() {
    ++m_RefCount;
    return this;
}

void cCommonTexture2D::Release() {
    if (m_RefCount <= 0) return;  // already released; file textures wait in the cache
    if (--m_RefCount > 0) return;
    LogMessage("cCommonTexture2D::Release : texture '%s' released\n", m_Name.c_str());
    if (m_Name == "__memory") {
        if (m_Owner) m_Owner->ForgetMemoryTexture(this);
        delete this;
    }
}

std::uint32_t cCommonTexture2D::LevelsToDrop(int reduction) const {
    if (m_Image.compression == TC_NONE || reduction <= 0) return 0;
    const std::uint32_t held = std::max<std::uint32_t>(m_Image.mipCount, 1);
    return std::min<std::uint32_t>(static_cast<std::uint32_t>(reduction), held - 1);
}

std::size_t cCommonTexture2D::GetMemoryUsage() const {
    // Counted as the accounting always has: the levels the image holds (one when the device
    // generates the chain), 4 bytes per uncompressed pixel, compressed levels as blocks, minus
    // the levels the detail reduction dropped.
    const std::uint32_t dropped = m_Created ? m_DroppedLevels : 0;
    std::uint32_t w = std::max<std::uint32_t>(m_Image.width >> dropped, 1);
    std::uint32_t h = std::max<std::uint32_t>(m_Image.height >> dropped, 1);
    if (m_Image.width == 0 || m_Image.height == 0) return 0;
    const std::uint32_t held = std::max<std::uint32_t>(m_Image.mipCount, 1);
    const std::uint32_t levels = std::max<std::uint32_t>(held - dropped, 1);
    if (m_Image.compression != TC_NONE) {
        return static_cast<std::size_t>(cDXTCodec::ChainBytes(m_Image.compression, w, h, levels));
    }
    std::size_t total = 0;
    for (std::uint32_t level = 0; level < levels; ++level) {
        total += static_cast<std::size_t>(w) * h * 4;
        if (w == 1 && h == 1) break;
        w = std::max<std::uint32_t>(w >> 1, 1);
        h = std::max<std::uint32_t>(h >> 1, 1);
    }
    return total;
}

} // namespace velmora::video

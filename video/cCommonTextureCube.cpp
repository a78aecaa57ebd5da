#include "video/cCommonTextureCube.h"

#include <algorithm>

#include "engine/core/Log.h"
#include "video/loaders/cDXTCodec.h"

namespace velmora::video {

ITexture* cCommonTextureCube::AddRef() {
    ++m_RefCount;
    return this;
}

void cCommonTextureCube::Release() {
    if (m_RefCount <= 0) return;
    if (--m_RefCount == 0) LogMessage("cCommonTextureCube::Release : texture '%s' released\n", m_Name.c_str());
}

std::size_t cCommonTextureCube::GetMemoryUsage() const {
    if (m_Image.size == 0) return 0;
    const std::uint32_t levels = std::max<std::uint32_t>(m_Image.mipCount, 1);
    std::uint64_t face = 0;
    if (m_Image.compression != TC_NONE) {
        face = cDXTCodec::ChainBytes(m_Image.compression, m_Image.size, m_Image.size, levels);
    } else {
        std::uint64_t s = m_Image.size;
        for (std::uint32_t level = 0; level < levels && s > 0; ++level, s >>= 1) face += s * s * 4;
    }
    return static_cast<std::size_t>(face * 6);
}

} // namespace velmora::video

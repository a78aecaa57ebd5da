#include "scene/TextureReadBack.h"

#include <cstddef>

#include "video/ITexture.h"

namespace velmora::scene {

bool ReadTextureBack(video::ITexture2D& texture, std::vector<std::uint8_t>& rgba, int& width, int& height) {
    std::vector<std::uint8_t> read;
    if (!texture.ReadData(read) || read.empty()) {
        return false;
    }
    std::uint32_t w = texture.GetImageWidth();
    std::uint32_t h = texture.GetImageHeight();
    while (w > 1 && h > 1 && static_cast<std::size_t>(w) * h * 4 > read.size()) {
        w >>= 1;
        h >>= 1;
    }
    if (w == 0 || static_cast<std::size_t>(w) * h * 4 != read.size()) {
        return false;
    }
    rgba = std::move(read);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

} // namespace velmora::scene

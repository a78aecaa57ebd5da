#pragma once
// Reading a texture's pixels back from the device, for effects that also need
// a picture's values on the processor (the clouds' cover, the surf map).

#include <cstdint>
#include <vector>

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

// The texture's level 0 as the device holds it, RGBA rows, with its size: level 0 may be smaller than the
// image after a detail reduction, so the size is halved until it matches what was read. False (nothing
// changed) when the read fails or its size fits no such level.
bool ReadTextureBack(video::ITexture2D& texture, std::vector<std::uint8_t>& rgba, int& width, int& height);

} // namespace velmora::scene

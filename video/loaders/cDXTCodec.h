#pragma once
// Block-compression helpers shared by the DDS loaders, the texture upload and
// the tools: level sizes, the vertical flip of a level's blocks (DDS files
// store the top row first, textures keep the bottom row first) and a
// software decoder to RGBA.

#include <cstddef>
#include <cstdint>

namespace velmora::video {

class cDXTCodec {
public:
    // Bytes of one 4 x 4 block: 8 for DXT1, 16 for DXT3 and DXT5, 0 for anything else.
    static std::size_t BlockBytes(int compression);
    // Bytes of one level of w x h pixels: ceil(w / 4) x ceil(h / 4) blocks.
    static std::uint64_t LevelBytes(int compression, std::uint32_t width, std::uint32_t height);
    // Number of levels of a full chain down to 1 x 1.
    static std::uint32_t FullChainLength(std::uint32_t width, std::uint32_t height);
    // Bytes of `levels` levels starting at w x h, halving each (not below 1).
    static std::uint64_t ChainBytes(int compression, std::uint32_t width, std::uint32_t height, std::uint32_t levels);

    // Flips one level of blocks upside down in place: block rows are exchanged and the pixel
    // rows inside every block reversed. A level of height 1 or 2 keeps its rows inside the first
    // 1 or 2 rows of its blocks. Raises "cDXTCodec::FlipLevel : unhandled compression" for
    // anything but DXT1, DXT3 and DXT5.
    static void FlipLevel(int compression, std::uint8_t* data, std::uint32_t width, std::uint32_t height);

    // Decodes one level to width x height RGBA pixels (rows in the blocks' order). `rgba` holds
    // width x height x 4 bytes. Raises for an unknown compression.
    static void DecodeLevel(int compression, const std::uint8_t* data, std::uint32_t width, std::uint32_t height,
                            std::uint8_t* rgba);
};

} // namespace velmora::video

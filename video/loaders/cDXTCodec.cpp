#include "video/loaders/cDXTCodec.h"

#include <algorithm>
#include <cstring>

#include "engine/core/cException.h"
#include "video/VideoTypes.h"

namespace velmora::video {

namespace {

// Reverses the first `rows` pixel rows of one block (rows is 2 or 4).
void FlipBlockRows(int compression, std::uint8_t* block, int rows) {
    std::uint8_t* colourIndices = compression == TC_DXT1 ? block + 4 : block + 12;
    std::reverse(colourIndices, colourIndices + rows);
    if (compression == TC_DXT3) {
        // Explicit alpha: one 16-bit word per row.
        for (int i = 0; i < rows / 2; ++i) {
            std::swap(block[2 * i], block[2 * (rows - 1 - i)]);
            std::swap(block[2 * i + 1], block[2 * (rows - 1 - i) + 1]);
        }
    } else if (compression == TC_DXT5) {
        // Interpolated alpha: 48 bits of 3-bit indices after the two reference values, 12 bits per row.
        std::uint64_t bits = 0;
        for (int i = 0; i < 6; ++i) bits |= static_cast<std::uint64_t>(block[2 + i]) << (8 * i);
        std::uint64_t row[4];
        for (int r = 0; r < 4; ++r) row[r] = (bits >> (12 * r)) & 0xFFF;
        std::reverse(row, row + rows);
        bits = 0;
        for (int r = 0; r < 4; ++r) bits |= row[r] << (12 * r);
        for (int i = 0; i < 6; ++i) block[2 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

void Expand565(std::uint16_t c, std::uint8_t out[3]) {
    const int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    out[0] = static_cast<std::uint8_t>((r << 3) | (r >> 2));
    out[1] = static_cast<std::uint8_t>((g << 2) | (g >> 4));
    out[2] = static_cast<std::uint8_t>((b << 3) | (b >> 2));
}

// Decodes the colour half of a block into 16 RGBA pixels (alpha 255, or 0 for DXT1's transparent entry).
void DecodeColourBlock(const std::uint8_t* block, bool allowTransparent, std::uint8_t pixels[16][4]) {
    const std::uint16_t c0 = static_cast<std::uint16_t>(block[0] | (block[1] << 8));
    const std::uint16_t c1 = static_cast<std::uint16_t>(block[2] | (block[3] << 8));
    std::uint8_t palette[4][4];
    Expand565(c0, palette[0]);
    Expand565(c1, palette[1]);
    palette[0][3] = palette[1][3] = 255;
    if (c0 > c1 || !allowTransparent) {
        for (int k = 0; k < 3; ++k) {
            palette[2][k] = static_cast<std::uint8_t>((2 * palette[0][k] + palette[1][k]) / 3);
            palette[3][k] = static_cast<std::uint8_t>((palette[0][k] + 2 * palette[1][k]) / 3);
        }
        palette[2][3] = palette[3][3] = 255;
    } else {
        for (int k = 0; k < 3; ++k) {
            palette[2][k] = static_cast<std::uint8_t>((palette[0][k] + palette[1][k]) / 2);
            palette[3][k] = 0;
        }
        palette[2][3] = 255;
        palette[3][3] = 0;
    }
    for (int i = 0; i < 16; ++i) {
        const int index = (block[4 + i / 4] >> (2 * (i % 4))) & 3;
        std::memcpy(pixels[i], palette[index], 4);
    }
}

} // namespace

std::size_t cDXTCodec::BlockBytes(int compression) {
    switch (compression) {
        case TC_DXT1: return 8;
        case TC_DXT3:
        case TC_DXT5: return 16;
        default: return 0;
    }
}

std::uint64_t cDXTCodec::LevelBytes(int compression, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t bw = (static_cast<std::uint64_t>(width) + 3) / 4;
    const std::uint64_t bh = (static_cast<std::uint64_t>(height) + 3) / 4;
    return bw * bh * BlockBytes(compression);
}

std::uint32_t cDXTCodec::FullChainLength(std::uint32_t width, std::uint32_t height) {
    std::uint32_t levels = 1;
    while (width > 1 || height > 1) {
        width = std::max<std::uint32_t>(width >> 1, 1);
        height = std::max<std::uint32_t>(height >> 1, 1);
        ++levels;
    }
    return levels;
}

std::uint64_t cDXTCodec::ChainBytes(int compression, std::uint32_t width, std::uint32_t height,
                                    std::uint32_t levels) {
    std::uint64_t total = 0;
    for (std::uint32_t level = 0; level < levels; ++level) {
        total += LevelBytes(compression, width, height);
        if (width == 1 && height == 1) break;
        width = std::max<std::uint32_t>(width >> 1, 1);
        height = std::max<std::uint32_t>(height >> 1, 1);
    }
    return total;
}

void cDXTCodec::FlipLevel(int compression, std::uint8_t* data, std::uint32_t width, std::uint32_t height) {
    const std::size_t blockBytes = BlockBytes(compression);
    if (blockBytes == 0) RaiseError("cDXTCodec::FlipLevel : unhandled compression");
    if (!data || height <= 1) return;
    const std::size_t blocksPerRow = (static_cast<std::size_t>(width) + 3) / 4;
    const std::size_t rowBytes = blocksPerRow * blockBytes;
    const std::size_t blockRows = (static_cast<std::size_t>(height) + 3) / 4;
    const int rowsInBlock = height < 4 ? static_cast<int>(height) : 4;
    for (std::size_t k = 0; k < blockRows; ++k) {
        std::uint8_t* row = data + k * rowBytes;
        for (std::size_t b = 0; b < blocksPerRow; ++b) FlipBlockRows(compression, row + b * blockBytes, rowsInBlock);
    }
    for (std::size_t k = 0; k < blockRows / 2; ++k) {
        std::swap_ranges(data + k * rowBytes, data + (k + 1) * rowBytes, data + (blockRows - 1 - k) * rowBytes);
    }
}

void cDXTCodec::DecodeLevel(int compression, const std::uint8_t* data, std::uint32_t width, std::uint32_t height,
                            std::uint8_t* rgba) {
    const std::size_t blockBytes = BlockBytes(compression);
    if (blockBytes == 0) RaiseError("cDXTCodec::DecodeLevel : unhandled compression");
    const std::uint32_t blocksPerRow = (width + 3) / 4;
    const std::uint32_t blockRows = (height + 3) / 4;
    std::uint8_t pixels[16][4];
    for (std::uint32_t by = 0; by < blockRows; ++by) {
        for (std::uint32_t bx = 0; bx < blocksPerRow; ++bx) {
            const std::uint8_t* block = data + (static_cast<std::size_t>(by) * blocksPerRow + bx) * blockBytes;
            if (compression == TC_DXT1) {
                DecodeColourBlock(block, true, pixels);
            } else {
                DecodeColourBlock(block + 8, false, pixels);
                if (compression == TC_DXT3) {
                    for (int i = 0; i < 16; ++i) {
                        const int nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
                        pixels[i][3] = static_cast<std::uint8_t>(nibble * 17);
                    }
                } else {
                    const int a0 = block[0], a1 = block[1];
                    int alphas[8] = {a0, a1, 0, 0, 0, 0, 0, 0};
                    if (a0 > a1) {
                        for (int i = 1; i <= 6; ++i) alphas[i + 1] = ((7 - i) * a0 + i * a1) / 7;
                    } else {
                        for (int i = 1; i <= 4; ++i) alphas[i + 1] = ((5 - i) * a0 + i * a1) / 5;
                        alphas[6] = 0;
                        alphas[7] = 255;
                    }
                    std::uint64_t bits = 0;
                    for (int i = 0; i < 6; ++i) bits |= static_cast<std::uint64_t>(block[2 + i]) << (8 * i);
                    for (int i = 0; i < 16; ++i) pixels[i][3] = static_cast<std::uint8_t>(alphas[(bits >> (3 * i)) & 7]);
                }
            }
            for (int i = 0; i < 16; ++i) {
                const std::uint32_t x = bx * 4 + static_cast<std::uint32_t>(i % 4);
                const std::uint32_t y = by * 4 + static_cast<std::uint32_t>(i / 4);
                if (x < width && y < height) std::memcpy(rgba + (static_cast<std::size_t>(y) * width + x) * 4, pixels[i], 4);
            }
        }
    }
}

} // namespace velmora::video

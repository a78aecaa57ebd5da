// Block-compression helpers: level sizes, the vertical flip and the decoder.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/cException.h"
#include "video/VideoTypes.h"
#include "video/loaders/cDXTCodec.h"

using velmora::cException;
using velmora::video::cDXTCodec;
using namespace velmora::video;

namespace {

// A DXT1 block whose four pixel rows use the indices 0, 1, 2 and 3 from top to bottom (in block order).
std::vector<std::uint8_t> RowCodedDXT1Block(std::uint16_t c0, std::uint16_t c1) {
    return {static_cast<std::uint8_t>(c0), static_cast<std::uint8_t>(c0 >> 8), static_cast<std::uint8_t>(c1),
            static_cast<std::uint8_t>(c1 >> 8), 0x00, 0x55, 0xAA, 0xFF};
}

} // namespace

TEST(DXTCodec, LevelAndChainSizes) {
    EXPECT_EQ(cDXTCodec::LevelBytes(TC_DXT1, 4, 4), 8u);
    EXPECT_EQ(cDXTCodec::LevelBytes(TC_DXT5, 5, 1), 32u);  // partial blocks count whole
    EXPECT_EQ(cDXTCodec::FullChainLength(1024, 1024), 11u);
    EXPECT_EQ(cDXTCodec::FullChainLength(8, 2), 4u);
    // 1024 x 1024 DXT1 with 11 levels: the file is this plus its 128-byte header (699,192 bytes).
    EXPECT_EQ(cDXTCodec::ChainBytes(TC_DXT1, 1024, 1024, 11), 699064u);
    EXPECT_EQ(cDXTCodec::ChainBytes(TC_DXT3, 1024, 1024, 11), 2 * 699064u);
    EXPECT_EQ(cDXTCodec::ChainBytes(TC_DXT1, 4, 4, 50), 3 * 8u);  // stops after 1 x 1
    EXPECT_EQ(cDXTCodec::BlockBytes(7), 0u);
}

TEST(DXTCodec, FlipExchangesBlockRowsAndReversesRowsInsideBlocks) {
    // 8 x 8 DXT1: two block rows of two blocks each.
    std::vector<std::uint8_t> level;
    for (int b = 0; b < 4; ++b) {
        std::vector<std::uint8_t> block = RowCodedDXT1Block(static_cast<std::uint16_t>(b), 0);
        level.insert(level.end(), block.begin(), block.end());
    }
    cDXTCodec::FlipLevel(TC_DXT1, level.data(), 8, 8);
    // The second block row comes first now, every block with its index rows reversed.
    const std::uint8_t expectedIndices[4] = {0xFF, 0xAA, 0x55, 0x00};
    for (int b = 0; b < 4; ++b) {
        const std::uint8_t* block = level.data() + b * 8;
        EXPECT_EQ(block[0], (b + 2) % 4) << "block " << b;
        EXPECT_EQ(0, std::memcmp(block + 4, expectedIndices, 4)) << "block " << b;
    }

    // A 4 x 4 level is one block: its rows are reversed in place.
    std::vector<std::uint8_t> single = RowCodedDXT1Block(1, 2);
    cDXTCodec::FlipLevel(TC_DXT1, single.data(), 4, 4);
    EXPECT_EQ(0, std::memcmp(single.data() + 4, expectedIndices, 4));
    // A 2-pixel-high level keeps its two rows in the first two rows of the block.
    std::vector<std::uint8_t> low = RowCodedDXT1Block(1, 2);
    cDXTCodec::FlipLevel(TC_DXT1, low.data(), 4, 2);
    const std::uint8_t lowExpected[4] = {0x55, 0x00, 0xAA, 0xFF};
    EXPECT_EQ(0, std::memcmp(low.data() + 4, lowExpected, 4));
    // One pixel high: nothing to flip.
    std::vector<std::uint8_t> line = RowCodedDXT1Block(1, 2);
    cDXTCodec::FlipLevel(TC_DXT1, line.data(), 4, 1);
    EXPECT_EQ(line, RowCodedDXT1Block(1, 2));

    std::vector<std::uint8_t> any(16);
    EXPECT_THROW(cDXTCodec::FlipLevel(0, any.data(), 4, 4), cException);
}

TEST(DXTCodec, FlipOfAlphaBlocksMatchesDecodedFlip) {
    // Random DXT3 and DXT5 data: decoding after the flip must give the decoded picture upside down.
    for (int compression : {TC_DXT1, TC_DXT3, TC_DXT5}) {
        const std::uint32_t w = 8, h = 12;
        std::vector<std::uint8_t> data(cDXTCodec::LevelBytes(compression, w, h));
        std::uint32_t seed = 12345u + static_cast<std::uint32_t>(compression);
        for (std::uint8_t& byte : data) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<std::uint8_t>(seed >> 16);
        }
        std::vector<std::uint8_t> before(w * h * 4), after(w * h * 4);
        cDXTCodec::DecodeLevel(compression, data.data(), w, h, before.data());
        cDXTCodec::FlipLevel(compression, data.data(), w, h);
        cDXTCodec::DecodeLevel(compression, data.data(), w, h, after.data());
        for (std::uint32_t y = 0; y < h; ++y) {
            EXPECT_EQ(0, std::memcmp(&before[y * w * 4], &after[(h - 1 - y) * w * 4], w * 4))
                << "compression " << compression << " row " << y;
        }
    }
}

TEST(DXTCodec, DecodesKnownBlocks) {
    // DXT1 red (0xF800) to blue (0x001F), indices 0, 1, 2, 3 across the first row.
    const std::uint8_t dxt1[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0};
    std::uint8_t rgba[16 * 4];
    cDXTCodec::DecodeLevel(TC_DXT1, dxt1, 4, 4, rgba);
    const std::uint8_t row[16] = {255, 0, 0, 255, 0, 0, 255, 255, 170, 0, 85, 255, 85, 0, 170, 255};
    EXPECT_EQ(0, std::memcmp(rgba, row, 16));
    // With c0 <= c1 index 3 is transparent black.
    const std::uint8_t transparent[8] = {0x1F, 0x00, 0x00, 0xF8, 0x03, 0, 0, 0};
    cDXTCodec::DecodeLevel(TC_DXT1, transparent, 4, 4, rgba);
    EXPECT_EQ(rgba[3], 0);
    EXPECT_EQ(rgba[0], 0);
    // DXT5 alpha 255 / 0 with index 1 everywhere gives 0, index 0 gives 255.
    std::uint8_t dxt5[16] = {255, 0, 0x49, 0x92, 0x24, 0x49, 0x92, 0x24, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    cDXTCodec::DecodeLevel(TC_DXT5, dxt5, 4, 4, rgba);
    EXPECT_EQ(rgba[3], 0);
    EXPECT_EQ(rgba[0], 255);
    dxt5[2] = dxt5[3] = dxt5[4] = dxt5[5] = dxt5[6] = dxt5[7] = 0;
    cDXTCodec::DecodeLevel(TC_DXT5, dxt5, 4, 4, rgba);
    EXPECT_EQ(rgba[15 * 4 + 3], 255);
}

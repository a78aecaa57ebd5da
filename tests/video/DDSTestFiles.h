#pragma once
// DDS files made by the tests: headers, block patterns, a plain DXT3 encoder.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "video/VideoTestSupport.h"
#include "video/VideoTypes.h"
#include "video/loaders/cDXTCodec.h"

namespace vtest {

using namespace velmora::video;

inline void Put32(std::vector<std::uint8_t>& file, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Magic and header of a DDS file; the caller appends the blocks.
inline std::vector<std::uint8_t> DDSHeader(const char* fourCC, std::uint32_t width, std::uint32_t height,
                                    std::uint32_t mipCount, std::uint32_t caps2 = 0, bool alpha = false) {
    std::vector<std::uint8_t> file(128, 0);
    std::memcpy(file.data(), "DDS ", 4);
    Put32(file, 4, 124);
    Put32(file, 8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000 | (mipCount > 1 ? 0x20000 : 0));
    Put32(file, 12, height);
    Put32(file, 16, width);
    Put32(file, 28, mipCount);
    Put32(file, 76, 32);
    Put32(file, 80, 0x4 | (alpha ? 0x1 : 0));
    std::memcpy(file.data() + 84, fourCC, 4);
    Put32(file, 108, 0x1000 | (mipCount > 1 ? 0x400008 : 0) | (caps2 ? 0x8 : 0));
    Put32(file, 112, caps2);
    return file;
}

// Blocks of a chain filled with a counting pattern.
inline std::vector<std::uint8_t> Blocks(int compression, std::uint32_t w, std::uint32_t h, std::uint32_t levels) {
    std::vector<std::uint8_t> data(cDXTCodec::ChainBytes(compression, w, h, levels));
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
    return data;
}

// A plain DXT3 encoder for making test files: per block the darkest and brightest colours as
// endpoints, nearest palette entry per pixel, 4-bit alpha. Input rows top first.
inline std::vector<std::uint8_t> EncodeDXT3(const sImage& topDown) {
    std::vector<std::uint8_t> out;
    auto to565 = [](const std::uint8_t* p) {
        return static_cast<std::uint16_t>(((p[0] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[2] >> 3));
    };
    for (int by = 0; by < topDown.height; by += 4) {
        for (int bx = 0; bx < topDown.width; bx += 4) {
            const std::uint8_t* texel[16];
            for (int i = 0; i < 16; ++i) {
                const int x = std::min(bx + i % 4, topDown.width - 1), y = std::min(by + i / 4, topDown.height - 1);
                texel[i] = topDown.At(x, y);
            }
            std::uint8_t block[16] = {};
            for (int i = 0; i < 16; ++i) block[i / 2] |= static_cast<std::uint8_t>((texel[i][3] >> 4) << (4 * (i % 2)));
            int lo = 0, hi = 0;
            for (int i = 1; i < 16; ++i) {
                const int sum = texel[i][0] + texel[i][1] + texel[i][2];
                if (sum < texel[lo][0] + texel[lo][1] + texel[lo][2]) lo = i;
                if (sum > texel[hi][0] + texel[hi][1] + texel[hi][2]) hi = i;
            }
            std::uint16_t c0 = to565(texel[hi]), c1 = to565(texel[lo]);
            block[8] = static_cast<std::uint8_t>(c0);
            block[9] = static_cast<std::uint8_t>(c0 >> 8);
            block[10] = static_cast<std::uint8_t>(c1);
            block[11] = static_cast<std::uint8_t>(c1 >> 8);
            std::uint8_t palette[4][4];
            std::uint8_t probe[16 * 4];
            block[12] = block[13] = block[14] = block[15] = 0;
            for (int index = 0; index < 4; ++index) {
                block[12] = static_cast<std::uint8_t>(index);  // pixel 0 uses `index`
                cDXTCodec::DecodeLevel(TC_DXT3, block, 4, 4, probe);  // reads the first 4x4 only
                std::memcpy(palette[index], probe, 4);
            }
            block[12] = 0;
            for (int i = 0; i < 16; ++i) {
                int best = 0, bestDistance = 1 << 30;
                for (int index = 0; index < 4; ++index) {
                    int distance = 0;
                    for (int k = 0; k < 3; ++k) distance += (texel[i][k] - palette[index][k]) * (texel[i][k] - palette[index][k]);
                    if (distance < bestDistance) bestDistance = distance, best = index;
                }
                block[12 + i / 4] |= static_cast<std::uint8_t>(best << (2 * (i % 4)));
            }
            out.insert(out.end(), block, block + 16);
        }
    }
    return out;
}

inline sImage Flipped(const sImage& image) {
    sImage out = image;
    const std::size_t row = static_cast<std::size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(out.At(0, y), image.rgba.data() + (image.height - 1 - y) * row, row);
    }
    return out;
}

} // namespace vtest

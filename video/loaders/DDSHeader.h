#pragma once
// The fields of a DDS file header the loaders read (private to the loaders).

#include <cstdint>

#include "video/loaders/LoaderUtil.h"

namespace velmora::video {

struct sDDSHeader {
    static constexpr std::uint32_t kBytes = 124;  // after the 4-byte magic "DDS "
    static constexpr std::uint32_t kCapsPresent = 0x1;
    static constexpr std::uint32_t kPixelAlpha = 0x1;
    static constexpr std::uint32_t kCapsComplexTexture = 0x1008;
    static constexpr std::uint32_t kCaps2CubeMap = 0x200;
    static constexpr std::uint32_t kCaps2Faces[6] = {0x400, 0x800, 0x1000, 0x2000, 0x4000, 0x8000};

    std::uint32_t flags = 0, height = 0, width = 0, linearSize = 0, mipCount = 0;
    std::uint32_t pixelFlags = 0, caps = 0, caps2 = 0;
    char fourCC[4] = {0, 0, 0, 0};

    // From the 124 header bytes that follow the magic (file offsets minus 4).
    void Parse(const std::uint8_t* h) {
        using loaderutil::U32;
        flags = U32(h + 4);
        height = U32(h + 8);
        width = U32(h + 12);
        linearSize = U32(h + 16);
        mipCount = U32(h + 24);
        pixelFlags = U32(h + 76);
        for (int i = 0; i < 4; ++i) fourCC[i] = static_cast<char>(h[80 + i]);
        caps = U32(h + 104);
        caps2 = U32(h + 108);
    }

    // TC_DXT1/3/5 for the three known codes, 0 otherwise.
    int Compression() const {
        if (fourCC[0] != 'D' || fourCC[1] != 'X' || fourCC[2] != 'T') return 0;
        switch (fourCC[3]) {
            case '1': return 1;
            case '3': return 2;
            case '5': return 3;
            default: return 0;
        }
    }
};

} // namespace velmora::video

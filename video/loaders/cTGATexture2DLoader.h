#pragma once
// Truevision TGA images (".tga"): uncompressed (type 2) and run-length
// encoded (type 10) true-colour images of 16, 24 or 32 bits per pixel.

#include "video/ITextureLoader.h"

namespace velmora::video {

class cTGATexture2DLoader : public ITexture2DLoader {
public:
    // The program-wide instance.
    static cTGATexture2DLoader* GetInstance();

    const char* GetExtension() const override { return ".tga"; }
    // Pixels come out red, green, blue (, alpha) with the bottom row first whatever the file's
    // origin; 16-bit pixels expand to three bytes. Mip count 0, no compression.
    void LoadTexture(IFile* file, sImageData& image, const sImageLimits& limits) const override;
    using ITexture2DLoader::LoadTexture;

    // Decodes run-length packets from `src` into exactly `pixelCount` pixels of `bytesPerPixel`
    // bytes; a packet reaching past the image is cut at its end. Returns the number of source
    // bytes used, or raises when the source ends first.
    static std::size_t DecodeRLE(const std::uint8_t* src, std::size_t srcSize, std::uint8_t* dst,
                                 std::size_t pixelCount, std::uint32_t bytesPerPixel);
};

} // namespace velmora::video

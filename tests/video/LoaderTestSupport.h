#pragma once
// Running image loaders on byte buffers and files for the loader tests.

#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "engine/filesystem/cMemoryFile.h"
#include "video/ITextureLoader.h"
#include "video/VideoTestSupport.h"
#include "video/VideoTypes.h"
#include "video/loaders/cDXTCodec.h"

namespace vtest {

// Loads `bytes` with the loader; returns the exception text, or "" on success.
inline std::string LoadBytes(const velmora::video::ITexture2DLoader& loader, std::vector<std::uint8_t> bytes,
                             velmora::video::sImageData& image,
                             const velmora::video::sImageLimits& limits = velmora::video::sImageLimits()) {
    velmora::cMemoryFile file;
    if (bytes.empty()) bytes.push_back(0);  // a memory file needs a block; one byte is as good as none
    file.Open(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    try {
        loader.LoadTexture(&file, image, limits);
    } catch (const velmora::cException& e) {
        return e.GetText();
    }
    return std::string();
}

inline std::string LoadCubeBytes(const velmora::video::ITextureCubeLoader& loader, std::vector<std::uint8_t> bytes,
                                 velmora::video::sCubeImageData& image,
                                 const velmora::video::sImageLimits& limits = velmora::video::sImageLimits()) {
    velmora::cMemoryFile file;
    if (bytes.empty()) bytes.push_back(0);
    file.Open(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    try {
        loader.LoadTextureCube(&file, image, limits);
    } catch (const velmora::cException& e) {
        return e.GetText();
    }
    return std::string();
}

// Level 0 of a loaded image as RGBA with the bottom row first: uncompressed pixels expanded,
// compressed blocks flipped (as the upload does) and decoded.
inline sImage ToRGBA(const velmora::video::sImageData& image) {
    using namespace velmora::video;
    sImage out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 255);
    if (image.compression != TC_NONE) {
        std::vector<std::uint8_t> level(image.pixels.begin(),
                                        image.pixels.begin() + static_cast<std::ptrdiff_t>(cDXTCodec::LevelBytes(
                                                                   image.compression, image.width, image.height)));
        cDXTCodec::FlipLevel(image.compression, level.data(), image.width, image.height);
        cDXTCodec::DecodeLevel(image.compression, level.data(), image.width, image.height, out.rgba.data());
        return out;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(out.width) * out.height; ++i) {
        for (std::uint32_t c = 0; c < image.bytesPerPixel && c < 4; ++c) {
            out.rgba[i * 4 + c] = image.pixels[i * image.bytesPerPixel + c];
        }
    }
    return out;
}

} // namespace vtest

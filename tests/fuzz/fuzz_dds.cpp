// DDS images through the 2D loader (with a detail reduction and a device limit) and the cube-map loader.
#include "engine/core/cException.h"
#include "fuzz/FuzzSupport.h"
#include "video/loaders/cDDSTexture2DLoader.h"
#include "video/loaders/cDDSTextureCubeLoader.h"
#include "video/loaders/cDXTCodec.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    {
        fuzz::cInputFile file(data, size);
        video::sImageData image;
        video::sImageLimits limits;
        limits.maxEdge = 4096;
        limits.droppedLevels = 1;
        try {
            video::cDDSTexture2DLoader::GetInstance()->LoadTexture(file.Get(), image, limits);
            // What the renderer does with the blocks of a software device: flip and decode the first level.
            if (image.width <= 256 && image.height <= 256) {
                const std::uint64_t bytes = video::cDXTCodec::LevelBytes(image.compression, image.width, image.height);
                if (bytes <= image.pixels.size()) {
                    std::vector<std::uint8_t> level(image.pixels.begin(), image.pixels.begin() + bytes);
                    video::cDXTCodec::FlipLevel(image.compression, level.data(), image.width, image.height);
                    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(image.width) * image.height * 4);
                    video::cDXTCodec::DecodeLevel(image.compression, level.data(), image.width, image.height,
                                                  rgba.data());
                }
            }
        } catch (const cException&) {
        }
    }
    {
        fuzz::cInputFile file(data, size);
        video::sCubeImageData cube;
        try {
            video::cDDSTextureCubeLoader::GetInstance()->LoadTextureCube(file.Get(), cube);
        } catch (const cException&) {
        }
    }
    return 0;
}

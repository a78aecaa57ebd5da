// TGA images through the loader, with the renderer's usual limits and without.
#include "engine/core/cException.h"
#include "fuzz/FuzzSupport.h"
#include "video/loaders/cTGATexture2DLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    for (const std::uint32_t maxEdge : {65536u, 2048u}) {
        fuzz::cInputFile file(data, size);
        video::sImageData image;
        video::sImageLimits limits;
        limits.maxEdge = maxEdge;
        try {
            video::cTGATexture2DLoader::GetInstance()->LoadTexture(file.Get(), image, limits);
        } catch (const cException&) {
        }
    }
    return 0;
}

// JPEG images through the loader, with a device limit and without.
#include "engine/core/cException.h"
#include "fuzz/FuzzSupport.h"
#include "video/loaders/cJPGTexture2DLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    for (const std::uint32_t maxEdge : {65536u, 4096u}) {
        fuzz::cInputFile file(data, size);
        video::sImageData image;
        video::sImageLimits limits;
        limits.maxEdge = maxEdge;
        try {
            video::cJPGTexture2DLoader::GetInstance()->LoadTexture(file.Get(), image, limits);
        } catch (const cException&) {
        }
    }
    return 0;
}

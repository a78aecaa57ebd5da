#include "video/loaders/cDDSTexture2DLoader.h"

#include <cstring>

#include "video/loaders/DDSHeader.h"
#include "video/loaders/LoaderUtil.h"
#include "video/loaders/cDXTCodec.h"

namespace velmora::video {

using namespace loaderutil;

namespace {
constexpr const char* kWhere = "cDDSTexture2DLoader::LoadTexture";
}

cDDSTexture2DLoader* cDDSTexture2DLoader::GetInstance() {
    static cDDSTexture2DLoader instance;
    return &instance;
}

void cDDSTexture2DLoader::LoadTexture(IFile* file, sImageData& image, const sImageLimits& limits) const {
    if (!file) RaiseError("%s : NULL pointer to file", kWhere);
    char magic[4] = {0, 0, 0, 0};
    if (file->Read(magic, 1, 4) != 4 || std::memcmp(magic, "DDS ", 4) != 0) {
        RaiseError("%s : not a DDS texture", kWhere);
    }
    std::uint8_t raw[sDDSHeader::kBytes];
    ReadExact(file, raw, sizeof(raw), kWhere);
    sDDSHeader header;
    header.Parse(raw);

    const int compression = header.Compression();
    if (compression == 0) RaiseError("%s : uncompressed DDS textures aren't supported yet", kWhere);
    if (header.width == 0 || header.height == 0 || header.width > kMaxImageEdge || header.height > kMaxImageEdge) {
        RaiseError("%s : invalid image size %ux%u", kWhere, header.width, header.height);
    }
    const std::uint32_t mipCount = header.mipCount == 0 ? 1 : header.mipCount;
    if (mipCount > cDXTCodec::FullChainLength(header.width, header.height)) {
        RaiseError("%s : invalid mip count %u for %ux%u", kWhere, mipCount, header.width, header.height);
    }
    CheckLimits(kWhere, header.width, header.height, mipCount, limits);
    const std::uint64_t dataSize = cDXTCodec::ChainBytes(compression, header.width, header.height, mipCount);
    if (Remaining(file) < dataSize) RaiseError("%s : unexpected end of file", kWhere);

    std::vector<std::uint8_t> data;
    Allocate(data, dataSize, "cDDSTexture2DLoader::LoadTexture : out of memory");
    ReadExact(file, data.data(), data.size(), kWhere);

    image.pixels.swap(data);
    image.width = header.width;
    image.height = header.height;
    image.bytesPerPixel = (header.pixelFlags & sDDSHeader::kPixelAlpha) ? 4 : 3;
    image.mipCount = mipCount;
    image.compression = compression;
}

} // namespace velmora::video

#include "video/loaders/cDDSTextureCubeLoader.h"

#include <cstring>

#include "video/loaders/DDSHeader.h"
#include "video/loaders/LoaderUtil.h"
#include "video/loaders/cDXTCodec.h"

namespace velmora::video {

using namespace loaderutil;

namespace {

constexpr const char* kWhere = "cDDSTextureCubeLoader::LoadTextureCube";

void CheckCaps(const sDDSHeader& header) {
    if (!(header.flags & sDDSHeader::kCapsPresent) ||
        (header.caps & sDDSHeader::kCapsComplexTexture) != sDDSHeader::kCapsComplexTexture ||
        !(header.caps2 & sDDSHeader::kCaps2CubeMap)) {
        RaiseError("cDDSTextureCubeLoader::CheckCaps : not a cube map");
    }
}

} // namespace

cDDSTextureCubeLoader* cDDSTextureCubeLoader::GetInstance() {
    static cDDSTextureCubeLoader instance;
    return &instance;
}

void cDDSTextureCubeLoader::LoadTextureCube(IFile* file, sCubeImageData& image, const sImageLimits& limits) const {
    if (!file) RaiseError("%s : NULL pointer to file", kWhere);
    char magic[4] = {0, 0, 0, 0};
    if (file->Read(magic, 1, 4) != 4 || std::memcmp(magic, "DDS ", 4) != 0) {
        RaiseError("%s : invalid file format", kWhere);
    }
    std::uint8_t raw[sDDSHeader::kBytes];
    ReadExact(file, raw, sizeof(raw), kWhere);
    sDDSHeader header;
    header.Parse(raw);
    CheckCaps(header);

    const int compression = header.Compression();
    if (compression == 0) RaiseError("%s : uncompressed DDS cube maps aren't supported yet", kWhere);
    const std::uint32_t size = header.width;
    if (size == 0 || size > kMaxImageEdge || header.height != size) {
        RaiseError("%s : invalid face size %ux%u", kWhere, header.width, header.height);
    }
    const std::uint32_t mipCount = header.mipCount == 0 ? 1 : header.mipCount;
    if (mipCount > cDXTCodec::FullChainLength(size, size)) {
        RaiseError("%s : invalid mip count %u for %ux%u", kWhere, mipCount, size, size);
    }
    CheckLimits(kWhere, size, size, mipCount, limits);
    // Every face holds the whole chain of blocks.
    const std::uint64_t faceSize = cDXTCodec::ChainBytes(compression, size, size, mipCount);
    int present = 0;
    for (std::uint32_t faceBit : sDDSHeader::kCaps2Faces) present += (header.caps2 & faceBit) ? 1 : 0;
    if (present == 0) RaiseError("%s : the file holds no face", kWhere);
    if (Remaining(file) < faceSize * static_cast<std::uint64_t>(present)) {
        RaiseError("%s : unexpected end of file", kWhere);
    }

    sCubeImageData result;
    for (int face = 0; face < 6; ++face) {
        if (!(header.caps2 & sDDSHeader::kCaps2Faces[face])) continue;
        Allocate(result.faces[face], faceSize, "cDDSTextureCubeLoader::LoadTextureCube : out of memory");
        ReadExact(file, result.faces[face].data(), result.faces[face].size(), kWhere);
    }
    result.size = size;
    result.bytesPerPixel = (header.pixelFlags & sDDSHeader::kPixelAlpha) ? 4 : 3;
    result.mipCount = mipCount;
    result.compression = compression;
    image = std::move(result);
}

} // namespace velmora::video

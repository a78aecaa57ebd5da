#include "video/loaders/cTGATexture2DLoader.h"

#include <algorithm>
#include <cstring>

#include "video/VideoTypes.h"
#include "video/loaders/LoaderUtil.h"

namespace velmora::video {

using namespace loaderutil;

namespace {

constexpr const char* kWhere = "cTGATexture2DLoader::LoadTexture";

// One file pixel (blue, green, red [, alpha] or 16-bit 5:5:5) to red, green, blue [, alpha].
void ConvertPixel(const std::uint8_t* in, std::uint32_t fileBytes, std::uint8_t* out) {
    if (fileBytes == 2) {
        const std::uint16_t v = U16(in);
        out[0] = static_cast<std::uint8_t>(((v >> 10) & 31) << 3);
        out[1] = static_cast<std::uint8_t>(((v >> 5) & 31) << 3);
        out[2] = static_cast<std::uint8_t>((v & 31) << 3);
        return;
    }
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    if (fileBytes == 4) out[3] = in[3];
}

} // namespace

cTGATexture2DLoader* cTGATexture2DLoader::GetInstance() {
    static cTGATexture2DLoader instance;
    return &instance;
}

std::size_t cTGATexture2DLoader::DecodeRLE(const std::uint8_t* src, std::size_t srcSize, std::uint8_t* dst,
                                          std::size_t pixelCount, std::uint32_t bytesPerPixel) {
    std::size_t in = 0;
    std::size_t done = 0;
    while (done < pixelCount) {
        if (in >= srcSize) RaiseError("%s : unexpected end of file", kWhere);
        const std::uint8_t header = src[in++];
        const std::size_t count = std::min<std::size_t>((header & 0x7F) + 1, pixelCount - done);
        if (header & 0x80) {
            if (srcSize - in < bytesPerPixel) RaiseError("%s : unexpected end of file", kWhere);
            for (std::size_t i = 0; i < count; ++i) {
                std::memcpy(dst + (done + i) * bytesPerPixel, src + in, bytesPerPixel);
            }
            in += bytesPerPixel;
        } else {
            // A literal packet cut at the image's end still spans its full length in the source.
            const std::size_t announced = (header & 0x7Fu) + 1;
            if ((srcSize - in) / bytesPerPixel < count) RaiseError("%s : unexpected end of file", kWhere);
            std::memcpy(dst + done * bytesPerPixel, src + in, count * bytesPerPixel);
            in += std::min(announced * bytesPerPixel, srcSize - in);
        }
        done += count;
    }
    return in;
}

void cTGATexture2DLoader::LoadTexture(IFile* file, sImageData& image, const sImageLimits& limits) const {
    if (!file) RaiseError("%s : NULL pointer to file", kWhere);
    std::uint8_t header[18];
    ReadExact(file, header, sizeof(header), kWhere);
    const std::uint32_t idLength = header[0];
    const std::uint32_t colourMapType = header[1];
    const std::uint32_t imageType = header[2];
    const std::uint32_t colourMapLength = U16(header + 5);
    const std::uint32_t colourMapEntryBits = header[7];
    const std::uint32_t width = U16(header + 12);
    const std::uint32_t height = U16(header + 14);
    const std::uint32_t bits = header[16];
    const std::uint8_t descriptor = header[17];

    if (imageType != 2 && imageType != 10) RaiseError("%s : unsupported image type %u", kWhere, imageType);
    if (bits != 16 && bits != 24 && bits != 32) RaiseError("%s : invalid color depth %u", kWhere, bits);
    if (width == 0 || height == 0) RaiseError("%s : invalid image size %ux%u", kWhere, width, height);
    CheckLimits(kWhere, width, height, 1, limits);

    // Skip the image id and any colour map (unused by true-colour images).
    std::uint32_t skip = idLength;
    if (colourMapType != 0) skip += colourMapLength * ((colourMapEntryBits + 7) / 8);
    if (skip > 0) {
        if (Remaining(file) < skip) RaiseError("%s : unexpected end of file", kWhere);
        std::vector<std::uint8_t> ignored(skip);
        ReadExact(file, ignored.data(), skip, kWhere);
    }

    const std::uint32_t fileBytes = bits / 8;
    const std::uint32_t outBytes = fileBytes == 2 ? 3 : fileBytes;
    const std::uint64_t pixelCount = static_cast<std::uint64_t>(width) * height;
    const std::uint64_t remaining = Remaining(file);

    // Check the header against the file before allocating anything it announces.
    std::vector<std::uint8_t> raw;
    if (imageType == 10) {
        const std::uint64_t minimum = (pixelCount + 127) / 128 * (1 + fileBytes);
        if (remaining < minimum) RaiseError("%s : unexpected end of file", kWhere);
        Allocate(raw, pixelCount * fileBytes, "cTGATexture2DLoader::LoadTexture : failed to allocate memory");
        std::vector<std::uint8_t> packed;
        Allocate(packed, remaining, "cTGATexture2DLoader::LoadTexture : failed to allocate memory");
        ReadExact(file, packed.data(), packed.size(), kWhere);
        DecodeRLE(packed.data(), packed.size(), raw.data(), static_cast<std::size_t>(pixelCount), fileBytes);
    } else {
        if (remaining < pixelCount * fileBytes) RaiseError("%s : unexpected end of file", kWhere);
        Allocate(raw, pixelCount * fileBytes, "cTGATexture2DLoader::LoadTexture : failed to allocate memory");
        ReadExact(file, raw.data(), raw.size(), kWhere);
    }

    std::vector<std::uint8_t> pixels;
    Allocate(pixels, pixelCount * outBytes, "cTGATexture2DLoader::LoadTexture : failed to allocate memory");
    // Descriptor bit 5 marks files stored top row first; keep the bottom row first.
    const bool topDown = (descriptor & 0x20) != 0;
    const std::size_t rowIn = static_cast<std::size_t>(width) * fileBytes;
    const std::size_t rowOut = static_cast<std::size_t>(width) * outBytes;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = raw.data() + static_cast<std::size_t>(y) * rowIn;
        std::uint8_t* out = pixels.data() + static_cast<std::size_t>(topDown ? height - 1 - y : y) * rowOut;
        for (std::uint32_t x = 0; x < width; ++x) ConvertPixel(in + x * fileBytes, fileBytes, out + x * outBytes);
    }

    image.pixels.swap(pixels);
    image.width = width;
    image.height = height;
    image.bytesPerPixel = outBytes;
    image.mipCount = 0;
    image.compression = TC_NONE;
}

} // namespace velmora::video

#include "tools/generator/ImageFiles.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>

#include <jpeglib.h>
#include <squish.h>
#include <zlib.h>

namespace brevonne {

void PutU8(tBytes& out, std::uint8_t v) { out.push_back(v); }
void PutU16(tBytes& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(tBytes& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutI32(tBytes& out, std::int32_t v) { PutU32(out, static_cast<std::uint32_t>(v)); }
void PutF32(tBytes& out, float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    PutU32(out, bits);
}
void PutBytes(tBytes& out, const void* data, std::size_t size)
{
    const std::uint8_t* p = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

// Header of an uncompressed true-colour TGA with its origin at the bottom left.
void PutTGAHeader(tBytes& out, int width, int height, int channels)
{
    PutU8(out, 0);                   // id length
    PutU8(out, 0);                   // no colour map
    PutU8(out, 2);                   // uncompressed true colour
    for (int i = 0; i < 5; ++i)
        PutU8(out, 0);               // colour-map fields
    PutU16(out, 0);                  // x origin
    PutU16(out, 0);                  // y origin
    PutU16(out, static_cast<std::uint16_t>(width));
    PutU16(out, static_cast<std::uint16_t>(height));
    PutU8(out, static_cast<std::uint8_t>(channels * 8));
    PutU8(out, channels == 4 ? 8 : 0); // alpha bits; origin bottom left
}

tBytes EncodeTGA(const cImage& image, bool withAlpha)
{
    int channels = withAlpha ? 4 : 3;
    tBytes out;
    PutTGAHeader(out, image.GetWidth(), image.GetHeight(), channels);
    tBytes rgb = image.ToBytes(channels);
    for (std::size_t i = 0; i < rgb.size(); i += channels)
        std::swap(rgb[i], rgb[i + 2]);
    out.insert(out.end(), rgb.begin(), rgb.end());
    return out;
}

tBytes EncodeTGA(int width, int height, const std::vector<std::uint8_t>& rgba)
{
    tBytes out;
    PutTGAHeader(out, width, height, 4);
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    for (std::size_t i = 0; i + 3 < rgba.size() && i < bytes; i += 4) {
        PutU8(out, rgba[i + 2]);
        PutU8(out, rgba[i + 1]);
        PutU8(out, rgba[i]);
        PutU8(out, rgba[i + 3]);
    }
    return out;
}

tBytes EncodeJPEG(const cImage& image, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.GetWidth());
    cinfo.image_height = static_cast<JDIMENSION>(image.GetHeight());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    tBytes rows = image.ToBytesTopDown(3);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &rows[static_cast<std::size_t>(cinfo.next_scanline) * image.GetWidth() * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    tBytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

std::vector<cImage> BuildMipChain(const cImage& image)
{
    std::vector<cImage> chain;
    chain.push_back(image);
    while (chain.back().GetWidth() > 1 || chain.back().GetHeight() > 1)
        chain.push_back(chain.back().Downsample());
    return chain;
}

std::uint32_t DXTLevelSize(int w, int h, eDXT format)
{
    std::uint32_t blocks = static_cast<std::uint32_t>((w + 3) / 4) * static_cast<std::uint32_t>((h + 3) / 4);
    return blocks * (format == eDXT::DXT1 ? 8u : 16u);
}

namespace {

float Coverage(const cImage& img, float ref, float scale)
{
    int pass = 0;
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x)
            if (img.At(x, y).a * scale >= ref)
                ++pass;
    return static_cast<float>(pass) / (img.GetWidth() * img.GetHeight());
}

void ScaleAlphaToCoverage(cImage& img, float ref, float target)
{
    float lo = 0.5f, hi = 8.0f;
    for (int i = 0; i < 16; ++i) {
        float mid = 0.5f * (lo + hi);
        if (Coverage(img, ref, mid) < target)
            lo = mid;
        else
            hi = mid;
    }
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x)
            img.At(x, y).a = std::min(1.0f, img.At(x, y).a * hi);
}

void AppendDXTLevel(tBytes& out, const cImage& level, eDXT format)
{
    tBytes rgba = level.ToBytesTopDown(4);
    std::uint32_t size = DXTLevelSize(level.GetWidth(), level.GetHeight(), format);
    std::size_t at = out.size();
    out.resize(at + size);
    int flags = (format == eDXT::DXT1 ? squish::kDxt1 : squish::kDxt3) | squish::kColourClusterFit;
    squish::CompressImage(rgba.data(), level.GetWidth(), level.GetHeight(), &out[at], flags);
}

void PutDDSHeader(tBytes& out, int width, int height, int mips, eDXT format, bool alpha, bool cube)
{
    PutBytes(out, "DDS ", 4);
    PutU32(out, 124);
    PutU32(out, 0x1u | 0x2u | 0x4u | 0x1000u | 0x20000u | 0x80000u); // caps, height, width, pixel format, mips, linear size
    PutU32(out, static_cast<std::uint32_t>(height));
    PutU32(out, static_cast<std::uint32_t>(width));
    PutU32(out, DXTLevelSize(width, height, format));
    PutU32(out, 0);                       // depth
    PutU32(out, static_cast<std::uint32_t>(mips));
    for (int i = 0; i < 11; ++i)
        PutU32(out, 0);
    PutU32(out, 32);                      // pixel format size
    PutU32(out, 0x4u | (alpha ? 0x1u : 0u)); // four-character code (+ alpha pixels)
    PutBytes(out, format == eDXT::DXT1 ? "DXT1" : "DXT3", 4);
    for (int i = 0; i < 5; ++i)
        PutU32(out, 0);
    PutU32(out, 0x1000u | 0x8u | 0x400000u); // texture, complex, mip-map
    PutU32(out, cube ? (0x200u | 0xFC00u) : 0u);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
}

bool HasAlpha(const cImage& image)
{
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (image.At(x, y).a < 0.999f)
                return true;
    return false;
}

} // namespace

tBytes EncodeDDS(const cImage& image, eDXT format, bool preserveCoverage, float alphaRef)
{
    std::vector<cImage> chain = BuildMipChain(image);
    if (preserveCoverage) {
        float target = Coverage(image, alphaRef, 1.0f);
        for (std::size_t i = 1; i < chain.size(); ++i)
            ScaleAlphaToCoverage(chain[i], alphaRef, target);
    }
    tBytes out;
    PutDDSHeader(out, image.GetWidth(), image.GetHeight(), static_cast<int>(chain.size()), format, HasAlpha(image), false);
    for (const cImage& level : chain)
        AppendDXTLevel(out, level, format);
    return out;
}

tBytes EncodeDDSCube(const cImage faces[6], eDXT format)
{
    int size = faces[0].GetWidth();
    tBytes out;
    int mips = 0;
    for (int s = size; s >= 1; s /= 2)
        ++mips;
    PutDDSHeader(out, size, size, mips, format, false, true);
    for (int f = 0; f < 6; ++f)
        for (const cImage& level : BuildMipChain(faces[f]))
            AppendDXTLevel(out, level, format);
    return out;
}

tBytes EncodePNG(const cImage& image, bool withAlpha)
{
    int channels = withAlpha ? 4 : 3;
    tBytes pixels = image.ToBytesTopDown(channels);
    std::size_t rowBytes = static_cast<std::size_t>(image.GetWidth()) * channels;
    tBytes raw;
    raw.reserve((rowBytes + 1) * image.GetHeight());
    for (int y = 0; y < image.GetHeight(); ++y) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), pixels.begin() + rowBytes * y, pixels.begin() + rowBytes * (y + 1));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    tBytes packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6);
    packed.resize(packedSize);

    tBytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    auto chunk = [&out](const char* type, const tBytes& data) {
        std::uint32_t n = static_cast<std::uint32_t>(data.size());
        for (int i = 3; i >= 0; --i)
            out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
        std::size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, &out[start], static_cast<uInt>(out.size() - start)));
        for (int i = 3; i >= 0; --i)
            out.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
    };
    tBytes ihdr;
    for (std::uint32_t v : {static_cast<std::uint32_t>(image.GetWidth()), static_cast<std::uint32_t>(image.GetHeight())})
        for (int i = 3; i >= 0; --i)
            ihdr.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    ihdr.push_back(8);
    ihdr.push_back(withAlpha ? 6 : 2);
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(0);
    chunk("IHDR", ihdr);
    chunk("IDAT", packed);
    chunk("IEND", tBytes());
    return out;
}

bool CreateParentFolders(const std::string& path)
{
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (path[i] != '/')
            continue;
        std::string folder = path.substr(0, i);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool WriteFileBytes(const std::string& path, const tBytes& bytes)
{
    if (!CreateParentFolders(path))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

bool WriteFileText(const std::string& path, const std::string& text)
{
    return WriteFileBytes(path, tBytes(text.begin(), text.end()));
}

} // namespace brevonne

// image <in.tga|in.dds|in.jpg> <out.png|out.ppm> [face]: decodes an image
// file with the engine's loaders and writes level 0 as PNG (RGBA when the
// image has alpha, else RGB) or binary PPM (RGB), top row first, so that the
// engine's decoding can be compared with other decoders. Compressed images
// go through the same block flip as the texture upload, then a software
// decoder. For a DDS cube map the optional face number (0-5: +X, -X, +Y,
// -Y, +Z, -Z; default 0) picks the face, written in the file's row order.

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "tools/velmora-tool/ToolOutput.h"
#include "tools/velmora-tool/Verbs.h"
#include "video/ITextureLoader.h"
#include "video/VideoTypes.h"
#include "video/loaders/cDDSTexture2DLoader.h"
#include "video/loaders/cDDSTextureCubeLoader.h"
#include "video/loaders/cDXTCodec.h"
#include "video/loaders/cJPGTexture2DLoader.h"
#include "video/loaders/cTGATexture2DLoader.h"

namespace velmora::tool {

namespace {

// Decoded picture, top row first.
struct sPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 3;              // 3 or 4
    std::vector<std::uint8_t> rgba; // width x height x 4
};

std::string LowerExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

// Expands an uncompressed image (bottom row first) or decodes level 0 of a compressed one
// (after the upload's flip) into a top-down picture.
void FromImage(const video::sImageData& image, sPicture& out) {
    out.width = image.width;
    out.height = image.height;
    std::vector<std::uint8_t> bottomUp(static_cast<std::size_t>(image.width) * image.height * 4, 255);
    if (image.compression != video::TC_NONE) {
        const std::size_t bytes =
            static_cast<std::size_t>(video::cDXTCodec::LevelBytes(image.compression, image.width, image.height));
        std::vector<std::uint8_t> level(image.pixels.begin(), image.pixels.begin() + static_cast<std::ptrdiff_t>(bytes));
        video::cDXTCodec::FlipLevel(image.compression, level.data(), image.width, image.height);
        video::cDXTCodec::DecodeLevel(image.compression, level.data(), image.width, image.height, bottomUp.data());
        out.channels = image.bytesPerPixel == 4 || image.compression != video::TC_DXT1 ? 4 : 3;
    } else {
        const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
        for (std::size_t i = 0; i < count; ++i) {
            for (std::uint32_t c = 0; c < image.bytesPerPixel && c < 4; ++c) {
                bottomUp[i * 4 + c] = image.pixels[i * image.bytesPerPixel + c];
            }
        }
        out.channels = image.bytesPerPixel == 4 ? 4 : 3;
    }
    const std::size_t row = static_cast<std::size_t>(image.width) * 4;
    out.rgba.resize(bottomUp.size());
    for (std::uint32_t y = 0; y < image.height; ++y) {
        std::memcpy(out.rgba.data() + y * row, bottomUp.data() + (image.height - 1 - y) * row, row);
    }
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, static_cast<std::uint32_t>(crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start))));
}

bool EncodePNG(const sPicture& picture, std::vector<std::uint8_t>& png) {
    std::vector<std::uint8_t> raw;
    raw.reserve((static_cast<std::size_t>(picture.width) * picture.channels + 1) * picture.height);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        raw.push_back(0);
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.rgba.data() + (static_cast<std::size_t>(y) * picture.width + x) * 4;
            raw.insert(raw.end(), p, p + picture.channels);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return false;
    packed.resize(packedSize);
    png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutU32(header, picture.width);
    PutU32(header, picture.height);
    header.insert(header.end(), {8, static_cast<std::uint8_t>(picture.channels == 4 ? 6 : 2), 0, 0, 0});
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return true;
}

void EncodePPM(const sPicture& picture, std::vector<std::uint8_t>& ppm) {
    const std::string header = "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
    ppm.assign(header.begin(), header.end());
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        ppm.insert(ppm.end(), picture.rgba.begin() + static_cast<std::ptrdiff_t>(i),
                   picture.rgba.begin() + static_cast<std::ptrdiff_t>(i + 3));
    }
}

// True when the DDS header marks a cube map.
bool IsCubeMap(IFile& file) {
    std::uint8_t header[128];
    const bool read = file.Read(header, 1, 128) == 128;
    file.Seek(0, SEEK_FROM_START);
    return read && std::memcmp(header, "DDS ", 4) == 0 && (header[113] & 0x02) != 0;
}

} // namespace

int RunImage(int argc, char** argv) {
    if (argc < 2 || argc > 3) return PrintVerbUsage(*FindVerb("image"));
    const std::string input = argv[0];
    const std::string output = argv[1];
    const std::string outExtension = LowerExtension(output);
    if (outExtension != ".png" && outExtension != ".ppm") {
        std::fprintf(stderr, "velmora-tool image: the output must end in .png or .ppm\n");
        return 2;
    }
    int face = 0;
    if (argc == 3) {
        char* end = nullptr;
        const long value = std::strtol(argv[2], &end, 10);
        if (!end || *end || value < 0 || value > 5) {
            std::fprintf(stderr, "velmora-tool image: the face must be 0-5\n");
            return 2;
        }
        face = static_cast<int>(value);
    }
    if (!TakeStandardOutput()) return 1;

    cPlatformFileSystem fileSystem;
    IFile* file = fileSystem.OpenFile(input.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "velmora-tool image: cannot open '%s'\n", input.c_str());
        return 1;
    }
    sPicture picture;
    const std::string extension = LowerExtension(input);
    try {
        if (extension == ".dds" && IsCubeMap(*file)) {
            video::sCubeImageData cube;
            video::cDDSTextureCubeLoader::GetInstance()->LoadTextureCube(file, cube);
            if (cube.faces[face].empty()) RaiseError("the cube map has no face %d", face);
            picture.width = picture.height = cube.size;
            picture.channels = cube.compression == video::TC_DXT1 && cube.bytesPerPixel == 3 ? 3 : 4;
            picture.rgba.resize(static_cast<std::size_t>(cube.size) * cube.size * 4);
            video::cDXTCodec::DecodeLevel(cube.compression, cube.faces[face].data(), cube.size, cube.size,
                                          picture.rgba.data());
        } else {
            const video::ITexture2DLoader* loader = nullptr;
            if (extension == ".tga") loader = video::cTGATexture2DLoader::GetInstance();
            if (extension == ".dds") loader = video::cDDSTexture2DLoader::GetInstance();
            if (extension == ".jpg" || extension == ".jpeg") loader = video::cJPGTexture2DLoader::GetInstance();
            if (!loader) RaiseError("unsupported image format");
            video::sImageData image;
            loader->LoadTexture(file, image);
            FromImage(image, picture);
        }
    } catch (const cException& e) {
        file->Release();
        std::fprintf(stderr, "velmora-tool image: '%s', %s\n", input.c_str(), e.GetText());
        return 1;
    }
    file->Release();

    std::vector<std::uint8_t> encoded;
    if (outExtension == ".png") {
        if (!EncodePNG(picture, encoded)) {
            std::fprintf(stderr, "velmora-tool image: PNG compression failed\n");
            return 1;
        }
    } else {
        EncodePPM(picture, encoded);
    }
    std::FILE* out = std::fopen(output.c_str(), "wb");
    if (!out || std::fwrite(encoded.data(), 1, encoded.size(), out) != encoded.size()) {
        if (out) std::fclose(out);
        std::fprintf(stderr, "velmora-tool image: cannot write '%s'\n", output.c_str());
        return 1;
    }
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "velmora-tool image: cannot write '%s'\n", output.c_str());
        return 1;
    }
    return 0;
}

} // namespace velmora::tool

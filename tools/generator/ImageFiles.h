#pragma once
// Encoders for the picture files the engine's loaders read (TGA, JPEG, DDS
// with DXT1/DXT3 blocks, DDS cube maps) and PNG for previews. Each returns the
// complete file as bytes, so the result can be checked before it is written.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/generator/cImage.h"

namespace brevonne {

using tBytes = std::vector<std::uint8_t>;

enum class eDXT { DXT1, DXT3 };

// Uncompressed true-colour TGA (image type 2), 24 or 32 bits, rows bottom first.
tBytes EncodeTGA(const cImage& image, bool withAlpha);
// An uncompressed 32-bit TGA from RGBA bytes whose rows run bottom first.
tBytes EncodeTGA(int width, int height, const std::vector<std::uint8_t>& rgba);
// Baseline colour JPEG at the given quality (1-100).
tBytes EncodeJPEG(const cImage& image, int quality);
// DDS with a full mip chain of DXT blocks, picture rows top first as DDS files hold them.
// With preserveCoverage the alpha of smaller levels is scaled so that as many texels pass an alpha test at
// alphaRef as in the top level (alpha-tested leaves then do not thin out in the distance).
tBytes EncodeDDS(const cImage& image, eDXT format, bool preserveCoverage = false, float alphaRef = 0.5f);
// DDS cube map of six square faces in the order +X, -X, +Y, -Y, +Z, -Z, each with a full mip chain.
tBytes EncodeDDSCube(const cImage faces[6], eDXT format);
// PNG (8 bits per channel, RGB or RGBA) for the previews.
tBytes EncodePNG(const cImage& image, bool withAlpha);

// The mip chain of an image down to 1 x 1, the image itself first.
std::vector<cImage> BuildMipChain(const cImage& image);
// Number of bytes of one DXT level of w x h texels.
std::uint32_t DXTLevelSize(int w, int h, eDXT format);

// Writes bytes to path, creating the missing folders on the way. False when the file cannot be written.
bool WriteFileBytes(const std::string& path, const tBytes& bytes);
bool WriteFileText(const std::string& path, const std::string& text);
// Creates every folder of path up to its last '/'.
bool CreateParentFolders(const std::string& path);

// Little-endian appenders shared by the binary writers.
void PutU8(tBytes& out, std::uint8_t v);
void PutU16(tBytes& out, std::uint16_t v);
void PutU32(tBytes& out, std::uint32_t v);
void PutI32(tBytes& out, std::int32_t v);
void PutF32(tBytes& out, float v);
void PutBytes(tBytes& out, const void* data, std::size_t size);

} // namespace brevonne

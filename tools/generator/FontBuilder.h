#pragma once
// Bitmap fonts in the ".fnt" format: a run-length coded greyscale glyph atlas
// and 256 character records (u, v of the lower-left corner, width and height
// in texture units, advance and quad height in pixels), rasterised with
// FreeType from a TrueType font.

#include <cstdint>
#include <string>
#include <vector>

namespace brevonne {

struct sFontRequest {
    std::string ttfPath;  // the TrueType file
    int pixelSize = 14;   // em size in pixels; also the file's font height
    int atlasSize = 256;  // the square atlas
};

// The whole ".fnt" file; throws std::runtime_error when the font cannot be read or the glyphs do not fit.
std::vector<std::uint8_t> BuildFont(const sFontRequest& request);

// Run-length coding of the atlas: bytes equal to marker, and runs of four or more equal bytes, become
// marker, 32-bit count, value.
std::vector<std::uint8_t> RunLengthEncode(const std::vector<std::uint8_t>& data, std::uint8_t marker);
// The inverse; false on a cut-off run or when the output would pass expectedSize.
bool RunLengthDecode(const std::vector<std::uint8_t>& packed, std::uint8_t marker, std::size_t expectedSize, std::vector<std::uint8_t>& out);

// The first of the candidate font files that exists, or an empty string.
std::string FindFontFile(const std::vector<std::string>& candidates);

} // namespace brevonne

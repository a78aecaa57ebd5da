#include "tools/generator/FontBuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "tools/generator/ImageFiles.h"

namespace brevonne {

std::vector<std::uint8_t> RunLengthEncode(const std::vector<std::uint8_t>& data, std::uint8_t marker)
{
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < data.size()) {
        std::size_t j = i + 1;
        while (j < data.size() && data[j] == data[i])
            ++j;
        std::size_t run = j - i;
        if (run >= 4 || data[i] == marker) {
            out.push_back(marker);
            PutU32(out, static_cast<std::uint32_t>(run));
            out.push_back(data[i]);
        } else {
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i), data.begin() + static_cast<std::ptrdiff_t>(j));
        }
        i = j;
    }
    return out;
}

bool RunLengthDecode(const std::vector<std::uint8_t>& packed, std::uint8_t marker, std::size_t expectedSize, std::vector<std::uint8_t>& out)
{
    out.clear();
    for (std::size_t i = 0; i < packed.size();) {
        if (packed[i] == marker) {
            if (i + 6 > packed.size())
                return false;
            std::uint32_t count = static_cast<std::uint32_t>(packed[i + 1]) | (static_cast<std::uint32_t>(packed[i + 2]) << 8) | (static_cast<std::uint32_t>(packed[i + 3]) << 16) | (static_cast<std::uint32_t>(packed[i + 4]) << 24);
            if (count > expectedSize - out.size())
                return false;
            out.insert(out.end(), count, packed[i + 5]);
            i += 6;
        } else {
            if (out.size() >= expectedSize)
                return false;
            out.push_back(packed[i++]);
        }
    }
    return true;
}

std::string FindFontFile(const std::vector<std::string>& candidates)
{
    for (const std::string& c : candidates) {
        std::FILE* f = std::fopen(c.c_str(), "rb");
        if (f) {
            std::fclose(f);
            return c;
        }
    }
    return std::string();
}

std::vector<std::uint8_t> BuildFont(const sFontRequest& request)
{
    FT_Library lib;
    if (FT_Init_FreeType(&lib))
        throw std::runtime_error("BuildFont : FreeType failed to start");
    FT_Face face;
    if (FT_New_Face(lib, request.ttfPath.c_str(), 0, &face)) {
        FT_Done_FreeType(lib);
        throw std::runtime_error("BuildFont : cannot read font '" + request.ttfPath + "'");
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(request.pixelSize));
    int ascender = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
    int descender = static_cast<int>(std::floor(face->size->metrics.descender / 64.0)); // negative
    int lineHeight = ascender - descender;
    const int A = request.atlasSize;
    std::vector<std::uint8_t> atlas(static_cast<std::size_t>(A) * A, 0); // rows bottom first
    std::array<std::array<float, 6>, 256> records{};

    // Cells are laid out in rows from the top of the picture down, one pixel apart.
    int penX = 1, rowTop = A - 1;
    for (int code = 32; code < 127; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
            continue;
        FT_GlyphSlot g = face->glyph;
        int advance = std::max(1, static_cast<int>(std::lround(g->advance.x / 64.0)));
        if (penX + advance + 1 > A) {
            penX = 1;
            rowTop -= lineHeight + 1;
        }
        int cellBottom = rowTop - lineHeight;
        if (cellBottom < 0) {
            FT_Done_Face(face);
            FT_Done_FreeType(lib);
            throw std::runtime_error("BuildFont : glyphs do not fit into the atlas");
        }
        int baseline = cellBottom - descender;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned int r = 0; r < bm.rows; ++r)
            for (unsigned int c = 0; c < bm.width; ++c) {
                int x = penX + g->bitmap_left + static_cast<int>(c);
                int y = baseline + g->bitmap_top - 1 - static_cast<int>(r);
                if (x < penX || x >= penX + advance || y < cellBottom || y >= cellBottom + lineHeight)
                    continue; // the quad is one advance wide: overhangs are cut
                std::uint8_t v = bm.buffer[static_cast<std::ptrdiff_t>(r) * bm.pitch + static_cast<int>(c)];
                std::uint8_t& dst = atlas[static_cast<std::size_t>(y) * A + x];
                dst = std::max(dst, v);
            }
        records[static_cast<std::size_t>(code)] = {static_cast<float>(penX) / A, static_cast<float>(cellBottom) / A, static_cast<float>(advance) / A,
                                                   static_cast<float>(lineHeight) / A, static_cast<float>(advance), static_cast<float>(lineHeight)};
        penX += advance + 1;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);

    // The marker is the rarest grey value, so few literal bytes need escaping.
    std::array<std::size_t, 256> histogram{};
    for (std::uint8_t v : atlas)
        ++histogram[v];
    std::uint8_t marker = static_cast<std::uint8_t>(std::min_element(histogram.begin() + 1, histogram.end()) - histogram.begin());
    std::vector<std::uint8_t> packed = RunLengthEncode(atlas, marker);

    std::vector<std::uint8_t> out;
    PutI32(out, A);
    PutI32(out, A);
    PutI32(out, request.pixelSize);
    PutU32(out, marker);
    PutU32(out, static_cast<std::uint32_t>(atlas.size()));
    PutU32(out, static_cast<std::uint32_t>(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
    for (const auto& r : records)
        for (float v : r)
            PutF32(out, v);
    return out;
}

} // namespace brevonne

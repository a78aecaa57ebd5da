#pragma once
// The built-in pictures of the default skin. When a skin texture file is
// missing from "data/textures/gui/default/", the skin paints the same
// picture here and uses it instead, so a dialog always looks the same.
// The layout of each picture (which states lie where) is described in
// cSkin.cpp's piece table.

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::gui {

struct sSkinImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgba;  // rows bottom first, as textures take them
};

// The picture of a skin texture by file name without folder ("Button.tga"); false for a name the skin
// does not know.
bool PaintSkinImage(const std::string& fileName, sSkinImage& out);

} // namespace velmora::gui

#pragma once
// Writes pictures as PNG files (8-bit RGBA, no interlace) for frame captures.

#include <cstdint>
#include <string>
#include <vector>

namespace brevonne {

// rgba: width x height pixels, rows bottom first (as the renderer reads them back); the file
// stores the top row first as viewers expect. False when the size does not match or the file
// cannot be written.
bool WritePNG(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);

} // namespace brevonne

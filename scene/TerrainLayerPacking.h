#pragma once
// Detail layers packed into the channels of one texture. The terrain's four
// detail layers are usually grey pictures (the colour map carries the colour)
// tiled at one scale; then one RGBA lookup at that scale returns all four, and
// the layering programs sample five textures per pixel instead of eight, for
// the same picture. Nothing here touches a device: the terrain reads its layer
// textures back and hands the pixels in.

#include <cstdint>
#include <vector>

namespace velmora::scene {

// An RGBA picture, rows bottom first, width x height x 4 bytes.
struct sLayerPixels {
    const std::uint8_t* rgba = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// How far a texel's red, green and blue may lie apart for the picture to count as grey (block
// compression rounds red and blue to 5 bits and green to 6, which parts a grey by up to 4).
constexpr int kGreyTolerance = 8;

// True when no texel's channels differ by more than `tolerance`; false for an empty or short picture.
bool IsGreyPicture(const sLayerPixels& picture, int tolerance = kGreyTolerance);

// Packs four grey pictures into `out` (RGBA: picture k's grey in channel k) at the largest width and height
// among them; smaller ones are resampled bilinearly with wrapping, as a tiled texture is read. Returns false,
// leaving `out` empty and width and height 0, when a picture is missing, empty or not grey.
bool PackGreyLayers(const sLayerPixels pictures[4], std::vector<std::uint8_t>& out, std::uint32_t& width,
                    std::uint32_t& height);

} // namespace velmora::scene

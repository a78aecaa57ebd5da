#include "scene/TerrainLayerPacking.h"

#include <algorithm>
#include <cmath>

namespace velmora::scene {

namespace {

bool HasPixels(const sLayerPixels& p) { return p.rgba && p.width > 0 && p.height > 0; }

std::uint8_t Grey(const std::uint8_t* texel) {
    return static_cast<std::uint8_t>((texel[0] + texel[1] + texel[2] + 1) / 3);
}

// The grey of `p` at texel-centre coordinates (x, y) of a picture `width` x `height` covering the same tile.
std::uint8_t SampleWrapped(const sLayerPixels& p, std::uint32_t x, std::uint32_t y, std::uint32_t width,
                           std::uint32_t height) {
    if (p.width == width && p.height == height) {
        return Grey(p.rgba + (static_cast<std::size_t>(y) * width + x) * 4);
    }
    // Texel centres line up with the source's: u = (x + 0.5) / width covers the same spot in both.
    const float u = (static_cast<float>(x) + 0.5f) * static_cast<float>(p.width) / static_cast<float>(width) - 0.5f;
    const float v = (static_cast<float>(y) + 0.5f) * static_cast<float>(p.height) / static_cast<float>(height) - 0.5f;
    const float u0 = std::floor(u);
    const float v0 = std::floor(v);
    const float fu = u - u0;
    const float fv = v - v0;
    const int iu = static_cast<int>(u0);
    const int iv = static_cast<int>(v0);
    const auto wrap = [](int i, std::uint32_t size) {
        const int n = static_cast<int>(size);
        return static_cast<std::uint32_t>(((i % n) + n) % n);
    };
    const auto at = [&](int i, int j) {
        return static_cast<float>(
            Grey(p.rgba + (static_cast<std::size_t>(wrap(j, p.height)) * p.width + wrap(i, p.width)) * 4));
    };
    const float top = at(iu, iv) * (1.0f - fu) + at(iu + 1, iv) * fu;
    const float bottom = at(iu, iv + 1) * (1.0f - fu) + at(iu + 1, iv + 1) * fu;
    const float value = top * (1.0f - fv) + bottom * fv + 0.5f;
    return static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f));
}

} // namespace

bool IsGreyPicture(const sLayerPixels& picture, int tolerance) {
    if (!HasPixels(picture)) {
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* t = picture.rgba + i * 4;
        const int low = std::min({t[0], t[1], t[2]});
        const int high = std::max({t[0], t[1], t[2]});
        if (high - low > tolerance) {
            return false;
        }
    }
    return true;
}

bool PackGreyLayers(const sLayerPixels pictures[4], std::vector<std::uint8_t>& out, std::uint32_t& width,
                    std::uint32_t& height) {
    out.clear();
    width = 0;
    height = 0;
    for (int k = 0; k < 4; ++k) {
        if (!IsGreyPicture(pictures[k])) {
            // No picture: no size either (the ones looked at so far must not describe an empty `out`).
            width = 0;
            height = 0;
            return false;
        }
        width = std::max(width, pictures[k].width);
        height = std::max(height, pictures[k].height);
    }
    out.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* texel = &out[(static_cast<std::size_t>(y) * width + x) * 4];
            for (int k = 0; k < 4; ++k) {
                texel[k] = SampleWrapped(pictures[k], x, y, width, height);
            }
        }
    }
    return true;
}

} // namespace velmora::scene

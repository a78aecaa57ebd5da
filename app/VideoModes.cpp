#include "app/VideoModes.h"

#include <cstdio>

namespace brevonne {

const sVideoMode kVideoModes[kVideoModeRows + 1] = {
    {0, 0, 0},         {640, 480, 16},    {640, 480, 32},    {720, 480, 16},     {720, 480, 32},
    {720, 576, 16},    {720, 576, 32},    {800, 600, 16},    {800, 600, 32},     {848, 480, 16},
    {848, 480, 32},    {1024, 480, 16},   {1024, 480, 32},   {1024, 768, 16},    {1024, 768, 32},
    {1152, 864, 16},   {1152, 864, 32},   {1280, 720, 16},   {1280, 720, 32},    {1280, 768, 16},
    {1280, 768, 32},   {1280, 960, 16},   {1280, 960, 32},   {1280, 1024, 16},   {1280, 1024, 32},
    {-1, -1, -1},
};

std::string GetVideoModeText(std::size_t row) {
    if (row == 0) {
        return "Same as desktop";
    }
    if (row >= kVideoModeRows) {
        return std::string();
    }
    char text[48];
    std::snprintf(text, sizeof text, "%d x %d x %d", static_cast<int>(kVideoModes[row].width),
                  static_cast<int>(kVideoModes[row].height), static_cast<int>(kVideoModes[row].bits));
    return text;
}

std::size_t FindVideoModeRow(bool sameAsDesktop, std::int32_t width, std::int32_t height, std::int32_t bits) {
    if (sameAsDesktop) {
        return 0;
    }
    for (std::size_t row = 0; kVideoModes[row].width != -1; ++row) {
        const sVideoMode& mode = kVideoModes[row];
        if (mode.width == width && mode.height == height && mode.bits == bits) {
            return row;
        }
    }
    return 0;
}

int ChooseDisplayMode(const std::vector<sDisplayMode>& modes, int width, int height, int bits) {
    int best = -1;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const sDisplayMode& m = modes[i];
        if (m.width != width || m.height != height) {
            continue;
        }
        if (best < 0) {
            best = static_cast<int>(i);
            continue;
        }
        const sDisplayMode& b = modes[static_cast<std::size_t>(best)];
        const bool depthBetter = (m.bits == bits) && (b.bits != bits);
        const bool depthSame = (m.bits == bits) == (b.bits == bits);
        if (depthBetter || (depthSame && m.refresh > b.refresh)) {
            best = static_cast<int>(i);
        }
    }
    if (best >= 0) {
        return best;
    }
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const sDisplayMode& m = modes[i];
        if (m.width < width || m.height < height) {
            continue;
        }
        if (best < 0) {
            best = static_cast<int>(i);
            continue;
        }
        const sDisplayMode& b = modes[static_cast<std::size_t>(best)];
        const long long area = static_cast<long long>(m.width) * m.height;
        const long long bestArea = static_cast<long long>(b.width) * b.height;
        if (area < bestArea || (area == bestArea && m.bits == bits && b.bits != bits)) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

} // namespace brevonne

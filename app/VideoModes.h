#pragma once
// The video modes the configuration dialog offers, and the choice of a real
// display mode for a stored one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brevonne {

struct sVideoMode {
    std::int32_t width;
    std::int32_t height;
    std::int32_t bits;
};

// The dialog's list: row 0 is "Same as desktop" {0, 0, 0}, rows 1-24 the
// fixed modes, row 25 the terminator {-1, -1, -1}.
constexpr std::size_t kVideoModeRows = 25;
extern const sVideoMode kVideoModes[kVideoModeRows + 1];

// The list text of a row: "Same as desktop" or "W x H x B".
std::string GetVideoModeText(std::size_t row);

// The row the dialog selects for a stored mode: 0 for "Same as desktop",
// else the first row equal in width, height and bits, else 0.
std::size_t FindVideoModeRow(bool sameAsDesktop, std::int32_t width, std::int32_t height, std::int32_t bits);

// A mode the display offers.
struct sDisplayMode {
    int width;
    int height;
    int bits;
    int refresh; // Hz, 0 when unknown
};

// The display mode to switch to for a stored mode: the exact size, preferring
// the stored colour depth and then the highest refresh rate; without the
// exact size, the smallest mode at least as large. -1 when there is none.
int ChooseDisplayMode(const std::vector<sDisplayMode>& modes, int width, int height, int bits);

} // namespace brevonne

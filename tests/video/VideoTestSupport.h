#pragma once
// Helpers for the video tests and later rendering tests: RGBA images with
// the bottom row first, a small PNG writer for looking at results, running
// ImageMagick's convert to make and decode reference files, pixel compares.

#include <cstdint>
#include <string>
#include <vector>

namespace vtest {

// width x height RGBA pixels, row 0 at the bottom.
struct sImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    std::uint8_t* At(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// Writes an RGBA image as PNG (top row first in the file, as viewers expect).
bool WritePNG(const std::string& path, const sImage& image);
// The build folder: VELMORA_BINARY_DIR, or the folder above the running test program.
std::string BinaryDir();
// Where tests put files meant for a person to look at (created on demand).
std::string OutputDir();
// A fresh empty folder below the system's temporary folder.
std::string MakeTempDir();

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// ImageMagick's convert (the real program, not a wrapper), or empty when the machine has none.
const std::string& ConvertTool();
// Runs convert with the arguments (shell words); true when it exits with 0.
bool RunConvert(const std::string& args);
// Decodes a file (or "file[frame]") with convert into RGBA, bottom row first.
bool DecodeWithConvert(const std::string& file, sImage& out);

// Largest per-channel difference over the first `channels` channels; -1 when sizes differ.
int MaxDifference(const sImage& a, const sImage& b, int channels = 4);
// Mean absolute per-channel difference over the first `channels` channels.
double MeanDifference(const sImage& a, const sImage& b, int channels = 4);

// A deterministic test picture: gradients, a few hard edges and an alpha ramp.
sImage MakeTestPicture(int width, int height);

} // namespace vtest

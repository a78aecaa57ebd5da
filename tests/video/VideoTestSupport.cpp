#include "video/VideoTestSupport.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <iterator>

#include "TestPlatform.h"

namespace vtest {

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    PutU32(out, static_cast<std::uint32_t>(crc));
}

std::string Capture(const std::string& command) {
    std::string result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[256];
    while (std::fgets(buffer, sizeof(buffer), pipe)) result += buffer;
    pclose(pipe);
    return result;
}

} // namespace

bool WritePNG(const std::string& path, const sImage& image) {
    if (image.width <= 0 || image.height <= 0) return false;
    std::vector<std::uint8_t> raw;
    const std::size_t row = static_cast<std::size_t>(image.width) * 4;
    for (int y = image.height - 1; y >= 0; --y) {
        raw.push_back(0);
        const std::uint8_t* src = image.rgba.data() + static_cast<std::size_t>(y) * row;
        raw.insert(raw.end(), src, src + row);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())) != Z_OK) return false;
    packed.resize(packedSize);

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutU32(header, static_cast<std::uint32_t>(image.width));
    PutU32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return WriteFileBytes(path, png);
}

std::string BinaryDir() {
    if (const char* binary = std::getenv("VELMORA_BINARY_DIR")) return binary;
    std::string exe = velmora::test::ExecutablePath();
    if (exe.empty()) return std::string();
    for (int up = 0; up < 2; ++up) {
        const std::size_t slash = exe.find_last_of('/');
        if (slash == std::string::npos) return std::string();
        exe.resize(slash);
    }
    return exe;
}

std::string OutputDir() {
    const std::string binary = BinaryDir();
    std::error_code error;
    std::string dir = !binary.empty() ? binary + "/test-output"
                                      : (std::filesystem::temp_directory_path(error) / "velmora-test-output").generic_u8string();
    dir += "/video";
    std::filesystem::create_directories(std::filesystem::u8path(dir), error);
    return dir;
}

std::string MakeTempDir() {
    std::string dir = velmora::test::MakeScratchFolder("velmora-video-");
    if (!dir.empty()) dir.pop_back();
    return dir;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

const std::string& ConvertTool() {
    static const std::string tool = [] {
#ifdef _WIN32
        // The comparisons with ImageMagick run in the Linux build.
        return std::string();
#endif
        // Prefer ImageMagick's own binary over any wrapper earlier on the path.
        for (const char* candidate : {"/usr/bin/convert-im6.q16", "/usr/bin/convert"}) {
            std::error_code error;
            if (std::filesystem::is_regular_file(candidate, error)) return std::string(candidate);
        }
        return std::string();
    }();
    return tool;
}

bool RunConvert(const std::string& args) {
    if (ConvertTool().empty()) return false;
    const std::string command = ConvertTool() + " " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

bool DecodeWithConvert(const std::string& file, sImage& out) {
    if (ConvertTool().empty()) return false;
    const std::string size = Capture(ConvertTool() + " '" + file + "' -format '%w %h' info: 2>/dev/null");
    int width = 0, height = 0;
    if (std::sscanf(size.c_str(), "%d %d", &width, &height) != 2 || width <= 0 || height <= 0) return false;
    const std::string scratch = velmora::test::MakeScratchFolder("velmora-decode-");
    if (scratch.empty()) return false;
    const std::string rawName = scratch + "image.rgba";
    // -auto-orient applies the orientation the file declares (TGA origins).
    const bool ok = RunConvert("'" + file + "' -auto-orient -depth 8 rgba:" + rawName);
    std::vector<std::uint8_t> raw = ReadFileBytes(rawName);
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::u8path(scratch), error);
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    if (!ok || raw.size() != row * height) return false;
    out.width = width;
    out.height = height;
    out.rgba.resize(raw.size());
    for (int y = 0; y < height; ++y) {
        std::copy(raw.begin() + static_cast<std::ptrdiff_t>(y * row), raw.begin() + static_cast<std::ptrdiff_t>((y + 1) * row),
                  out.rgba.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * row));
    }
    return true;
}

int MaxDifference(const sImage& a, const sImage& b, int channels) {
    if (a.width != b.width || a.height != b.height || a.rgba.size() != b.rgba.size()) return -1;
    int worst = 0;
    for (std::size_t i = 0; i < a.rgba.size(); ++i) {
        if (static_cast<int>(i % 4) >= channels) continue;
        worst = std::max(worst, std::abs(static_cast<int>(a.rgba[i]) - static_cast<int>(b.rgba[i])));
    }
    return worst;
}

double MeanDifference(const sImage& a, const sImage& b, int channels) {
    if (a.rgba.size() != b.rgba.size() || a.rgba.empty()) return 1e9;
    double sum = 0.0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.rgba.size(); ++i) {
        if (static_cast<int>(i % 4) >= channels) continue;
        sum += std::abs(static_cast<int>(a.rgba[i]) - static_cast<int>(b.rgba[i]));
        ++count;
    }
    return sum / static_cast<double>(count);
}

sImage MakeTestPicture(int width, int height) {
    sImage image;
    image.width = width;
    image.height = height;
    image.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / std::max(height - 1, 1));
            p[2] = (x / 8 + y / 8) % 2 ? 200 : 40;
            p[3] = static_cast<std::uint8_t>(255 - (x + y) * 127 / std::max(width + height - 2, 1));
        }
    }
    // A white bar along the top marks which way is up.
    for (int y = height - std::max(height / 8, 1); y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = p[1] = p[2] = 255;
        }
    }
    return image;
}

} // namespace vtest

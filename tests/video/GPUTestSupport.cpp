#include "video/GPUTestSupport.h"

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/filesystem/FileSystemGlobals.h"

namespace vtest {

namespace {

std::uint32_t GetU32(const std::vector<std::uint8_t>& data, std::size_t at) {
    return (static_cast<std::uint32_t>(data[at]) << 24) | (static_cast<std::uint32_t>(data[at + 1]) << 16) |
           (static_cast<std::uint32_t>(data[at + 2]) << 8) | data[at + 3];
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

} // namespace

::testing::AssertionResult Near(const std::uint8_t* got, int r, int g, int b, int a) {
    const int want[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) {
        if (std::abs(got[i] - want[i]) > 1) {
            return ::testing::AssertionFailure() << "got (" << int(got[0]) << ", " << int(got[1]) << ", "
                                                 << int(got[2]) << ", " << int(got[3]) << "), want (" << r << ", "
                                                 << g << ", " << b << ", " << a << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

std::string Captured(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

std::string DataDir() {
    return (std::filesystem::path(__FILE__).parent_path() / "data").string();
}

bool ReadPNG(const std::string& path, sImage& out) {
    const std::vector<std::uint8_t> file = ReadFileBytes(path);
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(kSignature, kSignature + 8, file.begin())) return false;
    std::vector<std::uint8_t> packed;
    int width = 0, height = 0;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = GetU32(file, at);
        if (at + 12 + length > file.size()) return false;
        const std::string type(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               file.begin() + static_cast<std::ptrdiff_t>(at + 8));
        const std::size_t data = at + 8;
        if (type == "IHDR") {
            width = static_cast<int>(GetU32(file, data));
            height = static_cast<int>(GetU32(file, data + 4));
            // 8-bit RGBA without interlacing only.
            if (length < 13 || file[data + 8] != 8 || file[data + 9] != 6 || file[data + 12] != 0) return false;
        } else if (type == "IDAT") {
            packed.insert(packed.end(), file.begin() + static_cast<std::ptrdiff_t>(data),
                          file.begin() + static_cast<std::ptrdiff_t>(data + length));
        }
        at += 12 + length;
    }
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return false;
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> raw((row + 1) * static_cast<std::size_t>(height));
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
        rawSize != raw.size()) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.rgba.assign(row * static_cast<std::size_t>(height), 0);
    std::vector<std::uint8_t> previous(row, 0), current(row);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = raw.data() + static_cast<std::size_t>(y) * (row + 1);
        const int filter = line[0];
        for (std::size_t i = 0; i < row; ++i) {
            const int a = i >= 4 ? current[i - 4] : 0, b = previous[i], c = i >= 4 ? previous[i - 4] : 0;
            int predictor = 0;
            switch (filter) {
                case 0: predictor = 0; break;
                case 1: predictor = a; break;
                case 2: predictor = b; break;
                case 3: predictor = (a + b) / 2; break;
                case 4: predictor = Paeth(a, b, c); break;
                default: return false;
            }
            current[i] = static_cast<std::uint8_t>(line[1 + i] + predictor);
        }
        // The file has the top row first.
        std::copy(current.begin(), current.end(), out.rgba.begin() + static_cast<std::ptrdiff_t>(row * (height - 1 - y)));
        previous = current;
    }
    return true;
}

cScratchFiles::cScratchFiles() : m_Root(MakeTempDir()) {
    m_FileSystem.SetRootFolder(m_Root.c_str());
    m_Previous = velmora::GetProcessFileSystem();
    velmora::SetProcessFileSystem(&m_FileSystem);
}

cScratchFiles::~cScratchFiles() {
    velmora::SetProcessFileSystem(m_Previous);
    // Only a folder this object made (MakeTempDir falls back to /tmp itself).
    if (m_Root.rfind("/tmp/velmora-video-", 0) == 0) {
        std::error_code ignored;
        std::filesystem::remove_all(m_Root, ignored);
    }
}

void cScratchFiles::Write(const std::string& name, const std::string& text) const {
    const std::filesystem::path path = std::filesystem::path(m_Root) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void cScratchFiles::Install(const std::string& name) const {
    std::ifstream in(std::filesystem::path(DataDir()) / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    Write(name, text.str());
}

} // namespace vtest

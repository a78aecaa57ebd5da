// Damaged files of every format: thousands of mutations of valid files must
// end in an image or a cException, never in a crash or a read past the data
// (run under the sanitizer build to see the latter).
#include <gtest/gtest.h>

#include <cstring>

#include "video/LoaderTestSupport.h"
#include "video/loaders/cDDSTexture2DLoader.h"
#include "video/loaders/cDDSTextureCubeLoader.h"
#include "video/loaders/cJPGTexture2DLoader.h"
#include "video/loaders/cTGATexture2DLoader.h"

using namespace velmora::video;

namespace {

std::uint32_t Next(std::uint32_t& seed) {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
}

// Flips bytes, truncates, or overwrites header fields with extreme values.
std::vector<std::uint8_t> Mutate(const std::vector<std::uint8_t>& original, std::uint32_t& seed) {
    std::vector<std::uint8_t> bytes = original;
    const int edits = 1 + static_cast<int>(Next(seed) % 4);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
        const std::size_t at = Next(seed) % std::min<std::size_t>(bytes.size(), Next(seed) % 2 ? 160 : bytes.size());
        switch (Next(seed) % 4) {
            case 0: bytes[at] = static_cast<std::uint8_t>(Next(seed)); break;
            case 1: bytes[at] = 0xFF; break;
            case 2: bytes[at] = 0x00; break;
            default: bytes.resize(at); break;
        }
    }
    return bytes;
}

struct sSeedFile {
    const char* name;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> TGA(int type, int w, int h, int bits) {
    std::vector<std::uint8_t> file(18, 0);
    file[2] = static_cast<std::uint8_t>(type);
    file[12] = static_cast<std::uint8_t>(w);
    file[14] = static_cast<std::uint8_t>(h);
    file[16] = static_cast<std::uint8_t>(bits);
    for (int i = 0; i < w * h; ++i) {
        if (type == 10) file.push_back(i % 3 ? 0x00 : 0x81);
        for (int b = 0; b < bits / 8; ++b) file.push_back(static_cast<std::uint8_t>(i * 5 + b));
    }
    return file;
}

std::vector<std::uint8_t> DDS(const char* code, std::uint32_t size, std::uint32_t mips, std::uint32_t caps2) {
    std::vector<std::uint8_t> file(128, 0);
    std::memcpy(file.data(), "DDS ", 4);
    auto put = [&](std::size_t offset, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(4, 124);
    put(8, 0x1 | 0x1000);
    put(12, size);
    put(16, size);
    put(28, mips);
    put(80, 0x4);
    std::memcpy(file.data() + 84, code, 4);
    put(108, 0x1008);
    put(112, caps2);
    const std::uint64_t bytes = cDXTCodec::ChainBytes(code[3] == '1' ? TC_DXT1 : TC_DXT5, size, size, mips);
    for (std::uint64_t i = 0; i < bytes * (caps2 ? 6 : 1); ++i) file.push_back(static_cast<std::uint8_t>(i * 31));
    return file;
}

} // namespace

TEST(LoaderRobustness, MutatedFilesLoadOrFailCleanly) {
    std::vector<sSeedFile> seeds = {
        {"tga24", TGA(2, 8, 8, 24)},      {"tga32", TGA(2, 4, 4, 32)}, {"tga16", TGA(2, 4, 4, 16)},
        {"rle24", TGA(10, 8, 8, 24)},     {"rle32", TGA(10, 4, 4, 32)}, {"dxt1", DDS("DXT1", 16, 5, 0)},
        {"dxt5", DDS("DXT5", 8, 4, 0)},   {"cube", DDS("DXT1", 8, 4, 0xFE00)},
    };
    if (!vtest::ConvertTool().empty()) {
        const std::string dir = vtest::MakeTempDir();
        if (vtest::RunConvert("-size 24x16 plasma:fractal -seed 9 -quality 80 " + dir + "/p.jpg")) {
            seeds.push_back({"jpeg", vtest::ReadFileBytes(dir + "/p.jpg")});
        }
        if (vtest::RunConvert("-size 24x16 plasma:fractal -seed 9 -interlace Plane " + dir + "/q.jpg")) {
            seeds.push_back({"progressive", vtest::ReadFileBytes(dir + "/q.jpg")});
        }
    }
    const ITexture2DLoader* loaders[3] = {cTGATexture2DLoader::GetInstance(), cDDSTexture2DLoader::GetInstance(),
                                          cJPGTexture2DLoader::GetInstance()};
    std::uint32_t seed = 20261208u;
    int loaded = 0, refused = 0;
    for (const sSeedFile& file : seeds) {
        // The unmutated file loads with its own loader.
        const bool jpeg = file.name[0] == 'j' || file.name[0] == 'p';
        const ITexture2DLoader& own = *loaders[file.name[0] == 'd' ? 1 : (jpeg ? 2 : 0)];
        sImageData image;
        if (std::strcmp(file.name, "cube") != 0) {
            EXPECT_EQ(vtest::LoadBytes(own, file.bytes, image), "") << file.name;
        }
        for (int round = 0; round < 400; ++round) {
            const std::vector<std::uint8_t> damaged = Mutate(file.bytes, seed);
            for (const ITexture2DLoader* loader : loaders) {
                sImageData out;
                const std::string error = vtest::LoadBytes(*loader, damaged, out);
                if (error.empty()) {
                    ++loaded;
                    // Whatever loads is self-consistent.
                    if (out.compression == TC_NONE) {
                        ASSERT_EQ(out.pixels.size(), static_cast<std::size_t>(out.width) * out.height * out.bytesPerPixel);
                    } else {
                        ASSERT_EQ(out.pixels.size(), cDXTCodec::ChainBytes(out.compression, out.width, out.height,
                                                                            out.mipCount));
                    }
                } else {
                    ++refused;
                }
            }
            sCubeImageData cube;
            if (vtest::LoadCubeBytes(*cDDSTextureCubeLoader::GetInstance(), damaged, cube).empty()) {
                for (const auto& face : cube.faces) {
                    ASSERT_TRUE(face.empty() ||
                                face.size() == cDXTCodec::ChainBytes(cube.compression, cube.size, cube.size, cube.mipCount));
                }
            }
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
}

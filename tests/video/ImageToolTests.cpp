// velmora-tool's image verb decodes files made by ImageMagick (and DXT3 and
// cube-map files put together here) to the pixels ImageMagick decodes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "video/DDSTestFiles.h"

namespace {

std::string ToolPath() {
    const std::string binary = vtest::BinaryDir();
    return binary.empty() ? binary : binary + "/tools/velmora-tool";
}

} // namespace

TEST(ImageTool, DecodesLikeImageMagick) {
    const std::string tool = ToolPath();
    if (tool.empty() || access(tool.c_str(), X_OK) != 0) GTEST_SKIP() << "velmora-tool is not built";
    if (vtest::ConvertTool().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string dir = vtest::MakeTempDir();
    const vtest::sImage picture = vtest::MakeTestPicture(40, 24);
    ASSERT_TRUE(vtest::WritePNG(dir + "/picture.png", picture));
    struct sCase {
        const char* file;
        const char* options;  // null: made here
        int channels;
        int tolerance;
    };
    const sCase cases[] = {
        {"a.tga", "-flip -orient BottomLeft", 4, 0},
        {"b.tga", "-orient TopLeft -alpha off -compress RLE", 3, 0},
        {"c.jpg", "-alpha off -quality 85", 3, 2},
        {"d1.dds", "-alpha off -define dds:compression=dxt1", 3, 2},
        {"d5.dds", "-define dds:compression=dxt5", 4, 2},
        {"d3.dds", nullptr, 4, 2},
    };
    std::vector<std::uint8_t> dxt3 = vtest::DDSHeader("DXT3", 40, 24, 1, 0, true);
    const std::vector<std::uint8_t> blocks = vtest::EncodeDXT3(vtest::Flipped(picture));
    dxt3.insert(dxt3.end(), blocks.begin(), blocks.end());
    ASSERT_TRUE(vtest::WriteFileBytes(dir + "/d3.dds", dxt3));
    for (const sCase& c : cases) {
        const std::string in = dir + "/" + c.file;
        if (c.options) {
            ASSERT_TRUE(vtest::RunConvert(dir + "/picture.png " + c.options + " " + in)) << c.file;
        }
        for (const char* format : {".png", ".ppm"}) {
            const std::string out = in + format;
            ASSERT_EQ(std::system((tool + " image '" + in + "' '" + out + "' 2>/dev/null").c_str()), 0) << c.file;
            vtest::sImage mine, theirs;
            ASSERT_TRUE(vtest::DecodeWithConvert(out, mine)) << out;
            ASSERT_TRUE(vtest::DecodeWithConvert(in, theirs)) << in;
            const int channels = format[1] == 'p' && format[2] == 'p' ? 3 : c.channels;
            EXPECT_LE(vtest::MaxDifference(mine, theirs, channels), c.tolerance) << out;
        }
    }

    // A cube map: each face as ImageMagick reads the frame.
    std::vector<std::uint8_t> cube = vtest::DDSHeader("DXT1", 16, 16, 1, 0x200 | 0xFC00);
    for (int i = 0; i < 6; ++i) {
        std::vector<std::uint8_t> face = vtest::EncodeDXT3(vtest::MakeTestPicture(16, 16));
        for (std::size_t b = 0; b < face.size(); b += 16) cube.insert(cube.end(), face.begin() + b + 8, face.begin() + b + 16);
    }
    ASSERT_TRUE(vtest::WriteFileBytes(dir + "/cube.dds", cube));
    for (int face : {0, 4}) {
        const std::string out = dir + "/face" + std::to_string(face) + ".png";
        ASSERT_EQ(std::system((tool + " image '" + dir + "/cube.dds' '" + out + "' " + std::to_string(face)).c_str()), 0);
        vtest::sImage mine, theirs;
        ASSERT_TRUE(vtest::DecodeWithConvert(out, mine));
        ASSERT_TRUE(vtest::DecodeWithConvert(dir + "/cube.dds[" + std::to_string(face) + "]", theirs));
        EXPECT_LE(vtest::MaxDifference(mine, theirs, 3), 2) << "face " << face;
    }
    // Bad input: a failure status and no output.
    EXPECT_NE(std::system((tool + " image '" + dir + "/picture.png' '" + dir + "/x.png' 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((tool + " image '" + dir + "/missing.tga' '" + dir + "/x.png' 2>/dev/null").c_str()), 0);
    EXPECT_NE(access((dir + "/x.png").c_str(), F_OK), 0);
}

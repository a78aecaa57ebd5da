// The JPEG loader against ImageMagick's decoding, greyscale input and
// damaged streams.
#include <gtest/gtest.h>

#include "video/LoaderTestSupport.h"
#include "video/loaders/cJPGTexture2DLoader.h"

using namespace velmora::video;
using vtest::LoadBytes;

namespace {
const cJPGTexture2DLoader& Loader() { return *cJPGTexture2DLoader::GetInstance(); }
}

TEST(JPGLoader, MatchesImageMagickDecoding) {
    if (vtest::ConvertTool().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string dir = vtest::MakeTempDir();
    const vtest::sImage picture = vtest::MakeTestPicture(45, 30);
    ASSERT_TRUE(vtest::WritePNG(dir + "/picture.png", picture));
    for (const char* options : {"-quality 90", "-quality 60 -sampling-factor 2x2", "-interlace Plane"}) {
        ASSERT_TRUE(vtest::RunConvert(dir + "/picture.png -alpha off " + std::string(options) + " " + dir + "/p.jpg"));
        sImageData image;
        ASSERT_EQ(LoadBytes(Loader(), vtest::ReadFileBytes(dir + "/p.jpg"), image), "") << options;
        EXPECT_EQ(image.bytesPerPixel, 3u);
        EXPECT_EQ(image.mipCount, 0u);
        vtest::sImage reference;
        ASSERT_TRUE(vtest::DecodeWithConvert(dir + "/p.jpg", reference));
        // Both use libjpeg; only the decoder's upsampling choices may differ a little.
        EXPECT_LE(vtest::MaxDifference(vtest::ToRGBA(image), reference, 3), 4) << options;
        EXPECT_LT(vtest::MeanDifference(vtest::ToRGBA(image), reference, 3), 0.5) << options;
    }
}

TEST(JPGLoader, GreyscaleComesOutAsRGB) {
    if (vtest::ConvertTool().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string dir = vtest::MakeTempDir();
    ASSERT_TRUE(vtest::RunConvert("-size 16x8 gradient:black-white -colorspace Gray -type Grayscale " + dir + "/g.jpg"));
    sImageData image;
    ASSERT_EQ(LoadBytes(Loader(), vtest::ReadFileBytes(dir + "/g.jpg"), image), "");
    EXPECT_EQ(image.bytesPerPixel, 3u);
    ASSERT_EQ(image.pixels.size(), 16u * 8u * 3u);
    // Top row (stored last) is black, bottom row white; every pixel grey.
    EXPECT_LT(image.pixels[(7 * 16) * 3], 40);
    EXPECT_GT(image.pixels[0], 215);
    EXPECT_EQ(image.pixels[30], image.pixels[31]);
}

TEST(JPGLoader, DamagedStreamsAreRefused) {
    sImageData image;
    const std::string failure = "cJPGTexture2DLoader::LoadTexture : an error occured while loading texture from ''";
    EXPECT_EQ(LoadBytes(Loader(), {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}, image).rfind(failure, 0), 0u);
    EXPECT_EQ(LoadBytes(Loader(), {0xFF, 0xD8}, image).rfind(failure, 0), 0u);
    if (vtest::ConvertTool().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string dir = vtest::MakeTempDir();
    ASSERT_TRUE(vtest::RunConvert("-size 64x64 plasma:fractal -seed 3 -quality 85 " + dir + "/p.jpg"));
    std::vector<std::uint8_t> bytes = vtest::ReadFileBytes(dir + "/p.jpg");
    ASSERT_GT(bytes.size(), 600u);
    // Cut in the middle of the scan.
    std::vector<std::uint8_t> truncated(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    EXPECT_EQ(LoadBytes(Loader(), truncated, image).rfind(failure, 0), 0u);
    // Markers in the middle of the entropy-coded data.
    std::vector<std::uint8_t> damaged = bytes;
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 40; i += 2) {
        damaged[i] = 0xFF;
        damaged[i + 1] = 0xD3;
    }
    EXPECT_EQ(LoadBytes(Loader(), damaged, image).rfind(failure, 0), 0u);
    // A frame header that announces zero lines.
    std::vector<std::uint8_t> empty = bytes;
    for (std::size_t i = 2; i + 8 < empty.size(); ++i) {
        if (empty[i] == 0xFF && (empty[i + 1] == 0xC0 || empty[i + 1] == 0xC2)) {
            empty[i + 5] = empty[i + 6] = 0;
            break;
        }
    }
    EXPECT_EQ(LoadBytes(Loader(), empty, image).rfind(failure, 0), 0u);
}

// The TGA loader: pixel order, run-length packets, origins, bad headers, and
// files written by ImageMagick compared with ImageMagick's own decoding.
#include <gtest/gtest.h>

#include "video/LoaderTestSupport.h"
#include "video/loaders/cTGATexture2DLoader.h"

using namespace velmora::video;
using vtest::LoadBytes;

namespace {

std::vector<std::uint8_t> TGAHeader(int type, int width, int height, int bits, int descriptor = 0, int idLength = 0) {
    std::vector<std::uint8_t> h(18, 0);
    h[0] = static_cast<std::uint8_t>(idLength);
    h[2] = static_cast<std::uint8_t>(type);
    h[12] = static_cast<std::uint8_t>(width);
    h[13] = static_cast<std::uint8_t>(width >> 8);
    h[14] = static_cast<std::uint8_t>(height);
    h[15] = static_cast<std::uint8_t>(height >> 8);
    h[16] = static_cast<std::uint8_t>(bits);
    h[17] = static_cast<std::uint8_t>(descriptor);
    h.resize(18 + static_cast<std::size_t>(idLength), 'i');
    return h;
}

const cTGATexture2DLoader& Loader() { return *cTGATexture2DLoader::GetInstance(); }

} // namespace

TEST(TGALoader, UncompressedPixelsBecomeRGBBottomRowFirst) {
    // 2 x 2, 24 bits, with an image id to skip; the first file pixel is blue 10, green 20, red 30.
    std::vector<std::uint8_t> file = TGAHeader(2, 2, 2, 24, 0, 3);
    const std::uint8_t pixels[] = {10, 20, 30, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    file.insert(file.end(), pixels, pixels + sizeof(pixels));
    sImageData image;
    ASSERT_EQ(LoadBytes(Loader(), file, image), "");
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.bytesPerPixel, 3u);
    EXPECT_EQ(image.mipCount, 0u);
    EXPECT_EQ(image.compression, TC_NONE);
    const std::vector<std::uint8_t> expected = {30, 20, 10, 3, 2, 1, 6, 5, 4, 9, 8, 7};
    EXPECT_EQ(image.pixels, expected);

    // The same picture stored top row first (descriptor bit 5) comes out in the same order.
    std::vector<std::uint8_t> topDown = TGAHeader(2, 2, 2, 24, 0x20);
    const std::uint8_t flipped[] = {4, 5, 6, 7, 8, 9, 10, 20, 30, 1, 2, 3};
    topDown.insert(topDown.end(), flipped, flipped + sizeof(flipped));
    sImageData second;
    ASSERT_EQ(LoadBytes(Loader(), topDown, second), "");
    EXPECT_EQ(second.pixels, expected);
}

TEST(TGALoader, ThirtyTwoAndSixteenBitPixels) {
    std::vector<std::uint8_t> file = TGAHeader(2, 1, 1, 32);
    file.insert(file.end(), {10, 20, 30, 40});
    sImageData image;
    ASSERT_EQ(LoadBytes(Loader(), file, image), "");
    EXPECT_EQ(image.bytesPerPixel, 4u);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{30, 20, 10, 40}));

    // 16 bits: red bits 10-14, green 5-9, blue 0-4, each shifted left by 3.
    const std::uint16_t v = (31 << 10) | (16 << 5) | 1;
    for (int type : {2, 10}) {
        std::vector<std::uint8_t> f16 = TGAHeader(type, 1, 1, 16);
        if (type == 10) f16.push_back(0x80);  // one run of one pixel
        f16.push_back(static_cast<std::uint8_t>(v));
        f16.push_back(static_cast<std::uint8_t>(v >> 8));
        sImageData small;
        ASSERT_EQ(LoadBytes(Loader(), f16, small), "") << "type " << type;
        EXPECT_EQ(small.bytesPerPixel, 3u);
        EXPECT_EQ(small.pixels, (std::vector<std::uint8_t>{248, 128, 8})) << "type " << type;
    }
}

TEST(TGALoader, RunLengthPacketsStopAtTheImageEnd) {
    // 32 x 32: one literal packet of 2 pixels, then runs of 128; the last run announces more than remain.
    std::vector<std::uint8_t> file = TGAHeader(10, 32, 32, 24);
    file.insert(file.end(), {0x01, 1, 2, 3, 4, 5, 6});
    int stored = 2;
    while (stored < 1024) {
        file.insert(file.end(), {0xFF, 9, 8, 7});
        stored += 128;
    }
    sImageData image;
    ASSERT_EQ(LoadBytes(Loader(), file, image), "");
    ASSERT_EQ(image.pixels.size(), 1024u * 3u);
    EXPECT_EQ(image.pixels[0], 3);
    EXPECT_EQ(image.pixels[3], 6);
    EXPECT_EQ(image.pixels[6], 7);
    EXPECT_EQ(image.pixels[1023 * 3], 7);
    // A literal packet cut by the image's end is just as harmless.
    std::vector<std::uint8_t> literal = TGAHeader(10, 2, 1, 24);
    literal.insert(literal.end(), {0x7F, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(LoadBytes(Loader(), literal, image), "");
    EXPECT_EQ(image.pixels.size(), 6u);
}

TEST(TGALoader, BadInputIsRefused) {
    sImageData image;
    // Truncated header, unsupported depth and type, empty size.
    EXPECT_NE(LoadBytes(Loader(), {0, 0, 2, 0}, image), "");
    std::vector<std::uint8_t> eight = TGAHeader(2, 1, 1, 8);
    eight.push_back(0);
    EXPECT_EQ(LoadBytes(Loader(), eight, image), "cTGATexture2DLoader::LoadTexture : invalid color depth 8");
    EXPECT_NE(LoadBytes(Loader(), TGAHeader(1, 1, 1, 24), image).find("unsupported image type"), std::string::npos);
    EXPECT_NE(LoadBytes(Loader(), TGAHeader(2, 0, 5, 24), image).find("invalid image size"), std::string::npos);
    // A header that lies about its size: 65535 x 65535 with three pixels of data.
    std::vector<std::uint8_t> lying = TGAHeader(2, 65535, 65535, 32);
    lying.insert(lying.end(), 12, 0);
    EXPECT_EQ(LoadBytes(Loader(), lying, image), "cTGATexture2DLoader::LoadTexture : unexpected end of file");
    std::vector<std::uint8_t> lyingRle = TGAHeader(10, 65535, 65535, 32);
    lyingRle.insert(lyingRle.end(), {0xFF, 1, 2, 3, 4});
    EXPECT_EQ(LoadBytes(Loader(), lyingRle, image), "cTGATexture2DLoader::LoadTexture : unexpected end of file");
    // Run-length data that ends in the middle of a packet.
    std::vector<std::uint8_t> cut = TGAHeader(10, 4, 4, 24);
    cut.insert(cut.end(), {0x8F, 1, 2});
    EXPECT_EQ(LoadBytes(Loader(), cut, image), "cTGATexture2DLoader::LoadTexture : unexpected end of file");
    std::vector<std::uint8_t> shortLiteral = TGAHeader(10, 4, 4, 24);
    shortLiteral.insert(shortLiteral.end(), {0x0F, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(LoadBytes(Loader(), shortLiteral, image), "cTGATexture2DLoader::LoadTexture : unexpected end of file");
    // A header that claims an image id longer than the file.
    std::vector<std::uint8_t> longId = TGAHeader(2, 1, 1, 24);
    longId[0] = 200;
    EXPECT_NE(LoadBytes(Loader(), longId, image), "");
}

TEST(TGALoader, MatchesImageMagickDecoding) {
    if (vtest::ConvertTool().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string dir = vtest::MakeTempDir();
    const vtest::sImage picture = vtest::MakeTestPicture(37, 23);
    ASSERT_TRUE(vtest::WritePNG(dir + "/picture.png", picture));
    struct sCase {
        const char* name;
        const char* options;
        int channels;
    };
    const sCase cases[] = {
        // The usual bottom-up files, and files stored top row first.
        {"plain32.tga", "-flip -orient BottomLeft -compress none", 4},
        {"rle32.tga", "-flip -orient BottomLeft -compress RLE", 4},
        {"plain24.tga", "-flip -orient BottomLeft -alpha off -compress none", 3},
        {"rle24.tga", "-flip -orient BottomLeft -alpha off -compress RLE", 3},
        {"top32.tga", "-orient TopLeft -compress none", 4},
        {"toprle24.tga", "-orient TopLeft -alpha off -compress RLE", 3},
    };
    for (const sCase& c : cases) {
        const std::string path = dir + "/" + c.name;
        ASSERT_TRUE(vtest::RunConvert(dir + "/picture.png " + c.options + " " + path)) << c.name;
        sImageData image;
        ASSERT_EQ(LoadBytes(Loader(), vtest::ReadFileBytes(path), image), "") << c.name;
        EXPECT_EQ(image.bytesPerPixel, static_cast<std::uint32_t>(c.channels)) << c.name;
        vtest::sImage reference;
        ASSERT_TRUE(vtest::DecodeWithConvert(path, reference)) << c.name;
        EXPECT_EQ(vtest::MaxDifference(vtest::ToRGBA(image), reference, c.channels), 0) << c.name;
        // And both are the picture itself (TGA is lossless).
        EXPECT_EQ(vtest::MaxDifference(vtest::ToRGBA(image), picture, c.channels), 0) << c.name;
    }
}

// The DDS loaders: header checks, sizes, bad files, and DXT1/DXT3/DXT5 files
// and cube maps compared with ImageMagick's decoding of the same files.
#include <gtest/gtest.h>

#include <cstring>

#include "video/DDSTestFiles.h"
#include "video/LoaderTestSupport.h"
#include "video/loaders/cDDSTexture2DLoader.h"
#include "video/loaders/cDDSTextureCubeLoader.h"

using namespace velmora::video;
using vtest::LoadBytes;
using vtest::LoadCubeBytes;
using vtest::Blocks;
using vtest::DDSHeader;
using vtest::EncodeDXT3;
using vtest::Flipped;

namespace {

const cDDSTexture2DLoader& Loader() { return *cDDSTexture2DLoader::GetInstance(); }
const cDDSTextureCubeLoader& CubeLoader() { return *cDDSTextureCubeLoader::GetInstance(); }

} // namespace

TEST(DDSLoader, ReadsHeaderAndEveryLevel) {
    std::vector<std::uint8_t> file = DDSHeader("DXT1", 1024, 1024, 11);
    const std::vector<std::uint8_t> blocks = Blocks(TC_DXT1, 1024, 1024, 11);
    file.insert(file.end(), blocks.begin(), blocks.end());
    EXPECT_EQ(file.size(), 699192u);
    sImageData image;
    ASSERT_EQ(LoadBytes(Loader(), file, image), "");
    EXPECT_EQ(image.pixels.size(), 699064u);
    EXPECT_EQ(image.pixels, blocks);
    EXPECT_EQ(image.width, 1024u);
    EXPECT_EQ(image.mipCount, 11u);
    EXPECT_EQ(image.compression, TC_DXT1);
    EXPECT_EQ(image.bytesPerPixel, 3u);

    // Mip count 0 means one level; the alpha flag gives 4 bytes per pixel; DXT3 and DXT5 codes.
    for (const char* code : {"DXT3", "DXT5"}) {
        std::vector<std::uint8_t> single = DDSHeader(code, 8, 4, 0, 0, true);
        const std::vector<std::uint8_t> data = Blocks(TC_DXT5, 8, 4, 1);
        single.insert(single.end(), data.begin(), data.end());
        ASSERT_EQ(LoadBytes(Loader(), single, image), "") << code;
        EXPECT_EQ(image.mipCount, 1u);
        EXPECT_EQ(image.bytesPerPixel, 4u);
        EXPECT_EQ(image.compression, code[3] == '3' ? TC_DXT3 : TC_DXT5);
        EXPECT_EQ(image.pixels.size(), 32u);
    }
}

TEST(DDSLoader, BadFilesAreRefused) {
    sImageData image;
    EXPECT_EQ(LoadBytes(Loader(), {'D', 'D', 'X', ' ', 0, 0}, image), "cDDSTexture2DLoader::LoadTexture : not a DDS texture");
    EXPECT_EQ(LoadBytes(Loader(), {'D', 'D'}, image), "cDDSTexture2DLoader::LoadTexture : not a DDS texture");
    std::vector<std::uint8_t> dxt2 = DDSHeader("DXT2", 4, 4, 1);
    dxt2.resize(dxt2.size() + 16);
    EXPECT_EQ(LoadBytes(Loader(), dxt2, image),
              "cDDSTexture2DLoader::LoadTexture : uncompressed DDS textures aren't supported yet");
    // Header cut short, data cut short, impossible mip count, sizes whose data would overflow.
    std::vector<std::uint8_t> header = DDSHeader("DXT1", 4, 4, 1);
    header.resize(60);
    EXPECT_EQ(LoadBytes(Loader(), header, image), "cDDSTexture2DLoader::LoadTexture : unexpected end of file");
    std::vector<std::uint8_t> shortData = DDSHeader("DXT5", 16, 16, 1);
    shortData.resize(shortData.size() + 100);
    EXPECT_EQ(LoadBytes(Loader(), shortData, image), "cDDSTexture2DLoader::LoadTexture : unexpected end of file");
    std::vector<std::uint8_t> mips = DDSHeader("DXT1", 4, 4, 4);
    mips.resize(mips.size() + 64);
    EXPECT_NE(LoadBytes(Loader(), mips, image).find("invalid mip count"), std::string::npos);
    std::vector<std::uint8_t> huge = DDSHeader("DXT5", 0xFFFFFFF0u, 0xFFFFFFF0u, 1);
    huge.resize(huge.size() + 16);
    EXPECT_NE(LoadBytes(Loader(), huge, image).find("invalid image size"), std::string::npos);
    std::vector<std::uint8_t> big = DDSHeader("DXT5", 65536, 65536, 17);
    big.resize(big.size() + 16);
    EXPECT_EQ(LoadBytes(Loader(), big, image), "cDDSTexture2DLoader::LoadTexture : unexpected end of file");
    EXPECT_NE(LoadBytes(Loader(), DDSHeader("DXT1", 0, 4, 1), image).find("invalid image size"), std::string::npos);
}

TEST(DDSCubeLoader, ReadsPresentFacesAndChecksCaps) {
    const std::uint32_t allFaces = 0x200 | 0xFC00;
    std::vector<std::uint8_t> file = DDSHeader("DXT1", 8, 8, 4, allFaces);
    const std::vector<std::uint8_t> face = Blocks(TC_DXT1, 8, 8, 4);
    for (int i = 0; i < 6; ++i) file.insert(file.end(), face.begin(), face.end());
    sCubeImageData cube;
    ASSERT_EQ(LoadCubeBytes(CubeLoader(), file, cube), "");
    EXPECT_EQ(cube.size, 8u);
    EXPECT_EQ(cube.mipCount, 4u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(cube.faces[i], face) << "face " << i;

    // Only +Y and -Z present.
    std::vector<std::uint8_t> partial = DDSHeader("DXT5", 4, 4, 1, 0x200 | 0x1000 | 0x8000);
    const std::vector<std::uint8_t> small = Blocks(TC_DXT5, 4, 4, 1);
    partial.insert(partial.end(), small.begin(), small.end());
    partial.insert(partial.end(), small.begin(), small.end());
    ASSERT_EQ(LoadCubeBytes(CubeLoader(), partial, cube), "");
    EXPECT_TRUE(cube.faces[0].empty());
    EXPECT_EQ(cube.faces[2], small);
    EXPECT_EQ(cube.faces[5], small);

    EXPECT_EQ(LoadCubeBytes(CubeLoader(), {'X', 'D', 'S', ' '}, cube),
              "cDDSTextureCubeLoader::LoadTextureCube : invalid file format");
    std::vector<std::uint8_t> flat = DDSHeader("DXT1", 4, 4, 1);
    flat.resize(flat.size() + 8);
    EXPECT_EQ(LoadCubeBytes(CubeLoader(), flat, cube), "cDDSTextureCubeLoader::CheckCaps : not a cube map");
    std::vector<std::uint8_t> rgb = DDSHeader("RGBA", 4, 4, 1, allFaces);
    EXPECT_EQ(LoadCubeBytes(CubeLoader(), rgb, cube),
              "cDDSTextureCubeLoader::LoadTextureCube : uncompressed DDS cube maps aren't supported yet");
    std::vector<std::uint8_t> cut = DDSHeader("DXT1", 8, 8, 1, allFaces);
    cut.resize(cut.size() + 5 * 32);
    EXPECT_EQ(LoadCubeBytes(CubeLoader(), cut, cube), "cDDSTextureCubeLoader::LoadTextureCube : unexpected end of file");
    std::vector<std::uint8_t> oblong = DDSHeader("DXT1", 8, 4, 1, allFaces);
    EXPECT_NE(LoadCubeBytes(CubeLoader(), oblong, cube).find("invalid face size"), std::string::npos);
}

TEST(DDSLoader, MatchesImageMagickDecoding) {
    if (vtest::ConvertTool().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string dir = vtest::MakeTempDir();
    const vtest::sImage picture = vtest::MakeTestPicture(64, 32);
    ASSERT_TRUE(vtest::WritePNG(dir + "/picture.png", picture));
    struct sCase {
        const char* name;
        const char* options;
        int channels;
    };
    const sCase cases[] = {
        {"dxt1.dds", "-alpha off -define dds:compression=dxt1 -define dds:mipmaps=0", 3},
        {"dxt1mips.dds", "-alpha off -define dds:compression=dxt1", 3},
        {"dxt5.dds", "-define dds:compression=dxt5", 4},
    };
    for (const sCase& c : cases) {
        const std::string path = dir + "/" + c.name;
        ASSERT_TRUE(vtest::RunConvert(dir + "/picture.png " + c.options + " " + path)) << c.name;
        sImageData image;
        ASSERT_EQ(LoadBytes(Loader(), vtest::ReadFileBytes(path), image), "") << c.name;
        vtest::sImage reference;
        ASSERT_TRUE(vtest::DecodeWithConvert(path, reference)) << c.name;
        // Decoders differ only in the rounding of the interpolated palette entries.
        EXPECT_LE(vtest::MaxDifference(vtest::ToRGBA(image), reference, c.channels), 2) << c.name;
        // And the flip puts the picture's top (the white bar) at the top.
        const vtest::sImage decoded = vtest::ToRGBA(image);
        EXPECT_GT(decoded.At(5, 31)[0], 240) << c.name;
        EXPECT_LT(decoded.At(5, 0)[1], 40) << c.name;
    }
}

TEST(DDSLoader, HandMadeDXT3AndCubeMapMatchImageMagick) {
    if (vtest::ConvertTool().empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const std::string dir = vtest::MakeTempDir();
    const vtest::sImage picture = vtest::MakeTestPicture(32, 16);
    // DXT3: blocks made here, decoded by both.
    std::vector<std::uint8_t> dxt3 = DDSHeader("DXT3", 32, 16, 1, 0, true);
    const std::vector<std::uint8_t> blocks = EncodeDXT3(Flipped(picture));
    dxt3.insert(dxt3.end(), blocks.begin(), blocks.end());
    ASSERT_TRUE(vtest::WriteFileBytes(dir + "/dxt3.dds", dxt3));
    sImageData image;
    ASSERT_EQ(LoadBytes(Loader(), dxt3, image), "");
    vtest::sImage reference;
    ASSERT_TRUE(vtest::DecodeWithConvert(dir + "/dxt3.dds", reference));
    EXPECT_LE(vtest::MaxDifference(vtest::ToRGBA(image), reference, 4), 2);
    EXPECT_LE(vtest::MeanDifference(vtest::ToRGBA(image), picture, 3), 12.0);

    // Cube map: six faces made by ImageMagick as single DXT1 files, put together here.
    std::vector<std::uint8_t> cube = DDSHeader("DXT1", 16, 16, 1, 0x200 | 0xFC00);
    std::vector<std::vector<std::uint8_t>> faces;
    const char* colours[6] = {"red", "green", "blue", "yellow", "cyan", "magenta"};
    for (int i = 0; i < 6; ++i) {
        const std::string face = dir + "/face" + std::to_string(i) + ".dds";
        ASSERT_TRUE(vtest::RunConvert("-size 16x16 gradient:white-" + std::string(colours[i]) +
                                      " -alpha off -define dds:compression=dxt1 -define dds:mipmaps=0 " + face));
        std::vector<std::uint8_t> bytes = vtest::ReadFileBytes(face);
        ASSERT_EQ(bytes.size(), 128u + 128u);
        faces.emplace_back(bytes.begin() + 128, bytes.end());
        cube.insert(cube.end(), bytes.begin() + 128, bytes.end());
    }
    ASSERT_TRUE(vtest::WriteFileBytes(dir + "/cube.dds", cube));
    sCubeImageData cubeImage;
    ASSERT_EQ(LoadCubeBytes(CubeLoader(), cube, cubeImage), "");
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(cubeImage.faces[i], faces[i]) << "face " << i;
        // Faces keep the file's rows: decoded directly they match ImageMagick's frame, top row first.
        vtest::sImage decoded;
        decoded.width = decoded.height = 16;
        decoded.rgba.resize(16 * 16 * 4);
        cDXTCodec::DecodeLevel(TC_DXT1, cubeImage.faces[i].data(), 16, 16, decoded.rgba.data());
        vtest::sImage frame;
        ASSERT_TRUE(vtest::DecodeWithConvert(dir + "/cube.dds[" + std::to_string(i) + "]", frame)) << "face " << i;
        EXPECT_LE(vtest::MaxDifference(Flipped(decoded), frame, 3), 2) << "face " << i;
    }
}

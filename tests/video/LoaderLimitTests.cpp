// What the image loaders refuse before decoding: sides above the device's
// limit (after the top levels a detail reduction leaves out of a compressed
// chain) and, for JPEG, declared sizes the file's data cannot hold.
#include <gtest/gtest.h>

#include "video/LoaderTestSupport.h"
#include "video/loaders/cDDSTexture2DLoader.h"
#include "video/loaders/cDDSTextureCubeLoader.h"
#include "video/loaders/cJPGTexture2DLoader.h"
#include "video/loaders/cTGATexture2DLoader.h"

using namespace velmora::video;
using vtest::LoadBytes;
using vtest::LoadCubeBytes;

namespace {

// Seed files of the loaders' fuzz targets (the tests run in the source folder).
std::vector<std::uint8_t> Seed(const std::string& name) { return vtest::ReadFileBytes("tests/fuzz/" + name); }

sImageLimits Limit(std::uint32_t maxEdge, std::uint32_t dropped = 0) {
    sImageLimits limits;
    limits.maxEdge = maxEdge;
    limits.droppedLevels = dropped;
    return limits;
}

} // namespace

TEST(LoaderLimits, JPEGHeaderClaimingMoreThanItsDataHoldsIsRefusedBeforeAllocating) {
    // 366 bytes whose frame header declares 65019 x 65279 pixels (12.7 GB decoded).
    const std::vector<std::uint8_t> bytes = Seed("regressions/jpeg/huge_declared_size.jpg");
    ASSERT_EQ(bytes.size(), 366u);
    sImageData image;
    EXPECT_EQ(LoadBytes(*cJPGTexture2DLoader::GetInstance(), bytes, image),
              "cJPGTexture2DLoader::LoadTexture : an error occured while loading texture from '' (image size "
              "65019x65279 is more than 366 bytes of data can hold)");
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(LoadBytes(*cJPGTexture2DLoader::GetInstance(), bytes, image, Limit(16384)),
              "cJPGTexture2DLoader::LoadTexture : an error occured while loading texture from '' (image size "
              "65019x65279 exceeds the device limit 16384)");
}

TEST(LoaderLimits, JPEGAboveTheDeviceLimitIsRefused) {
    const std::vector<std::uint8_t> bytes = Seed("corpus/jpeg/ycc420_24x16.jpg");
    sImageData image;
    EXPECT_EQ(LoadBytes(*cJPGTexture2DLoader::GetInstance(), bytes, image, Limit(16)),
              "cJPGTexture2DLoader::LoadTexture : an error occured while loading texture from '' (image size 24x16 "
              "exceeds the device limit 16)");
    EXPECT_EQ(LoadBytes(*cJPGTexture2DLoader::GetInstance(), bytes, image, Limit(24)), "");
    EXPECT_EQ(image.width, 24u);
}

TEST(LoaderLimits, TGAAboveTheDeviceLimitIsRefused) {
    const std::vector<std::uint8_t> bytes = Seed("corpus/tga/rgb24_4x3.tga");
    sImageData image;
    EXPECT_EQ(LoadBytes(*cTGATexture2DLoader::GetInstance(), bytes, image, Limit(3)),
              "cTGATexture2DLoader::LoadTexture : image size 4x3 exceeds the device limit 3");
    EXPECT_EQ(LoadBytes(*cTGATexture2DLoader::GetInstance(), bytes, image, Limit(4)), "");
    EXPECT_EQ(image.width, 4u);
}

TEST(LoaderLimits, DDSCountsTheLevelsTheDetailReductionLeavesOut) {
    // 8 x 8 with four levels: one dropped level puts 4 x 4 on the device.
    const std::vector<std::uint8_t> chain = Seed("corpus/dds/dxt1_8x8_mips.dds");
    sImageData image;
    EXPECT_EQ(LoadBytes(*cDDSTexture2DLoader::GetInstance(), chain, image, Limit(4)),
              "cDDSTexture2DLoader::LoadTexture : image size 8x8 exceeds the device limit 4");
    EXPECT_EQ(LoadBytes(*cDDSTexture2DLoader::GetInstance(), chain, image, Limit(4, 1)), "");
    EXPECT_EQ(image.mipCount, 4u);
    EXPECT_EQ(LoadBytes(*cDDSTexture2DLoader::GetInstance(), chain, image, Limit(1, 3)), "");
    // A single level cannot be left out.
    const std::vector<std::uint8_t> single = Seed("corpus/dds/dxt5_4x4.dds");
    EXPECT_EQ(LoadBytes(*cDDSTexture2DLoader::GetInstance(), single, image, Limit(2, 2)),
              "cDDSTexture2DLoader::LoadTexture : image size 4x4 exceeds the device limit 2");
}

TEST(LoaderLimits, CubeFacesAboveTheDeviceLimitAreRefused) {
    const std::vector<std::uint8_t> bytes = Seed("corpus/dds/cube_dxt5_8x8_mips.dds");
    sCubeImageData cube;
    EXPECT_EQ(LoadCubeBytes(*cDDSTextureCubeLoader::GetInstance(), bytes, cube, Limit(4)),
              "cDDSTextureCubeLoader::LoadTextureCube : image size 8x8 exceeds the device limit 4");
    EXPECT_EQ(LoadCubeBytes(*cDDSTextureCubeLoader::GetInstance(), bytes, cube, Limit(8)), "");
    EXPECT_EQ(cube.size, 8u);
    EXPECT_FALSE(cube.faces[0].empty());
    EXPECT_TRUE(cube.faces[2].empty());
}

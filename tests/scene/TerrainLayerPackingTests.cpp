// Grey detail layers packed into the channels of one picture: what counts as
// grey, what is refused, which picture lands in which channel, and how a
// smaller picture is resampled (texel centres aligned, wrapping at the edges
// as a tiled texture is read).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scene/TerrainLayerPacking.h"

using namespace velmora::scene;

namespace {

// A picture kept alive with its pixels.
struct sPicture {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgba;

    sPicture(std::uint32_t w, std::uint32_t h, std::uint8_t grey = 0) : width(w), height(h), rgba(w * h * 4, grey) {
        for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    }
    void Set(std::uint32_t x, std::uint32_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* t = &rgba[(y * width + x) * 4];
        t[0] = r;
        t[1] = g;
        t[2] = b;
    }
    void SetGrey(std::uint32_t x, std::uint32_t y, std::uint8_t v) { Set(x, y, v, v, v); }
    sLayerPixels Pixels() const { return sLayerPixels{rgba.data(), width, height}; }
};

struct sPacked {
    bool ok = false;
    std::vector<std::uint8_t> out;
    std::uint32_t width = 0, height = 0;

    int At(std::uint32_t x, std::uint32_t y, int channel) const { return out[(y * width + x) * 4 + channel]; }
};

sPacked Pack(const sPicture& a, const sPicture& b, const sPicture& c, const sPicture& d) {
    const sLayerPixels pictures[4] = {a.Pixels(), b.Pixels(), c.Pixels(), d.Pixels()};
    sPacked packed;
    packed.ok = PackGreyLayers(pictures, packed.out, packed.width, packed.height);
    return packed;
}

} // namespace

TEST(TerrainLayerPacking, GreyMeansChannelsWithinTheToleranceOnEveryTexel) {
    sPicture picture(3, 2, 90);
    EXPECT_TRUE(IsGreyPicture(picture.Pixels()));
    // Alpha plays no part.
    picture.rgba[3] = 0;
    EXPECT_TRUE(IsGreyPicture(picture.Pixels()));

    // The last texel, spread exactly at the tolerance and one beyond it, in each pairing of channels.
    picture.Set(2, 1, 100, 108, 104);
    EXPECT_TRUE(IsGreyPicture(picture.Pixels()));
    picture.Set(2, 1, 100, 109, 104);
    EXPECT_FALSE(IsGreyPicture(picture.Pixels()));
    picture.Set(2, 1, 108, 104, 100);
    EXPECT_TRUE(IsGreyPicture(picture.Pixels()));
    picture.Set(2, 1, 104, 104, 95);
    EXPECT_FALSE(IsGreyPicture(picture.Pixels()));
    picture.Set(2, 1, 0, 0, 255);
    EXPECT_FALSE(IsGreyPicture(picture.Pixels()));
    // A tolerance of the caller's.
    picture.Set(2, 1, 100, 101, 100);
    EXPECT_TRUE(IsGreyPicture(picture.Pixels(), 1));
    EXPECT_FALSE(IsGreyPicture(picture.Pixels(), 0));

    // Nothing to look at is not a grey picture.
    EXPECT_FALSE(IsGreyPicture(sLayerPixels{}));
    EXPECT_FALSE(IsGreyPicture(sLayerPixels{nullptr, 3, 2}));
    EXPECT_FALSE(IsGreyPicture(sLayerPixels{picture.rgba.data(), 0, 2}));
    EXPECT_FALSE(IsGreyPicture(sLayerPixels{picture.rgba.data(), 3, 0}));
}

TEST(TerrainLayerPacking, PictureKLandsInChannelKTexelForTexelWhenSizesMatch) {
    // 3 x 2 (neither square nor a power of two): rows or columns swapped would show.
    sPicture layers[4] = {{3, 2}, {3, 2}, {3, 2}, {3, 2}};
    for (int k = 0; k < 4; ++k) {
        for (std::uint32_t y = 0; y < 2; ++y) {
            for (std::uint32_t x = 0; x < 3; ++x) layers[k].SetGrey(x, y, static_cast<std::uint8_t>(60 * k + 10 * y + x));
        }
    }
    // A slightly tinted grey is packed as the nearest whole mean of its channels.
    layers[1].Set(0, 0, 100, 101, 101); // 100.67
    layers[2].Set(2, 1, 100, 100, 101); // 100.33
    const sPacked packed = Pack(layers[0], layers[1], layers[2], layers[3]);
    ASSERT_TRUE(packed.ok);
    ASSERT_EQ(packed.width, 3u);
    ASSERT_EQ(packed.height, 2u);
    ASSERT_EQ(packed.out.size(), 3u * 2u * 4u);
    for (int k = 0; k < 4; ++k) {
        for (std::uint32_t y = 0; y < 2; ++y) {
            for (std::uint32_t x = 0; x < 3; ++x) {
                int expected = 60 * k + 10 * static_cast<int>(y) + static_cast<int>(x);
                if (k == 1 && x == 0 && y == 0) expected = 101;
                if (k == 2 && x == 2 && y == 1) expected = 100;
                EXPECT_EQ(packed.At(x, y, k), expected) << "picture " << k << " at " << x << ", " << y;
            }
        }
    }
}

TEST(TerrainLayerPacking, SmallerPictureIsResampledWithCentresAlignedAndWrapping) {
    // 2 x 2 into 4 x 4. Source greys (row 0 first): 0 100 / 200 40. Target texel x samples source u = x / 2 -
    // 0.25: texel 0 lies a quarter texel left of source texel 0, so a quarter of it comes from source texel 1
    // across the left edge (wrapping); texel 3 takes a quarter of source texel 0 across the right edge.
    sPicture small(2, 2);
    small.SetGrey(0, 0, 0);
    small.SetGrey(1, 0, 100);
    small.SetGrey(0, 1, 200);
    small.SetGrey(1, 1, 40);
    sPicture big(4, 4, 77);
    big.SetGrey(3, 2, 5);
    const sPacked packed = Pack(big, small, big, big);
    ASSERT_TRUE(packed.ok);
    ASSERT_EQ(packed.width, 4u);
    ASSERT_EQ(packed.height, 4u);
    // Along a row: x = 0, 1 take 3/4 of source column 0; x = 2, 3 take 3/4 of column 1. Row 0 gives 25 or 75,
    // row 1 gives 160 or 80. Down the columns the same weights between the rows.
    const int expected[4][4] = {
        // y = 0: 3/4 row 0 + 1/4 row 1 (wrapped from below)
        {59, 59, 76, 76},
        // y = 1: 3/4 row 0 + 1/4 row 1
        {59, 59, 76, 76},
        // y = 2: 1/4 row 0 + 3/4 row 1
        {126, 126, 79, 79},
        // y = 3: 3/4 row 1 + 1/4 row 0 (wrapped from above)
        {126, 126, 79, 79},
    };
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(packed.At(x, y, 1), expected[y][x]) << x << ", " << y;
        }
    }
    // The full-size pictures beside it are copied as they are.
    EXPECT_EQ(packed.At(3, 2, 0), 5);
    EXPECT_EQ(packed.At(3, 2, 2), 5);
    EXPECT_EQ(packed.At(0, 0, 3), 77);
}

TEST(TerrainLayerPacking, WidthAndHeightAreEachTheLargestAndOneTexelFillsEverything) {
    // 4 x 2 and 2 x 4 make a 4 x 4 picture: the first is resampled only down its columns, the second only
    // along its rows.
    sPicture wide(4, 2);
    sPicture tall(2, 4);
    for (std::uint32_t x = 0; x < 4; ++x) {
        wide.SetGrey(x, 0, 0);
        wide.SetGrey(x, 1, 200);
        tall.SetGrey(0, x, 40);
        tall.SetGrey(1, x, 240);
    }
    const sPicture dot(1, 1, 123);
    const sPacked packed = Pack(wide, tall, dot, dot);
    ASSERT_TRUE(packed.ok);
    ASSERT_EQ(packed.width, 4u);
    ASSERT_EQ(packed.height, 4u);
    const int rows[4] = {50, 50, 150, 150};
    const int columns[4] = {90, 90, 190, 190};
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(packed.At(x, y, 0), rows[y]) << x << ", " << y;
            EXPECT_EQ(packed.At(x, y, 1), columns[x]) << x << ", " << y;
            EXPECT_EQ(packed.At(x, y, 2), 123);
            EXPECT_EQ(packed.At(x, y, 3), 123);
        }
    }
}

TEST(TerrainLayerPacking, AnyMissingEmptyOrColouredPictureRefusesTheWholePack) {
    const sPicture grey(2, 2, 128);
    sPicture coloured(2, 2, 128);
    coloured.Set(1, 1, 128, 128, 137);
    sPicture nearlyGrey(2, 2, 128);
    nearlyGrey.Set(1, 1, 128, 128, 136);
    EXPECT_TRUE(Pack(grey, grey, grey, nearlyGrey).ok);

    const sLayerPixels refused[] = {sLayerPixels{}, sLayerPixels{nullptr, 2, 2}, sLayerPixels{grey.rgba.data(), 0, 2},
                                    sLayerPixels{grey.rgba.data(), 2, 0}, coloured.Pixels()};
    for (const sLayerPixels& bad : refused) {
        for (int k = 0; k < 4; ++k) {
            sLayerPixels pictures[4] = {grey.Pixels(), grey.Pixels(), grey.Pixels(), grey.Pixels()};
            pictures[k] = bad;
            // Whatever `out` held before is gone.
            std::vector<std::uint8_t> out(64, 9);
            std::uint32_t width = 7, height = 7;
            EXPECT_FALSE(PackGreyLayers(pictures, out, width, height)) << "picture " << k;
            EXPECT_TRUE(out.empty()) << "picture " << k;
            EXPECT_EQ(width, 0u);
            EXPECT_EQ(height, 0u);
        }
    }
}

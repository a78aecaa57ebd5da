// Texture quality and the choice of a display mode for a run.

#include "app/ApplySettings.h"
#include "app/VideoModes.h"

#include <gtest/gtest.h>

using namespace brevonne;

TEST(TextureQuality, TableForEveryQuality) {
    struct sRow {
        int quality, anisotropy, detail;
        unsigned bias;
        float view, vegetationOn, vegetationOff;
    };
    const sRow rows[] = {
        {0, 0, 2, 2, 450.0f, 25.0f, 150.0f},
        {1, 8, 1, 1, 350.0f, 50.0f, 250.0f},
        {2, 16, 0, 0, 250.0f, 75.0f, 350.0f},
    };
    for (const sRow& row : rows) {
        for (bool shaders : {true, false}) {
            const sTextureQuality q = GetTextureQuality(row.quality, shaders);
            EXPECT_TRUE(q.changesRenderer);
            EXPECT_EQ(q.anisotropy, row.anisotropy) << row.quality;
            EXPECT_EQ(q.filtering, 3);
            EXPECT_EQ(q.detailReduction, row.detail) << row.quality;
            EXPECT_EQ(q.render.levelBias, row.bias) << row.quality;
            EXPECT_EQ(q.render.viewDistance, row.view) << row.quality;
            EXPECT_EQ(q.render.vegetationDistance, shaders ? row.vegetationOn : row.vegetationOff) << row.quality;
        }
    }
}

TEST(TextureQuality, OutOfRangeLeavesTheRendererAlone) {
    for (int quality : {-1, 3, 1000}) {
        const sTextureQuality q = GetTextureQuality(quality, false);
        EXPECT_FALSE(q.changesRenderer);
        EXPECT_EQ(q.render.levelBias, 0u);
        EXPECT_EQ(q.render.viewDistance, 250.0f);
        EXPECT_EQ(q.render.vegetationDistance, 25.0f);
    }
}

TEST(VideoModes, RowLookup) {
    EXPECT_EQ(FindVideoModeRow(true, 1024, 768, 32), 0u);
    EXPECT_EQ(FindVideoModeRow(false, 640, 480, 16), 1u);
    EXPECT_EQ(FindVideoModeRow(false, 1280, 1024, 32), 24u);
    EXPECT_EQ(FindVideoModeRow(false, 0, 0, 0), 0u);
    EXPECT_EQ(FindVideoModeRow(false, -1, -1, -1), 0u);  // the terminator is no row
    EXPECT_EQ(FindVideoModeRow(false, 1920, 1080, 32), 0u);
    EXPECT_EQ(GetVideoModeText(25), "");
}

TEST(VideoModes, ChoosingADisplayMode) {
    const std::vector<sDisplayMode> modes = {
        {1920, 1080, 32, 60}, {1024, 768, 16, 60}, {1024, 768, 32, 60},
        {1024, 768, 32, 75},  {800, 600, 32, 60},  {1280, 1024, 32, 60},
    };
    EXPECT_EQ(ChooseDisplayMode(modes, 1024, 768, 32), 3);  // depth, then refresh
    EXPECT_EQ(ChooseDisplayMode(modes, 1024, 768, 16), 1);
    EXPECT_EQ(ChooseDisplayMode(modes, 800, 600, 16), 4);    // size matters more than depth
    EXPECT_EQ(ChooseDisplayMode(modes, 1152, 864, 32), 5);   // smallest that is large enough
    EXPECT_EQ(ChooseDisplayMode(modes, 2560, 1440, 32), -1);
    EXPECT_EQ(ChooseDisplayMode({}, 800, 600, 32), -1);
}

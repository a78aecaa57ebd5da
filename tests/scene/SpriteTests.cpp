// Sprites: frame steps at the animation's rate, wrapping or stopping, and
// atlas cells counted from the top-left.
#include <gtest/gtest.h>

#include "scene/cSprite.h"

using namespace velmora;
using namespace velmora::scene;

TEST(Sprite, FramesStepAtTheirRateThenWrapOrStop) {
    cSprite sprite(nullptr);
    sprite.Create("none.tga", 16, 16);
    EXPECT_EQ(sprite.GetCurrentFrame(), -1);
    EXPECT_EQ(sprite.AddAnimation(0, 10.0f, 0, true), -1);
    EXPECT_EQ(sprite.AddAnimation(3, 0.0f, 0, true), -1);
    const int loop = sprite.AddAnimation(3, 10.0f, 2, true);
    const int once = sprite.AddAnimation(2, 4.0f, 0, false);
    EXPECT_FALSE(sprite.Play(5, 0.0f));
    ASSERT_TRUE(sprite.Play(loop, 1.0f));
    const float times[] = {1.09f, 1.11f, 1.22f, 1.33f, 1.44f};
    const int frames[] = {0, 1, 2, 0, 1};
    for (int i = 0; i < 5; ++i) {
        sprite.Update(times[i]);
        EXPECT_EQ(sprite.GetCurrentFrame(), frames[i]) << i;
    }
    ASSERT_TRUE(sprite.Play(once, 0.0f));
    for (float t : {0.3f, 0.6f, 5.0f}) sprite.Update(t);
    EXPECT_EQ(sprite.GetCurrentFrame(), 1);
    EXPECT_EQ(sprite.GetState(), SPRITE_STOPPED);
    // Without an atlas there is one cell, the whole texture.
    const cRect cell = sprite.GetFrameRect(3);
    EXPECT_TRUE(cell.x1 == 0.0f && cell.y1 == 1.0f && cell.x2 == 1.0f && cell.y2 == 0.0f);
}

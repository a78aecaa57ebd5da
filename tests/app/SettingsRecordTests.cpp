// cSettingsRecord: the stored 356-byte layout.

#include "app/cSettingsRecord.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace brevonne;

namespace {

std::uint32_t U32At(const cSettingsRecord::tBytes& b, std::size_t offset) {
    return b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 | static_cast<std::uint32_t>(b[offset + 3]) << 24;
}

float FloatAt(const cSettingsRecord::tBytes& b, std::size_t offset) {
    const std::uint32_t bits = U32At(b, offset);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

} // namespace

TEST(SettingsRecord, DefaultRecordBytes) {
    const cSettingsRecord::tBytes b = cSettingsRecord().ToBytes();
    ASSERT_EQ(b.size(), 356u);
    EXPECT_EQ(b[0], 1);  // sound
    EXPECT_EQ(b[1], 1);  // same as desktop
    EXPECT_EQ(b[2], 0);  // FPS
    EXPECT_EQ(b[3], 1);  // clock
    EXPECT_EQ(U32At(b, 4), 0u);           // gamma 0.0
    EXPECT_EQ(U32At(b, 8), 0x3f800000u);  // volume 1.0
    EXPECT_EQ(U32At(b, 12), 800u);
    EXPECT_EQ(U32At(b, 16), 600u);
    EXPECT_EQ(U32At(b, 20), 32u);
    EXPECT_EQ(U32At(b, 24), 1u);  // Medium
    EXPECT_EQ(b[28], 1);          // shaders
    for (std::size_t i = 29; i < b.size(); ++i) {
        ASSERT_EQ(b[i], 0) << "reserved byte " << i;
    }
}

TEST(SettingsRecord, EveryFieldAtItsOffset) {
    cSettingsRecord r;
    r.soundEnabled = false;
    r.sameAsDesktop = false;
    r.showFPS = true;
    r.showClock = false;
    r.gamma = -0.75f;
    r.volume = 0.25f;
    r.width = 1280;
    r.height = -1024;
    r.bits = 16;
    r.textureQuality = -1;
    r.useShaders = false;
    const cSettingsRecord::tBytes b = r.ToBytes();
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2], 1);
    EXPECT_EQ(b[3], 0);
    EXPECT_EQ(FloatAt(b, 4), -0.75f);
    EXPECT_EQ(FloatAt(b, 8), 0.25f);
    EXPECT_EQ(U32At(b, 12), 1280u);
    EXPECT_EQ(U32At(b, 16), 0xfffffc00u);  // little-endian two's complement
    EXPECT_EQ(U32At(b, 20), 16u);
    EXPECT_EQ(U32At(b, 24), 0xffffffffu);
    EXPECT_EQ(b[28], 0);
}

TEST(SettingsRecord, RoundTripKeepsReservedBytes) {
    cSettingsRecord::tBytes stored{};
    for (std::size_t i = 0; i < stored.size(); ++i) {
        stored[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    // Booleans are 0 or 1 in a written record.
    for (std::size_t i : {0u, 1u, 2u, 3u, 28u}) {
        stored[i] = static_cast<std::uint8_t>(i & 1);
    }
    cSettingsRecord r;
    ASSERT_TRUE(r.FromBytes(stored.data(), stored.size()));
    EXPECT_EQ(r.width, static_cast<std::int32_t>(stored[12] | stored[13] << 8 | stored[14] << 16 | stored[15] << 24));
    EXPECT_EQ(r.reserved[0], stored[29]);
    EXPECT_EQ(r.reserved[326], stored[355]);
    EXPECT_EQ(r.ToBytes(), stored);

    // Changing a field leaves the reserved bytes alone.
    r.textureQuality = 2;
    const cSettingsRecord::tBytes changed = r.ToBytes();
    EXPECT_TRUE(std::equal(changed.begin() + 29, changed.end(), stored.begin() + 29));
    EXPECT_EQ(U32At(changed, 24), 2u);
}

TEST(SettingsRecord, WrongSizeChangesNothing) {
    cSettingsRecord r;
    r.width = 1024;
    const cSettingsRecord before = r;
    std::uint8_t zeros[cSettingsRecord::kSize + 1] = {};
    EXPECT_FALSE(r.FromBytes(zeros, cSettingsRecord::kSize - 1));
    EXPECT_FALSE(r.FromBytes(zeros, cSettingsRecord::kSize + 1));
    EXPECT_FALSE(r.FromBytes(zeros, 0));
    EXPECT_FALSE(r.FromBytes(nullptr, cSettingsRecord::kSize));
    EXPECT_EQ(r, before);
    EXPECT_TRUE(r.FromBytes(zeros, cSettingsRecord::kSize));
    EXPECT_EQ(r.width, 0);
    EXPECT_FALSE(r.soundEnabled);
}

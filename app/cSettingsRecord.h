#pragma once
// The screensaver's user settings: one fixed-size record of 356 bytes,
// little-endian, fields packed without gaps:
//
//   offset  size  field
//        0     1  sound enabled (8-bit boolean)
//        1     1  video mode "Same as desktop"
//        2     1  show frames per second
//        3     1  show clock
//        4     4  gamma, float -1..1 (0 = the desktop's own ramp)
//        8     4  master volume, float 0..1
//       12     4  video mode width (signed 32-bit)
//       16     4  video mode height
//       20     4  video mode colour depth in bits
//       24     4  texture quality: 0 Low, 1 Medium, 2 High
//       28     1  use pixel shaders (when the device has them)
//       29   327  reserved: zero in a new record, kept unchanged otherwise

#include <array>
#include <cstddef>
#include <cstdint>

namespace brevonne {

class cSettingsRecord {
public:
    static constexpr std::size_t kSize = 356;
    static constexpr std::size_t kReservedOffset = 29;
    static constexpr std::size_t kReservedSize = kSize - kReservedOffset;

    using tBytes = std::array<std::uint8_t, kSize>;

    // The stored bytes of the record.
    tBytes ToBytes() const;
    // Takes every field from exactly kSize bytes; any other size leaves the
    // record unchanged and returns false.
    bool FromBytes(const std::uint8_t* data, std::size_t size);

    bool operator==(const cSettingsRecord& other) const;
    bool operator!=(const cSettingsRecord& other) const { return !(*this == other); }

    // The defaults of a first run.
    bool soundEnabled = true;
    bool sameAsDesktop = true;
    bool showFPS = false;
    bool showClock = true;
    float gamma = 0.0f;
    float volume = 1.0f;
    std::int32_t width = 800;
    std::int32_t height = 600;
    std::int32_t bits = 32;
    std::int32_t textureQuality = 1;
    bool useShaders = true;
    std::array<std::uint8_t, kReservedSize> reserved{};
};

} // namespace brevonne

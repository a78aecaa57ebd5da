#pragma once
// Colours: cColor is four bytes red, green, blue, alpha; cColorF four floats
// in 0..1. Floats convert to bytes by clamping above 1 and truncating the
// product with 255.

#include <cstdint>

namespace velmora {

struct cColor {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;

    constexpr cColor() = default;
    constexpr cColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha = 255)
        : r(red), g(green), b(blue), a(alpha) {}

    constexpr bool operator==(const cColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    constexpr bool operator!=(const cColor& o) const { return !(*this == o); }
};

struct cColorF {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;

    constexpr cColorF() = default;
    constexpr cColorF(float red, float green, float blue, float alpha = 1.0f) : r(red), g(green), b(blue), a(alpha) {}
    constexpr explicit cColorF(const cColor& c)
        : r(c.r / 255.0f), g(c.g / 255.0f), b(c.b / 255.0f), a(c.a / 255.0f) {}

    // One component to a byte: values above 1 clamp to 1, negatives to 0, then truncation of v * 255.
    static constexpr std::uint8_t ToByte(float v) {
        if (!(v > 0.0f)) return 0;
        if (v > 1.0f) v = 1.0f;
        return static_cast<std::uint8_t>(v * 255.0f);
    }

    constexpr cColor ToColor() const { return cColor(ToByte(r), ToByte(g), ToByte(b), ToByte(a)); }
};

} // namespace velmora

#pragma once
// A working picture of float RGBA pixels. Rows are kept bottom row first, the
// engine's image convention (texture coordinate t = 0 is the bottom), and every
// file writer turns them into its own order.

#include <cstdint>
#include <vector>

namespace brevonne {

struct sColor {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
    sColor() = default;
    sColor(float r_, float g_, float b_, float a_ = 1.0f) : r(r_), g(g_), b(b_), a(a_) {}
    sColor operator+(const sColor& o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    sColor operator-(const sColor& o) const { return {r - o.r, g - o.g, b - o.b, a - o.a}; }
    sColor operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
    sColor Mul(const sColor& o) const { return {r * o.r, g * o.g, b * o.b, a * o.a}; }
};

sColor LerpColor(const sColor& a, const sColor& b, float t);

class cImage {
public:
    cImage() = default;
    cImage(int width, int height, const sColor& fill = sColor(0, 0, 0, 1));

    int GetWidth() const { return m_Width; }
    int GetHeight() const { return m_Height; }
    bool IsEmpty() const { return m_Pixels.empty(); }

    // Pixel (x, y), y counted from the bottom row. No bounds checks in the hot path: callers stay inside.
    sColor& At(int x, int y) { return m_Pixels[static_cast<std::size_t>(y) * m_Width + x]; }
    const sColor& At(int x, int y) const { return m_Pixels[static_cast<std::size_t>(y) * m_Width + x]; }
    // Bilinear sample at pixel coordinates (pixel centres at +0.5), wrapping around the edges.
    sColor SampleWrap(float x, float y) const;
    // Bilinear sample at pixel coordinates, clamped to the edges.
    sColor SampleClamp(float x, float y) const;

    // Half-size copy (2x2 box filter); odd sizes round down, never below 1.
    cImage Downsample() const;
    // Copy resized to width x height with bilinear filtering (wrapping when wrap is set).
    cImage Resized(int width, int height, bool wrap) const;
    // Mean of all pixels.
    sColor Mean() const;

    // Bytes per pixel 3 (RGB) or 4 (RGBA), each channel clamped to 0..1 and rounded, rows bottom first.
    std::vector<std::uint8_t> ToBytes(int channels) const;
    // The same with rows top first (for JPEG, PNG and DDS, which store the picture top down).
    std::vector<std::uint8_t> ToBytesTopDown(int channels) const;

private:
    int m_Width = 0;
    int m_Height = 0;
    std::vector<sColor> m_Pixels;
};

std::uint8_t ToByte(float v);

} // namespace brevonne

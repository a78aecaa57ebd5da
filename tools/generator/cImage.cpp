#include "tools/generator/cImage.h"

#include <algorithm>
#include <cmath>

namespace brevonne {

sColor LerpColor(const sColor& a, const sColor& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

std::uint8_t ToByte(float v)
{
    if (!(v > 0.0f))
        return 0;
    if (v >= 1.0f)
        return 255;
    return static_cast<std::uint8_t>(v * 255.0f + 0.5f);
}

cImage::cImage(int width, int height, const sColor& fill)
    : m_Width(width), m_Height(height), m_Pixels(static_cast<std::size_t>(width) * height, fill)
{
}

namespace {
int WrapIndex(int v, int n)
{
    int r = v % n;
    return r < 0 ? r + n : r;
}
int ClampIndex(int v, int n) { return v < 0 ? 0 : (v >= n ? n - 1 : v); }
} // namespace

sColor cImage::SampleWrap(float x, float y) const
{
    float fx = x - 0.5f, fy = y - 0.5f;
    float flx = std::floor(fx), fly = std::floor(fy);
    int x0 = static_cast<int>(flx), y0 = static_cast<int>(fly);
    float tx = fx - flx, ty = fy - fly;
    int xa = WrapIndex(x0, m_Width), xb = WrapIndex(x0 + 1, m_Width);
    int ya = WrapIndex(y0, m_Height), yb = WrapIndex(y0 + 1, m_Height);
    return LerpColor(LerpColor(At(xa, ya), At(xb, ya), tx), LerpColor(At(xa, yb), At(xb, yb), tx), ty);
}

sColor cImage::SampleClamp(float x, float y) const
{
    float fx = x - 0.5f, fy = y - 0.5f;
    float flx = std::floor(fx), fly = std::floor(fy);
    int x0 = static_cast<int>(flx), y0 = static_cast<int>(fly);
    float tx = fx - flx, ty = fy - fly;
    int xa = ClampIndex(x0, m_Width), xb = ClampIndex(x0 + 1, m_Width);
    int ya = ClampIndex(y0, m_Height), yb = ClampIndex(y0 + 1, m_Height);
    return LerpColor(LerpColor(At(xa, ya), At(xb, ya), tx), LerpColor(At(xa, yb), At(xb, yb), tx), ty);
}

cImage cImage::Downsample() const
{
    int w = std::max(1, m_Width / 2), h = std::max(1, m_Height / 2);
    cImage out(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int x0 = std::min(2 * x, m_Width - 1), x1 = std::min(2 * x + 1, m_Width - 1);
            int y0 = std::min(2 * y, m_Height - 1), y1 = std::min(2 * y + 1, m_Height - 1);
            out.At(x, y) = (At(x0, y0) + At(x1, y0) + At(x0, y1) + At(x1, y1)) * 0.25f;
        }
    }
    return out;
}

cImage cImage::Resized(int width, int height, bool wrap) const
{
    cImage out(width, height);
    float sx = static_cast<float>(m_Width) / width, sy = static_cast<float>(m_Height) / height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float px = (x + 0.5f) * sx, py = (y + 0.5f) * sy;
            out.At(x, y) = wrap ? SampleWrap(px, py) : SampleClamp(px, py);
        }
    return out;
}

sColor cImage::Mean() const
{
    double r = 0, g = 0, b = 0, a = 0;
    for (const sColor& c : m_Pixels) {
        r += c.r;
        g += c.g;
        b += c.b;
        a += c.a;
    }
    double n = m_Pixels.empty() ? 1.0 : static_cast<double>(m_Pixels.size());
    return {static_cast<float>(r / n), static_cast<float>(g / n), static_cast<float>(b / n), static_cast<float>(a / n)};
}

std::vector<std::uint8_t> cImage::ToBytes(int channels) const
{
    std::vector<std::uint8_t> out(m_Pixels.size() * channels);
    std::size_t o = 0;
    for (const sColor& c : m_Pixels) {
        out[o++] = ToByte(c.r);
        out[o++] = ToByte(c.g);
        out[o++] = ToByte(c.b);
        if (channels == 4)
            out[o++] = ToByte(c.a);
    }
    return out;
}

std::vector<std::uint8_t> cImage::ToBytesTopDown(int channels) const
{
    std::vector<std::uint8_t> bottomUp = ToBytes(channels);
    std::vector<std::uint8_t> out(bottomUp.size());
    std::size_t row = static_cast<std::size_t>(m_Width) * channels;
    for (int y = 0; y < m_Height; ++y)
        std::copy(bottomUp.begin() + row * (m_Height - 1 - y), bottomUp.begin() + row * (m_Height - y), out.begin() + row * y);
    return out;
}

} // namespace brevonne

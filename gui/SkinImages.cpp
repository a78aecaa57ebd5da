#include "gui/SkinImages.h"

#include <algorithm>
#include <cmath>

namespace velmora::gui {

namespace {

struct sRGBA {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

sRGBA Rgb(float r, float g, float b) { return {r, g, b, 1.0f}; }

sRGBA Mix(const sRGBA& x, const sRGBA& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

float SmoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// A picture painted top row first; Finish turns it into texture rows (bottom first).
class cCanvas {
public:
    cCanvas(int width, int height) : m_Width(width), m_Height(height), m_Pixels(static_cast<std::size_t>(width * height)) {}

    sRGBA& At(int x, int y) { return m_Pixels[static_cast<std::size_t>(y * m_Width + x)]; }

    // Source-over composition of a colour with coverage.
    void Blend(int x, int y, const sRGBA& c, float coverage) {
        if (x < 0 || y < 0 || x >= m_Width || y >= m_Height || coverage <= 0.0f) return;
        sRGBA& d = At(x, y);
        const float a = c.a * std::min(coverage, 1.0f);
        const float outA = a + d.a * (1.0f - a);
        if (outA <= 0.0f) return;
        d.r = (c.r * a + d.r * d.a * (1.0f - a)) / outA;
        d.g = (c.g * a + d.g * d.a * (1.0f - a)) / outA;
        d.b = (c.b * a + d.b * d.a * (1.0f - a)) / outA;
        d.a = outA;
    }

    // Signed distance (negative inside) from (px, py) to the box 0..w x 0..h whose corners have radius r.
    static float BoxDistance(float px, float py, float w, float h, float r) {
        const float qx = std::fabs(px - w * 0.5f) - w * 0.5f + r;
        const float qy = std::fabs(py - h * 0.5f) - h * 0.5f + r;
        return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
    }

    // A rounded panel over (x0, y0, w, h): vertical gradient from top to bottom and a 1.5-pixel rim.
    // roundTop / roundBottom choose which corners are rounded; openBottom leaves the bottom rim away.
    void Panel(int x0, int y0, int w, int h, const sRGBA& top, const sRGBA& bottom, const sRGBA& border,
               float radius, bool roundTop = true, bool roundBottom = true, bool openBottom = false) {
        const float fw = static_cast<float>(w), fh = static_cast<float>(h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float r = (py < fh * 0.5f ? roundTop : roundBottom) ? radius : 0.0f;
                const float d = BoxDistance(px, py, fw, fh, r);
                // An open bottom: the rim is measured against a box reaching further down.
                const float rimD = openBottom ? BoxDistance(px, py, fw, fh + 2.0f * radius + 8.0f, roundTop ? radius : 0.0f) : d;
                const float inside = SmoothStep(0.5f, -0.5f, d);
                const float rim = SmoothStep(-2.0f, -1.0f, rimD);
                sRGBA c = Mix(top, bottom, h > 1 ? static_cast<float>(y) / (h - 1) : 0.0f);
                c = Mix(c, border, rim);
                c.a = inside;
                At(x0 + x, y0 + y) = c;
            }
        }
    }

    // A 1.5-pixel rounded outline over (x0, y0, w, h) with a transparent middle.
    void Outline(int x0, int y0, int w, int h, const sRGBA& color, float radius) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float d = BoxDistance(px, py, static_cast<float>(w), static_cast<float>(h), radius);
                const float coverage = SmoothStep(0.5f, -0.5f, d) * SmoothStep(-2.0f, -1.0f, d);
                sRGBA c = color;
                c.a = coverage;
                At(x0 + x, y0 + y) = c;
            }
        }
    }

    // A disc of radius r centred at (cx, cy).
    void Disc(float cx, float cy, float r, const sRGBA& color) {
        for (int y = static_cast<int>(cy - r - 2); y <= static_cast<int>(cy + r + 2); ++y) {
            for (int x = static_cast<int>(cx - r - 2); x <= static_cast<int>(cx + r + 2); ++x) {
                const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) - r;
                Blend(x, y, color, SmoothStep(0.5f, -0.5f, d));
            }
        }
    }

    // A line of the given width between two points, with round ends.
    void Stroke(float ax, float ay, float bx, float by, float width, const sRGBA& color, int x0, int y0, int w, int h) {
        const float dx = bx - ax, dy = by - ay;
        const float length2 = dx * dx + dy * dy;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                const float px = x + 0.5f - ax, py = y + 0.5f - ay;
                const float t = length2 > 0.0f ? std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f) : 0.0f;
                const float d = std::hypot(px - t * dx, py - t * dy) - width * 0.5f;
                Blend(x, y, color, SmoothStep(0.5f, -0.5f, d));
            }
        }
    }

    // A filled convex polygon (points in order) with anti-aliased edges.
    void Polygon(const float* points, int count, const sRGBA& color, float outline, const sRGBA& outlineColor) {
        for (int y = 0; y < m_Height; ++y) {
            for (int x = 0; x < m_Width; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                float d = -1e9f;  // signed distance to the polygon (negative inside)
                float area = 0.0f;
                for (int i = 0; i < count; ++i) {
                    const int j = (i + 1) % count;
                    area += points[2 * i] * points[2 * j + 1] - points[2 * j] * points[2 * i + 1];
                }
                const float sign = area > 0.0f ? 1.0f : -1.0f;
                for (int i = 0; i < count; ++i) {
                    const int j = (i + 1) % count;
                    const float ex = points[2 * j] - points[2 * i], ey = points[2 * j + 1] - points[2 * i + 1];
                    const float len = std::hypot(ex, ey);
                    if (len <= 0.0f) continue;
                    // Outward normal of a counter-clockwise (in picture space) edge.
                    const float nx = sign * ey / len, ny = -sign * ex / len;
                    d = std::max(d, (px - points[2 * i]) * nx + (py - points[2 * i + 1]) * ny);
                }
                const float fill = SmoothStep(0.5f, -0.5f, d);
                if (outline > 0.0f) {
                    Blend(x, y, outlineColor, fill);
                    Blend(x, y, color, SmoothStep(0.5f, -0.5f, d + outline));
                } else {
                    Blend(x, y, color, fill);
                }
            }
        }
    }

    void Finish(sSkinImage& out) const {
        out.width = m_Width;
        out.height = m_Height;
        out.rgba.assign(static_cast<std::size_t>(m_Width * m_Height * 4), 0);
        for (int y = 0; y < m_Height; ++y) {
            for (int x = 0; x < m_Width; ++x) {
                const sRGBA& c = m_Pixels[static_cast<std::size_t>(y * m_Width + x)];
                std::uint8_t* p = &out.rgba[(static_cast<std::size_t>(m_Height - 1 - y) * m_Width + x) * 4];
                p[0] = ToByte(c.r);
                p[1] = ToByte(c.g);
                p[2] = ToByte(c.b);
                p[3] = ToByte(c.a);
            }
        }
    }

private:
    static std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

    int m_Width;
    int m_Height;
    std::vector<sRGBA> m_Pixels;
};

// The palette: light panels with a sea-green accent.
const sRGBA kBodyTop = Rgb(0.97f, 0.98f, 0.98f), kBodyBottom = Rgb(0.90f, 0.92f, 0.93f);
const sRGBA kFrame = Rgb(0.55f, 0.62f, 0.66f);
const sRGBA kAccentTop = Rgb(0.20f, 0.62f, 0.66f), kAccentBottom = Rgb(0.08f, 0.45f, 0.52f);
const sRGBA kAccentFrame = Rgb(0.05f, 0.35f, 0.42f);
const sRGBA kGlyph = Rgb(0.20f, 0.27f, 0.31f);
const sRGBA kMark = Rgb(0.05f, 0.50f, 0.55f);

// The four states of a button: normal, hover, pressed, disabled.
void ButtonStates(cCanvas& c, int w, int h, float radius) {
    c.Panel(0, 0, w, h, Rgb(0.98f, 0.99f, 0.99f), Rgb(0.86f, 0.89f, 0.90f), Rgb(0.50f, 0.58f, 0.62f), radius);
    c.Panel(0, h, w, h, Rgb(0.90f, 0.98f, 0.98f), Rgb(0.76f, 0.90f, 0.91f), Rgb(0.15f, 0.55f, 0.60f), radius);
    c.Panel(0, 2 * h, w, h, Rgb(0.70f, 0.84f, 0.86f), Rgb(0.82f, 0.92f, 0.93f), Rgb(0.10f, 0.45f, 0.52f), radius);
    c.Panel(0, 3 * h, w, h, Rgb(0.94f, 0.95f, 0.95f), Rgb(0.90f, 0.91f, 0.92f), Rgb(0.74f, 0.77f, 0.79f), radius);
}

// Check boxes (top row) and radio buttons (bottom row): off, on, disabled off, disabled on.
void CheckRadio(cCanvas& c) {
    for (int state = 0; state < 4; ++state) {
        const bool disabled = state >= 2;
        const bool on = (state & 1) != 0;
        const sRGBA face0 = disabled ? Rgb(0.94f, 0.95f, 0.95f) : Rgb(1.0f, 1.0f, 1.0f);
        const sRGBA face1 = disabled ? Rgb(0.90f, 0.91f, 0.92f) : Rgb(0.90f, 0.92f, 0.93f);
        const sRGBA rim = disabled ? Rgb(0.72f, 0.75f, 0.77f) : Rgb(0.45f, 0.52f, 0.56f);
        const sRGBA mark = disabled ? Rgb(0.62f, 0.68f, 0.70f) : kMark;
        const int x0 = state * 16;
        c.Panel(x0 + 1, 1, 14, 14, face0, face1, rim, 3.0f);
        if (on) {
            c.Stroke(x0 + 4.2f, 8.2f, x0 + 6.8f, 11.0f, 2.2f, mark, x0, 0, 16, 16);
            c.Stroke(x0 + 6.8f, 11.0f, x0 + 11.8f, 4.6f, 2.2f, mark, x0, 0, 16, 16);
        }
        c.Disc(x0 + 8.0f, 24.0f, 6.6f, rim);
        c.Disc(x0 + 8.0f, 24.0f, 5.3f, face0);
        if (on) c.Disc(x0 + 8.0f, 24.0f, 3.0f, mark);
    }
}

void Arrow(cCanvas& c, bool up) {
    const float points[6] = {8.0f, up ? 5.0f : 11.0f, 12.5f, up ? 10.5f : 5.5f, 3.5f, up ? 10.5f : 5.5f};
    c.Polygon(points, 3, kGlyph, 0.0f, kGlyph);
}

void Cursors(cCanvas& c) {
    const float arrow[14] = {2, 2, 2, 20, 6.5f, 15.5f, 10, 23, 13, 21.5f, 9.5f, 14.5f, 15, 14.5f};
    // The arrow is concave; draw it as its convex parts.
    const float head[8] = {arrow[0], arrow[1], arrow[2], arrow[3], arrow[4], arrow[5], arrow[12], arrow[13]};
    const float tail[10] = {arrow[4], arrow[5], arrow[6], arrow[7], arrow[8], arrow[9], arrow[10], arrow[11], 6.5f, 12.0f};
    const sRGBA black = Rgb(0.05f, 0.05f, 0.05f), white = Rgb(1, 1, 1);
    c.Polygon(head, 4, white, 1.2f, black);
    c.Polygon(tail, 5, white, 1.2f, black);
    // I-beam in the right half.
    c.Stroke(44, 6, 52, 6, 1.6f, black, 32, 0, 32, 32);
    c.Stroke(48, 6, 48, 26, 1.6f, black, 32, 0, 32, 32);
    c.Stroke(44, 26, 52, 26, 1.6f, black, 32, 0, 32, 32);
}

} // namespace

bool PaintSkinImage(const std::string& fileName, sSkinImage& out) {
    if (fileName == "Background.tga") {  // window body
        cCanvas c(64, 64);
        c.Panel(0, 0, 64, 64, kBodyTop, kBodyBottom, kFrame, 6.0f);
        c.Finish(out);
    } else if (fileName == "Window.tga") {  // caption bar, square at the bottom
        cCanvas c(64, 32);
        c.Panel(0, 0, 64, 32, kAccentTop, kAccentBottom, kAccentFrame, 6.0f, true, false, true);
        c.Finish(out);
    } else if (fileName == "Pannel.tga") {  // flat inner panel
        cCanvas c(32, 32);
        c.Panel(0, 0, 32, 32, Rgb(1, 1, 1), Rgb(0.98f, 0.99f, 0.99f), Rgb(0.66f, 0.72f, 0.75f), 3.0f);
        c.Finish(out);
    } else if (fileName == "Lowered.tga") {  // sunken field
        cCanvas c(32, 32);
        c.Panel(0, 0, 32, 32, Rgb(0.93f, 0.95f, 0.96f), Rgb(1, 1, 1), Rgb(0.55f, 0.62f, 0.66f), 3.0f);
        for (int x = 2; x < 30; ++x) c.Blend(x, 2, Rgb(0.80f, 0.84f, 0.86f), 0.6f);
        c.Finish(out);
    } else if (fileName == "GroupBox.tga") {
        cCanvas c(32, 32);
        c.Outline(0, 0, 32, 32, Rgb(0.62f, 0.68f, 0.72f), 5.0f);
        c.Finish(out);
    } else if (fileName == "Button.tga") {
        cCanvas c(64, 128);
        ButtonStates(c, 64, 32, 5.0f);
        c.Finish(out);
    } else if (fileName == "ButtonSmall.tga") {
        cCanvas c(16, 64);
        ButtonStates(c, 16, 16, 3.0f);
        c.Finish(out);
    } else if (fileName == "CheckRadio.tga") {
        cCanvas c(64, 32);
        CheckRadio(c);
        c.Finish(out);
    } else if (fileName == "Tabs.tga") {  // active tab, then inactive; both open at the bottom
        cCanvas c(64, 64);
        c.Panel(0, 0, 64, 32, Rgb(1, 1, 1), Rgb(0.98f, 0.99f, 0.99f), Rgb(0.66f, 0.72f, 0.75f), 5.0f, true, false, true);
        c.Panel(0, 32, 64, 32, Rgb(0.88f, 0.91f, 0.92f), Rgb(0.80f, 0.84f, 0.86f), Rgb(0.66f, 0.72f, 0.75f), 5.0f, true,
                false, true);
        c.Finish(out);
    } else if (fileName == "Slider.tga") {
        cCanvas c(64, 8);
        c.Panel(0, 0, 64, 8, Rgb(0.70f, 0.75f, 0.78f), Rgb(0.80f, 0.84f, 0.86f), Rgb(0.50f, 0.56f, 0.60f), 4.0f);
        c.Finish(out);
    } else if (fileName == "SliderThumb.tga") {  // normal, then hot (hovered or dragged)
        cCanvas c(32, 16);
        c.Disc(8.0f, 8.0f, 7.4f, kAccentFrame);
        c.Disc(8.0f, 8.0f, 6.2f, kAccentBottom);
        c.Disc(7.5f, 7.0f, 4.0f, kAccentTop);
        c.Disc(24.0f, 8.0f, 7.4f, kAccentFrame);
        c.Disc(24.0f, 8.0f, 6.2f, kAccentTop);
        c.Disc(23.5f, 7.0f, 4.0f, Rgb(0.40f, 0.80f, 0.82f));
        c.Finish(out);
    } else if (fileName == "Up.tga" || fileName == "Down.tga") {
        cCanvas c(16, 16);
        Arrow(c, fileName == "Up.tga");
        c.Finish(out);
    } else if (fileName == "Cursors.tga") {  // arrow, then text beam
        cCanvas c(64, 32);
        Cursors(c);
        c.Finish(out);
    } else {
        return false;
    }
    return true;
}

} // namespace velmora::gui

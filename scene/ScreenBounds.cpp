#include "scene/ScreenBounds.h"

#include <algorithm>
#include <cmath>

#include "engine/core/cVector4.h"

namespace velmora::scene {

namespace {

// Clipping can add one corner per plane.
constexpr int kMaxClipped = kMaxBoundsCorners + 5;
// In front of the eye: w above this (keeps the divide well away from 0).
constexpr float kNearW = 1e-4f;

// Distance of a clip-space point inside plane `plane`: 0..3 the view's sides (w -+ x, w -+ y), 4 the eye.
float Inside(const cVector4& p, int plane) {
    switch (plane) {
    case 0: return p.w - p.x;
    case 1: return p.w + p.x;
    case 2: return p.w - p.y;
    case 3: return p.w + p.y;
    default: return p.w - kNearW;
    }
}

// Sutherland-Hodgman against one plane; returns the new corner count.
int ClipAgainst(const cVector4* in, int count, cVector4* out, int plane) {
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const cVector4& a = in[i];
        const cVector4& b = in[(i + 1) % count];
        const float da = Inside(a, plane);
        const float db = Inside(b, plane);
        if (da >= 0.0f) {
            out[written++] = a;
        }
        if ((da >= 0.0f) != (db >= 0.0f)) {
            const float t = da / (da - db);
            out[written++] = a + (b - a) * t;
        }
    }
    return written;
}

} // namespace

bool ProjectedBounds(const cVector3* corners, int count, const cMatrix& viewProjection, sScreenBounds& bounds) {
    if (!corners || count < 3 || count > kMaxBoundsCorners) {
        return false;
    }
    cVector4 first[kMaxClipped];
    cVector4 second[kMaxClipped];
    for (int i = 0; i < count; ++i) {
        first[i] = viewProjection.Transform(cVector4(corners[i], 1.0f));
    }
    // The eye first, so that the sides never see a corner behind the camera.
    const int order[5] = {4, 0, 1, 2, 3};
    cVector4* in = first;
    cVector4* out = second;
    for (int plane : order) {
        count = ClipAgainst(in, count, out, plane);
        if (count == 0) {
            return false;
        }
        std::swap(in, out);
    }
    bounds.minX = bounds.minY = 1.0f;
    bounds.maxX = bounds.maxY = -1.0f;
    for (int i = 0; i < count; ++i) {
        const float x = std::clamp(in[i].x / in[i].w, -1.0f, 1.0f);
        const float y = std::clamp(in[i].y / in[i].w, -1.0f, 1.0f);
        bounds.minX = std::min(bounds.minX, x);
        bounds.maxX = std::max(bounds.maxX, x);
        bounds.minY = std::min(bounds.minY, y);
        bounds.maxY = std::max(bounds.maxY, y);
    }
    return true;
}

sPixelRect ToPixelRect(const sScreenBounds& bounds, float margin, int width, int height) {
    sPixelRect rect;
    if (width <= 0 || height <= 0) {
        return rect;
    }
    // Normalised device x -1..1 runs over the columns left to right, y -1..1 over the rows bottom to top.
    // Clamped before rounding (a NaN to 0), so that no margin or value can overflow the conversion.
    const auto toPixel = [](float ndc, float size) {
        const float v = (ndc * 0.5f + 0.5f) * size;
        return v > 0.0f ? (v < size ? v : size) : 0.0f;
    };
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const int left = static_cast<int>(std::floor(toPixel(bounds.minX - margin, w)));
    const int right = static_cast<int>(std::ceil(toPixel(bounds.maxX + margin, w)));
    const int top = height - static_cast<int>(std::ceil(toPixel(bounds.maxY + margin, h)));
    const int bottom = height - static_cast<int>(std::floor(toPixel(bounds.minY - margin, h)));
    rect.x = left;
    rect.y = top;
    rect.width = std::max(right - left, 0);
    rect.height = std::max(bottom - top, 0);
    return rect;
}

} // namespace velmora::scene

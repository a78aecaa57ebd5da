#pragma once
// Rectangle given by two corners (x1, y1) and (x2, y2), four floats. The
// corners may come in any order; width, height and the point test use the
// ordered extent. Screen rectangles have their origin at the bottom-left.

#include <cmath>

namespace velmora {

class cRect {
public:
    float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;

    constexpr cRect() = default;
    constexpr cRect(float left, float bottom, float right, float top) : x1(left), y1(bottom), x2(right), y2(top) {}
    // The rectangle at (x, y) of the given size.
    static constexpr cRect FromSize(float x, float y, float width, float height) {
        return cRect(x, y, x + width, y + height);
    }

    // |x2 - x1| and |y2 - y1|.
    float GetWidth() const { return std::fabs(x2 - x1); }
    float GetHeight() const { return std::fabs(y2 - y1); }
    constexpr float GetMinX() const { return x1 < x2 ? x1 : x2; }
    constexpr float GetMaxX() const { return x1 < x2 ? x2 : x1; }
    constexpr float GetMinY() const { return y1 < y2 ? y1 : y2; }
    constexpr float GetMaxY() const { return y1 < y2 ? y2 : y1; }
    // The same rectangle with x1 <= x2 and y1 <= y2.
    constexpr cRect Normalized() const { return cRect(GetMinX(), GetMinY(), GetMaxX(), GetMaxY()); }

    // Inclusive: a point on an edge is inside.
    constexpr bool Contains(float x, float y) const {
        return x >= GetMinX() && x <= GetMaxX() && y >= GetMinY() && y <= GetMaxY();
    }
    // The rectangles overlap or touch.
    constexpr bool Intersects(const cRect& o) const {
        return GetMinX() <= o.GetMaxX() && o.GetMinX() <= GetMaxX() && GetMinY() <= o.GetMaxY() &&
               o.GetMinY() <= GetMaxY();
    }

    constexpr bool operator==(const cRect& o) const { return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2; }
    constexpr bool operator!=(const cRect& o) const { return !(*this == o); }
};

} // namespace velmora

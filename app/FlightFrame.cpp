#include "app/FlightFrame.h"

#include <cmath>
#include <cstdio>

namespace brevonne {

float GetFade(float t) {
    const float fade = (t - kFadeStart) / (1.0f - kFadeStart);
    return fade < 0.0f ? 0.0f : fade;
}

std::uint8_t GetFadeAlpha(float fade) {
    if (!(fade > 0.0f)) return 0;
    const float value = fade * 255.0f;
    return value >= 255.0f ? 255 : static_cast<std::uint8_t>(value);
}

bool HasMouseMoved(float& firstX, float& firstY, float x, float y) {
    if (firstX == -1.0f && firstY == -1.0f) {
        firstX = x;
        firstY = y;
        return false;
    }
    return std::fabs(x - firstX) >= kMouseMoveLimit || std::fabs(y - firstY) >= kMouseMoveLimit;
}

std::string FormatClock(int hour, int minute, int second) {
    char text[64];
    std::snprintf(text, sizeof(text), "%s%d : %s%d : %s%d", hour < 10 ? "0" : "", hour, minute < 10 ? "0" : "", minute,
                  second < 10 ? "0" : "", second);
    return text;
}

velmora::cMatrix MakeFlightProjection(float aspect) {
    const double fov = 90.0, zNear = 0.05, zFar = 500.0;
    const double a = fov * 0.5 / 180.0 * 3.141592653589793;
    const float f = static_cast<float>(std::cos(a) / std::sin(a));
    velmora::cMatrix m;
    for (float& e : m.m) e = 0.0f;
    m.m[0] = f / aspect;
    m.m[5] = f;
    m.m[10] = static_cast<float>(-(zFar + zNear) / (zFar - zNear));
    m.m[11] = -1.0f;
    m.m[14] = static_cast<float>(-2.0 * zFar * zNear / (zFar - zNear));
    return m;
}

} // namespace brevonne

#pragma once
// The small rules of one flight frame: the fade at the end of a path, the
// mouse movement that ends the run, the clock text and the projection.

#include <cstdint>
#include <string>

#include "engine/core/cMatrix.h"

namespace brevonne {

// Where the fade to black begins: the last 2.5 % of every path.
constexpr float kFadeStart = 0.975f;
// A move of this many pixels along x or y from the first position seen ends the run.
constexpr float kMouseMoveLimit = 5.0f;

// (t - 0.975) / (1 - 0.975), 0 below the fade's start.
float GetFade(float t);
// The fade as the alpha byte of the black quad: truncated fade x 255, at most 255.
std::uint8_t GetFadeAlpha(float fade);

// Records the first position while it is still (-1, -1) and returns false; afterwards true
// once x or y is kMouseMoveLimit pixels or more away from the recorded one.
bool HasMouseMoved(float& firstX, float& firstY, float x, float y);

// "hh : mm : ss", each number below 10 with a leading "0".
std::string FormatClock(int hour, int minute, int second);

// The flight's perspective: field of view 90 degrees, near 0.05, far 500.
velmora::cMatrix MakeFlightProjection(float aspect);

} // namespace brevonne

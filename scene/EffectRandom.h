#pragma once
// Random numbers and clocks for the effect entities (particles, rain,
// butterflies, sprites). Random values come from the C library's generator,
// which the engine seeds (IEngine::SeedRandom), so a fixed seed repeats an
// effect exactly. The clocks read the engine and are 0 without one.

namespace velmora::scene {

// Uniform in [0, 1].
float RandomUnit();
// Uniform in [a, b].
float RandomBetween(float a, float b);
// a + b * (2u - 1), u uniform in [0, 1]; exactly a, with nothing drawn, when b is 0.
float RandomSpread(float a, float b);
// first + rand() mod (last - first), in [first, last); first when the two are equal (the engine's rule).
int RandomInt(int first, int last);

// The engine's time in milliseconds.
float EngineTime();
// The engine's last frame duration in seconds.
float EngineFrameTime();

} // namespace velmora::scene

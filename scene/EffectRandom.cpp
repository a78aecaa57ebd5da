#include "scene/EffectRandom.h"

#include <cstdlib>

#include "engine/IEngine.h"
#include "engine/core/EngineGlobals.h"

namespace velmora::scene {

float RandomUnit() {
    // Divided by the generator's own maximum, whatever the C library's range is.
    return static_cast<float>(static_cast<double>(std::rand()) / static_cast<double>(RAND_MAX));
}

float RandomBetween(float a, float b) {
    if (a == b) return a;
    return a + (b - a) * RandomUnit();
}

float RandomSpread(float a, float b) {
    if (b == 0.0f) return a;
    return a + b * (2.0f * RandomUnit() - 1.0f);
}

int RandomInt(int first, int last) {
    if (first == last) return first;
    const long long span = static_cast<long long>(last) - first;
    return static_cast<int>(first + std::rand() % span);
}

float EngineTime() {
    IEngine* engine = GetEngine();
    return engine ? engine->GetTime() : 0.0f;
}

float EngineFrameTime() {
    IEngine* engine = GetEngine();
    return engine ? engine->GetFrameTime() : 0.0f;
}

} // namespace velmora::scene

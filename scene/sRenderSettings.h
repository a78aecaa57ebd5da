#pragma once
// The render settings the scene manager hands to both rendering pipelines.

#include <cstdint>

namespace velmora::scene {

struct sRenderSettings {
    // Added to every terrain chunk's distance level (the sum is clamped to 7).
    std::uint32_t levelBias = 0;
    // The distance the terrain's level selection is scaled by.
    float viewDistance = 250.0f;
    // Radius within which vegetation meshes are drawn; impostors beyond it.
    float vegetationDistance = 25.0f;
};

} // namespace velmora::scene

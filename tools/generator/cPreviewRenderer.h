#pragma once
// A small ray-marching renderer that shows the island roughly as the engine's
// shader pipeline draws it (colour map times light map, water mixing the
// reflected sky with the fogged ground below, exponential-squared fog). It
// paints the loading-screen picture and lets the authors look at camera
// positions without a graphics device.

#include <vector>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cImage.h"
#include "tools/generator/cSky.h"

namespace brevonne {

// A plant seen from afar: a coloured sphere (crowns, bushes) or a thin vertical trunk.
struct sProxy {
    sVec3 center;
    float radius;
    sColor color;
};

struct sPreviewScene {
    const cHeightField* field = nullptr;
    const cImage* colorMap = nullptr;
    const cImage* lightMap = nullptr;
    const cSky* sky = nullptr;
    std::vector<sProxy> proxies;
    sColor waterColor;
    float waterDensity = 0.2f;
    sColor fogColor;
    float fogDensity = 0.004f;
};

class cPreviewRenderer {
public:
    explicit cPreviewRenderer(const sPreviewScene& scene);
    // A width x height picture seen from eye towards target with a horizontal field of view in degrees.
    cImage Render(const sVec3& eye, const sVec3& target, int width, int height, float fovDegrees) const;

private:
    sColor Trace(const sVec3& eye, const sVec3& dir) const;
    bool MarchTerrain(const sVec3& o, const sVec3& d, float tMax, float& tHit) const;
    sColor GroundColor(float x, float z) const;
    const sPreviewScene& m_Scene;
    std::vector<std::vector<int>> m_ProxyGrid;
};

} // namespace brevonne

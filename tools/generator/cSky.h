#pragma once
// The sky seen from the island: a gradient from the hazy horizon (exactly the
// scene's fog colour, so sea and sky meet without a seam) to a deep zenith,
// soft cumulus clouds, and the sun with its glow where the sun light points.
// It paints the five faces the sky box draws, a cube map, and serves the
// preview renderer.

#include <cstdint>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cImage.h"
#include "tools/generator/cNoise.h"

namespace brevonne {

class cSky {
public:
    cSky(const sVec3& sunDirection, const sColor& horizon, std::uint32_t seed);

    // Colour seen in direction dir (need not be unit length).
    sColor Color(const sVec3& dir) const;
    // One face of the sky box as the sky entity maps it: 0 left, 1 right, 2 top, 4 front, 5 back.
    cImage PaintBoxFace(int face, int size) const;
    // One face of a cube map in the order +X, -X, +Y, -Y, +Z, -Z (DDS cube face orientation).
    cImage PaintCubeFace(int face, int size) const;
    // The direction the sky box shows at texture coordinate (u, v) of a face.
    static sVec3 BoxDirection(int face, float u, float v);

    const sVec3& GetSun() const { return m_Sun; }
    const sColor& GetHorizon() const { return m_Horizon; }

private:
    float CloudDensity(float x, float z) const;
    sVec3 m_Sun;
    sColor m_Horizon;
    sColor m_Zenith;
    cNoise m_Noise;
};

} // namespace brevonne

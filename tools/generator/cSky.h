#pragma once
// The sky seen from the island: a gradient from the hazy horizon (exactly the
// scene's fog colour, so sea and sky meet without a seam) to a deep zenith,
// and the sun with its glow where the sun light points. It paints the five
// faces the sky box draws, a cube map, and serves the preview renderer.
//
// The soft cumulus clouds are a layer of their own that drifts over the box:
// a tiling picture of the cloud plane (lit colour in RGB, cover in alpha),
// mapped as the engine's cloud layer maps directions onto it. Color() shows
// the clouds too when asked (the previews and the cube map, which do not
// drift).

#include <cstdint>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cImage.h"
#include "tools/generator/cNoise.h"

namespace brevonne {

class cSky {
public:
    cSky(const sVec3& sunDirection, const sColor& horizon, std::uint32_t seed);

    // Colour seen in direction dir (need not be unit length), with or without the clouds.
    sColor Color(const sVec3& dir, bool withClouds = true) const;
    // The tiling cloud layer, size x size: texel (i, j) shows the cloud plane at
    // kCloudTileUnits x ((i, j) + 0.5) / size, RGB the lit cloud, alpha its cover.
    cImage PaintCloudLayer(int size) const;
    // Plane units per repeat of the cloud layer; a direction d sees plane point
    // d.xz x kCloudPlaneScale / (d.y + 0.12).
    static constexpr float kCloudTileUnits = 4.0f;
    static constexpr float kCloudPlaneScale = 1.6f;
    // One face of the sky box as the sky entity maps it: 0 left, 1 right, 2 top, 4 front, 5 back (the clouds
    // left to the cloud layer unless withClouds).
    cImage PaintBoxFace(int face, int size, bool withClouds = false) const;
    // One face of a cube map in the order +X, -X, +Y, -Y, +Z, -Z (DDS cube face orientation).
    cImage PaintCubeFace(int face, int size) const;
    // The direction the sky box shows at texture coordinate (u, v) of a face.
    static sVec3 BoxDirection(int face, float u, float v);

    const sVec3& GetSun() const { return m_Sun; }
    const sColor& GetHorizon() const { return m_Horizon; }

private:
    // Cover at plane point (x, z), repeating every kCloudTileUnits.
    float CloudDensity(float x, float z) const;
    // The lit colour of the cloud at plane point (x, z) with cover dens.
    sColor CloudColor(float x, float z, float dens) const;
    sVec3 m_Sun;
    sColor m_Horizon;
    sColor m_Zenith;
    cNoise m_Noise;
};

} // namespace brevonne

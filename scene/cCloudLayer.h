#pragma once
// Clouds drifting over the sky box: a dome around the camera, inside the box,
// showing a tiling cloud picture (colour in RGB, cover in alpha) as seen on a
// plane high above the sea, blended over the sky. The picture's texture
// coordinates scroll with time at the layer's drift, so the clouds pass
// slowly overhead; towards the horizon they melt into the haze.
//
// The cover is also kept on the CPU (read back from the loaded texture once),
// so that what hides the sun can be looked up for any direction at any time
// (the lens flare dims behind a cloud) at exactly the texel the dome shows.
//
// Without a picture, or without the dome's buffers, the layer draws nothing
// and covers nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/cColor.h"
#include "engine/core/cVector2.h"
#include "engine/core/cVector3.h"

namespace velmora::video {
class IRenderer;
class ITexture2D;
class IVertexBuffer;
class IIndexBuffer;
}

namespace velmora::scene {

class cCloudLayer {
public:
    // The dome: rings of constant elevation from just below the horizon to the zenith, segments around.
    static constexpr int kSegments = 32;
    static constexpr int kRings = 12;
    static constexpr float kRadius = 0.95f;
    // Directions map onto the cloud plane as d.xz / (d.y + kHorizonLift) x kPlaneScale texture repeats; the lift
    // keeps the horizon a few repeats away instead of at infinity.
    static constexpr float kHorizonLift = 0.12f;
    static constexpr float kPlaneScale = 0.4f;

    // renderer: loads the picture, makes the dome and draws (null: a layer that draws nothing).
    explicit cCloudLayer(video::IRenderer* renderer);
    // Releases the picture and the dome's buffers.
    ~cCloudLayer();
    cCloudLayer(const cCloudLayer&) = delete;
    cCloudLayer& operator=(const cCloudLayer&) = delete;

    // Loads the picture through the renderer's texture cache (repeating) and keeps its cover; an empty name
    // (or a picture that does not load) leaves the layer empty.
    void SetTexture(const std::string& fileName);
    // The picture's file name as set (kept when it failed to load, so that writing the scene keeps it).
    std::string GetTextureName() const;
    video::ITexture2D* GetTexture() const { return m_Texture; }
    // How fast the picture moves across the plane, in texels per second along its u and v axes.
    void SetDrift(const cVector2& texelsPerSecond) { m_Drift = texelsPerSecond; }
    const cVector2& GetDrift() const { return m_Drift; }

    // The picture's offset at `seconds`, in texture repeats (each component in 0..1).
    cVector2 GetScroll(float seconds) const;
    // The texture coordinate the layer shows in `direction` (need not be unit length) at `seconds`.
    cVector2 GetTexCoord(const cVector3& direction, float seconds) const;
    // The cover (0..1) between the eye and the sky in `direction` at `seconds`, as the dome draws it: the
    // picture's alpha there times the horizon fade; 0 below the horizon or without a picture.
    float GetCover(const cVector3& direction, float seconds) const;
    // How much of the picture's cover shows at elevation `y` of a unit direction (0 at the horizon, 1 higher up).
    static float HorizonFade(float y);

    // Draws the dome around `center` under the current world transform at `seconds`: blending source alpha /
    // inverse source alpha, no culling, depth writes off; leaves blending off, culling clockwise and depth
    // writes on.
    void Render(const cVector3& center, float seconds);
    // True when there is something to draw.
    bool IsReady() const { return m_Texture && m_VertexBuffer && m_IndexBuffer; }

private:
    struct sVertex {
        float x, y, z;
        float u, v;
        cColor color;
    };
    void BuildDome();
    // Whether any texel in the texture rectangle (u0, v0)-(u1, v1) covers anything (true without the cover).
    bool AnyCover(float u0, float v0, float u1, float v1) const;
    void ReleaseDome();
    float SampleCover(float u, float v) const;

    video::IRenderer* m_Renderer = nullptr;
    video::ITexture2D* m_Texture = nullptr;
    std::string m_Name;
    cVector2 m_Drift;
    // The picture's cover on the CPU: alpha bytes, rows from texture coordinate v = 0 up.
    std::vector<std::uint8_t> m_Cover;
    int m_CoverWidth = 0;
    int m_CoverHeight = 0;
    // The most cover in each of kCoverCells x kCoverCells cells of the picture (grown by a texel for the
    // bilinear lookup): triangles of the dome over clear sky are left out of a frame.
    static constexpr int kCoverCells = 32;
    std::vector<std::uint8_t> m_CellCover;
    // Unit directions of the dome's vertices and their vertices as drawn (texture coordinates rewritten per frame).
    std::vector<cVector3> m_Directions;
    std::vector<sVertex> m_Vertices;
    video::IVertexBuffer* m_VertexBuffer = nullptr;
    video::IIndexBuffer* m_IndexBuffer = nullptr;
    int m_IndexCount = 0;
    // All the dome's triangles, and those drawn this frame.
    std::vector<unsigned short> m_Triangles;
    std::vector<unsigned short> m_FrameIndices;
};

} // namespace velmora::scene

#pragma once
// Surf where the sea meets the land: a band of foam over the cells of the
// terrain near the waterline, built once for a terrain and its sea, drawn
// blended after the water surface.
//
// Each vertex of the band knows the water's depth over the ground there and
// the surf's strength and reach from the surf map (red: strength 0..1, green:
// how deep the foam reaches, x 4 units; one pixel per height sample). Waves
// come in on a period of several seconds: a line of breaking foam runs from
// the reach towards the shore, the swash runs up the beach (higher where the
// surf is stronger) and draws back. Phases follow the position, so
// neighbouring stretches of the coast move together but not in lockstep. The
// foam picture (alpha) breaks the band up; its coordinates move up the beach
// and back with the swash.
//
// The waves are worked out on the CPU per vertex each frame, so both
// pipelines draw the same band with fixed-function blending and fog. Where
// the water is deeper than the reach there is no foam at all.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/cColor.h"

namespace velmora::video {
class IRenderer;
class ITexture2D;
class IVertexBuffer;
class IIndexBuffer;
}

namespace velmora::scene {

class ITerrain;
class IWater;

class cSurf {
public:
    // Seconds from one wave to the next.
    static constexpr float kPeriod = 7.0f;
    // How high above the water (world units) the swash of the strongest surf runs up the beach.
    static constexpr float kMaxRunUp = 0.55f;
    // The band floats this far above the ground and the water, so that the depth test keeps it in front.
    static constexpr float kLift = 0.04f;
    // World units per repeat of the foam picture.
    static constexpr float kFoamTile = 9.0f;
    // Without a surf map: a moderate surf reaching 0.8 units deep.
    static constexpr float kDefaultStrength = 0.5f;
    static constexpr float kDefaultReach = 0.8f;
    // Reach in the map's green channel: 255 = 4 units.
    static constexpr float kReachScale = 4.0f;

    // renderer: loads the foam picture and the surf map, makes the band and draws (null: no surf).
    explicit cSurf(video::IRenderer* renderer);
    ~cSurf();
    cSurf(const cSurf&) = delete;
    cSurf& operator=(const cSurf&) = delete;

    // Makes the band for the terrain and the water unless it was made for them already (the same terrain,
    // level and files); true when there is surf to draw. Without a terrain, a foam picture or any ground near
    // the waterline there is none.
    bool Prepare(ITerrain* terrain, const IWater& water);
    // Draws the band as the waves stand at `seconds`: blending source alpha / inverse source alpha, depth
    // writes off, no culling; leaves blending off, culling clockwise and depth writes on. Fog and the other
    // render states are the caller's.
    void Render(float seconds);
    // Frees the band and the picture (the next Prepare makes them again).
    void Clear();

    // The foam's opacity before the picture, at a point `depth` units under the water (negative: above it, on
    // the beach) with the surf's strength and reach there and the wave phase of the point, at `seconds`.
    // Exactly 0 where the depth is the reach or more.
    static float FoamAlpha(float depth, float strength, float reach, float phase, float seconds);
    // How far up the beach (0..1 of the full run-up) the swash stands for a phase at `seconds`.
    static float Swash(float phase, float seconds);

    int GetVertexCount() const { return static_cast<int>(m_Points.size()); }
    int GetTriangleCount() const { return m_IndexCount / 3; }
    bool IsReady() const { return m_Foam && m_VertexBuffer && m_IndexBuffer && m_IndexCount > 0; }

private:
    struct sPoint {
        float x, y, z;
        float depth, strength, reach, phase;
        // The way up the beach (unit, in the ground plane).
        float upX, upZ;
    };
    struct sVertex {
        float x, y, z;
        float u, v;
        cColor color;
    };
    struct sSurfMap {
        std::vector<std::uint8_t> rgba;
        int width = 0, height = 0;
    };
    void LoadSurfMap(const std::string& fileName, sSurfMap& map) const;
    bool Build(ITerrain* terrain, float level, const sSurfMap& map);

    video::IRenderer* m_Renderer = nullptr;
    video::ITexture2D* m_Foam = nullptr;
    // What the band was made for.
    const ITerrain* m_Terrain = nullptr;
    float m_Level = 0.0f;
    std::string m_FoamName;
    std::string m_MapName;
    bool m_Prepared = false;

    std::vector<sPoint> m_Points;
    std::vector<sVertex> m_Vertices;
    video::IVertexBuffer* m_VertexBuffer = nullptr;
    video::IIndexBuffer* m_IndexBuffer = nullptr;
    int m_IndexCount = 0;
};

} // namespace velmora::scene

#pragma once
// The fixed-function pipeline: the same scene without shaders. The terrain is
// the colour map plus the base layer, times the light map, through the
// texture stages; vegetation is drawn as meshes only (no impostors); the sea
// is one half-transparent textured plane scrolling with the water's speed,
// drawn in tiles around the camera so that the per-vertex fog comes out right.
// Fog stays on after the frame, so the next frame's sky is fogged too.

#include "scene/cCommonRenderingPipeline.h"

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

class IWater;

class cRenderingPipelineFFP : public cCommonRenderingPipeline {
public:
    // Alpha of the water quad's colour.
    static constexpr int kWaterAlpha = 150;
    // The water plane around the point under the camera is cut into this many tiles per side, of this size.
    static constexpr int kWaterGridCells = 16;
    static constexpr float kWaterGridCell = 64.0f;

    cRenderingPipelineFFP(const sSpecialEntities& slots, const sRenderSettings& settings);
    ~cRenderingPipelineFFP() override;
    cRenderingPipelineFFP(const cRenderingPipelineFFP&) = delete;
    cRenderingPipelineFFP& operator=(const cRenderingPipelineFFP&) = delete;

    // Needs nothing loaded: sets the flag and succeeds.
    bool Init() override;
    // Releases the water texture and clears the flag.
    void Shutdown() override;
    void Render(ISceneManager* scene, ICamera* camera) override;
    // Stage 0 the colour map, stage 1 the base layer, stage 2 the light map; the shader is not used.
    void RenderTerrain(ISceneManager* scene, video::IShader* shader, ICamera* camera, float viewDistance) override;
    // The textured water plane (10240 units square at the water level) seen from the camera.
    void RenderWater(ISceneManager* scene, IWater* water, ICamera* camera);

private:
    void RenderVegetation(ISceneManager* scene, ICamera* camera);

    video::ITexture2D* m_WaterTexture = nullptr;
    bool m_TriedWaterTexture = false;
};

} // namespace velmora::scene

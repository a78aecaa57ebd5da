#pragma once
// What both rendering pipelines share: the renderer they draw with, the
// special-entity slots and render settings they read, the frame set-up (sky,
// fog values, the sun as light 0), the placed static meshes, the entity pass
// (butterflies, birds, billboards, lens flares, sounds), the vegetation and static-mesh batch
// lists and the scroll offset of the water.
//
// The sun as light 0: the directional light in the slots when the scene has
// one; otherwise the scene's first lens flare gives the direction towards the
// sun (its stored position is that direction when it is bound to the camera,
// else the sun's position); a scene with neither lights from (1, 1, 1).

#include <memory>

#include "engine/core/cVector3.h"
#include "engine/core/cVector4.h"
#include "scene/IRenderingPipeline.h"
#include "scene/cDrawBatchList.h"
#include "scene/cWind.h"
#include "video/VideoTypes.h"

namespace velmora::video {
class IRenderer;
}

namespace velmora::scene {

class IBirds;
class ISky;
class IWater;
class cSurf;

class cCommonRenderingPipeline : public IRenderingPipeline {
public:
    // The slots and settings are the scene manager's; they must outlive the pipeline.
    cCommonRenderingPipeline(const sSpecialEntities& slots, const sRenderSettings& settings);
    ~cCommonRenderingPipeline() override;

    bool IsInitialized() const override { return m_Initialized; }
    void SetRenderer(video::IRenderer* renderer) override { m_Renderer = renderer; }
    void RenderMesh(IStaticMesh* mesh) override;

    // The renderer set with SetRenderer, else the engine's; null without either.
    video::IRenderer* GetRenderer() const;
    // Light 0 for the frame: see the file comment. Without a camera the fallback light sits at the origin.
    static video::sLight MakeSunLight(const sSpecialEntities& slots, ISceneManager* scene, const ICamera* camera);
    // The fog uniform of the frame: the environment's fog colour (0..1) and density.
    const cVector4& GetFog() const { return m_Fog; }
    // How far the water's texture has scrolled (grows by speed x frame time x 0.01 per water draw).
    float GetScrollOffset() const { return m_ScrollOffset; }
    // The wind that sways the vegetation; its time follows the engine's at every vegetation pass.
    cWind& GetWind() { return m_Wind; }

protected:
    // Milliseconds since the engine started, and the last frame's duration in seconds (0 without an engine).
    virtual float GetTime() const;
    virtual float GetFrameTime() const;

    // The sky centred on the camera (unless `drawSky` is false: the pipeline draws it later), then the frame's
    // fog values and light 0 (lighting on).
    void BeginFrame(ISceneManager* scene, ICamera* camera, bool drawSky = true);
    // Fog density, colour and exponential-squared mode from the frame's fog values.
    void ApplyFog(video::IRenderer* r) const;
    // Light 0 set and enabled, lighting on.
    void ApplySunLight(video::IRenderer* r) const;
    // Placed meshes the camera sees, one batch per part, sorted by texture, drawn with alpha test >= 0.5.
    void RenderStaticMeshes(ISceneManager* scene, ICamera* camera);
    // Every entity in scene order: butterflies, billboards and lens flares drawn, sounds that are not playing
    // started; the rest skipped.
    void RenderEntities(ISceneManager* scene, ICamera* camera);
    // A flock of birds the camera's frustum holds is drawn; one out of view is only moved on.
    void RenderBirds(IBirds& birds, ICamera* camera);
    // The sky's clouds around the camera as they stand now (after the sky box, before the scene covers it),
    // under the current world transform; the blending in force is kept.
    void RenderClouds(ISky* sky, const cVector3& center);
    // The surf band of the water over the scene's terrain (made on first use), fogged like the scene; the
    // blending and fog mode in force are kept. Nothing when the water names no foam.
    void RenderSurf(ISceneManager* scene, IWater* water);
    // Tells each lens flare of the scene how much of the sun the sky's clouds hide from the camera now.
    void ShadeFlaresByClouds(ISceneManager* scene, ICamera* camera);
    // Frees the surf band (on shutdown: the next scene makes its own).
    void ReleaseSurf();
    // Engine time in seconds, the clock of the waves and the clouds.
    float GetSeconds() const { return GetTime() * 0.001f; }
    // Adds speed x frame time x 0.01 to the scroll offset.
    void AdvanceScroll(float speed);
    // The water quad's four corners at the level.
    static void GetWaterQuad(float level, cVector3 corners[4]);

    const sSpecialEntities& m_Slots;
    const sRenderSettings& m_Settings;
    video::IRenderer* m_Renderer = nullptr;
    bool m_Initialized = false;
    cVector4 m_Fog;
    video::sLight m_Sun;
    cDrawBatchList m_VegetationBatches;
    cDrawBatchList m_MeshBatches;
    float m_ScrollOffset = 0.0f;
    std::unique_ptr<cSurf> m_Surf;
    cWind m_Wind;
};

} // namespace velmora::scene

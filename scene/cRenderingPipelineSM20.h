#pragma once
// The shader pipeline: per-pixel terrain layering, vegetation meshes and
// impostors, and a sea with planar reflection, distortion and an underwater
// view (cRenderingPipelineSM20_water.cpp), all fogged towards the scene's fog
// colour.
//
// Frame: sky, fog and sun; placed meshes (fixed function, fogged and lit);
// terrain; vegetation; water (underwater pass into a 512 x 512 target,
// reflection pass into a 1024 x 1024 target, then the surface); rain; the
// entities (billboards, lens flares, sounds).
//
// Init loads the eight shaders and binds their samplers, then makes the two
// render targets. It reports success when every shader loaded; the pipeline
// counts as initialised only when the targets exist as well, so a missing
// target is asked for again on the next frame (the frame still draws, without
// the passes that need it).

#include <cstdint>

#include "engine/core/cPlane.h"
#include "scene/ScreenBounds.h"
#include "scene/camera/cCamera.h"
#include "scene/cCommonRenderingPipeline.h"

namespace velmora::video {
class IShader;
class IRenderTarget;
class ITexture2D;
}

namespace velmora::scene {

class ITerrain;
class IWater;

class cRenderingPipelineSM20 : public cCommonRenderingPipeline {
public:
    // The shaders in the order they are loaded.
    enum eShader : int {
        SHADER_TERRAIN,
        SHADER_WATER,
        SHADER_UNDERWATER_TERRAIN,
        SHADER_UNDERWATER_OBJECT,
        SHADER_IMPOSTORS,
        SHADER_VEGETATION,
        SHADER_RAIN,
        SHADER_SUNLIGHT,
        SHADER_COUNT,
    };
    // The file each shader is loaded from (the renderer picks its own variant).
    static const char* const kShaderFiles[SHADER_COUNT];
    // Programs for a terrain whose detail layers are packed into one texture (ITerrain::GetPackedDetailLayers):
    // the terrain and underwaterTerrain programs with one detail lookup instead of four. Optional: without
    // them, or without packed layers, the terrain is drawn with the programs above.
    enum ePackedShader : int {
        PACKED_TERRAIN,
        PACKED_UNDERWATER_TERRAIN,
        PACKED_COUNT,
    };
    static const char* const kPackedShaderFiles[PACKED_COUNT];
    // The water's targets at level bias 0 (High texture quality).
    static constexpr int kReflectionSize = 1024;
    static constexpr int kUnderwaterSize = 512;
    // The sides of the reflection and the underwater target at level bias `levelBias` (High 1024 and 512,
    // Medium 384 and 256, Low and beyond 256 and 128).
    static int GetReflectionSize(std::uint32_t levelBias);
    static int GetUnderwaterSize(std::uint32_t levelBias);
    // The terrain is drawn into the water's targets with this view distance.
    static constexpr float kWaterPassViewDistance = 250.0f;

    cRenderingPipelineSM20(const sSpecialEntities& slots, const sRenderSettings& settings);
    ~cRenderingPipelineSM20() override;
    cRenderingPipelineSM20(const cRenderingPipelineSM20&) = delete;
    cRenderingPipelineSM20& operator=(const cRenderingPipelineSM20&) = delete;

    bool Init() override;
    // Makes the water's targets (again) when missing or not of the size the render settings ask for;
    // false when one cannot be made.
    bool PrepareWaterTargets();
    void Shutdown() override;
    void Render(ISceneManager* scene, ICamera* camera) override;
    void RenderTerrain(ISceneManager* scene, video::IShader* shader, ICamera* camera, float viewDistance) override;

    // The water draw: underwater pass, reflection pass, surface.
    void RenderWater(IWater* water, ISceneManager* scene, ICamera* camera);
    // Vegetation meshes within the vegetation distance (underwater form while the underwater pass runs),
    // then the impostors beyond it.
    void RenderVegetation(ISceneManager* scene, ICamera* camera);
    // The collected vegetation batches with the vegetation program (lit, fogged, swaying); fixed function
    // without it.
    void RenderVegetationMeshes(const sMeshProgramInputs& inputs);

    video::IShader* GetShader(eShader which) const { return m_Shaders[which]; }
    video::IShader* GetPackedShader(ePackedShader which) const { return m_PackedShaders[which]; }
    video::IRenderTarget* GetReflectionTarget() const { return m_ReflectionTarget; }
    video::IRenderTarget* GetUnderwaterTarget() const { return m_UnderwaterTarget; }
    // TerrainClipFlags of the pass being drawn, and the plane the terrain walk tests nodes against: the water
    // surface facing up (at the level for the reflection, half a unit above it for the underwater pass).
    std::uint16_t GetClipFlags() const { return m_ClipFlags; }
    const cPlane& GetClipPlane() const { return m_ClipPlane; }

private:
    void RenderUnderwater(IWater* water, ISceneManager* scene, ICamera* camera);
    void RenderReflection(IWater* water, ISceneManager* scene, ICamera* camera);
    // The camera mirrored by `mirror` (a world transform), with the frustum of what it sees; null without a
    // camera.
    ICamera* MirrorCamera(ICamera* camera, const cMatrix& mirror);
    void RenderSurface(IWater* water, ICamera* camera);
    // The sky behind what is drawn so far, where nothing covers it (see Render).
    void RenderSkyBehind(ICamera* camera);
    // Finds where the surface lands on the screen (m_WaterBounds); false when it is out of view.
    bool FindWaterBounds(IWater* water);
    // Limits drawing into `target` to the rectangle the surface samples: the surface's screen rectangle
    // grown by the distortion's reach.
    void ScissorToWater(video::IRenderTarget* target);
    // The terrain's layer scales on a shader that layers the terrain.
    void SetLayerScales(video::IShader* shader, ISceneManager* scene) const;
    // The base and the common detail scale on a packed program.
    void SetPackedLayerScales(video::IShader* shader, ITerrain* terrain) const;

    video::IShader* m_Shaders[SHADER_COUNT] = {};
    video::IShader* m_PackedShaders[PACKED_COUNT] = {};
    // The terrain's packed detail layers while a frame is drawn with the packed programs, else null.
    video::ITexture2D* m_PackedLayers = nullptr;
    // The level bias the water's targets were last made for.
    static constexpr std::uint32_t kNoWaterTargets = 0xFFFFFFFFu;
    std::uint32_t m_WaterTargetsBias = kNoWaterTargets;
    video::IRenderTarget* m_ReflectionTarget = nullptr;
    video::IRenderTarget* m_UnderwaterTarget = nullptr;
    video::ITexture2D* m_Distortion = nullptr;
    bool m_TriedDistortion = false;
    std::uint16_t m_ClipFlags = 0;
    cPlane m_ClipPlane;
    // The camera mirrored about the water surface: it sees the unmirrored scene as the camera sees the
    // mirror image, so the reflection pass culls, picks terrain levels and fogs with it.
    cCamera m_MirrorCamera;
    // The surface's rectangle on the screen this frame.
    sScreenBounds m_WaterBounds;
};

} // namespace velmora::scene

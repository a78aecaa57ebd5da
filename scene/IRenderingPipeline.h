#pragma once
// A rendering pipeline turns the scene into one frame: the order of the
// passes, their render states, which shader draws what. The scene manager
// makes two, the shader pipeline (the default) and the fixed-function one,
// hands both its special-entity slots and render settings (read every frame,
// not owned), initialises the selected one on first use and calls it once
// per frame; it shuts both down when the scene is cleared.

#include "scene/sRenderSettings.h"
#include "scene/sEntitySlots.h"

namespace velmora::video {
class IRenderer;
class IShader;
}

namespace velmora::scene {

class ICamera;
class ISceneManager;
class IStaticMesh;

class IRenderingPipeline {
public:
    // Shuts the pipeline down.
    virtual ~IRenderingPipeline() = default;
    // Loads what the pipeline draws with (shaders, render targets); true when it is ready. A pipeline that
    // is not ready stays uninitialised and is asked again next frame.
    virtual bool Init() = 0;
    // Releases what Init loaded and clears the initialised flag.
    virtual void Shutdown() = 0;
    virtual bool IsInitialized() const = 0;
    // Draws one frame of the scene seen by the camera.
    virtual void Render(ISceneManager* scene, ICamera* camera) = 0;
    // Draws every part of the mesh (its texture on stage 0, its buffers, one indexed triangle list) with the
    // current transform.
    virtual void RenderMesh(IStaticMesh* mesh) = 0;
    // Draws the scene's terrain with the shader (null: fixed function) for the camera (null: no frustum
    // test, top level of detail); the view distance scales the level selection.
    virtual void RenderTerrain(ISceneManager* scene, video::IShader* shader, ICamera* camera,
                               float viewDistance) = 0;
    // Draws with this renderer instead of the engine's (null: the engine's again); set before Init.
    virtual void SetRenderer(video::IRenderer*) {}
};

// Which pipeline CreateRenderingPipeline makes.
enum RenderingPipelineKind : int {
    PIPELINE_SHADER_MODEL_20 = 0,
    PIPELINE_FIXED_FUNCTION = 1,
};

// Makes a pipeline reading the slots and settings (they must outlive it); null when that pipeline is not
// available in this build. The one place that names the pipeline classes.
IRenderingPipeline* CreateRenderingPipeline(RenderingPipelineKind kind, const sSpecialEntities& slots,
                                            const sRenderSettings& settings);

} // namespace velmora::scene

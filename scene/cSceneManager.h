#pragma once
// The scene manager (see ISceneManager). The engine holds exactly one.
//
// Device services (renderer, sound engine) are the engine's unless set here;
// tests and tools set their own. The pipelines come from
// CreateRenderingPipeline; while a build has none, Render initialises and
// draws nothing (it still places the sound listener) and says so once in the
// log.

#include <memory>
#include <string>
#include <vector>

#include "scene/IRenderingPipeline.h"
#include "scene/ISceneManager.h"
#include "scene/sRenderSettings.h"
#include "scene/sEntitySlots.h"

namespace velmora::video {
class IRenderer;
}

namespace velmora::sound {
class ISoundEngine;
}

namespace velmora::scene {

class cEnvironment;
class cResourceManager;
class cSerializer;

class cSceneManager : public ISceneManager {
public:
    // Builds the resource manager, then the serializer and the environment with it, then both pipelines with
    // the special-entity slots and the render settings; the shader pipeline is selected.
    cSceneManager();
    // The same with a resource manager of the caller's making (a subclass that makes more kinds, for tests
    // and tools); the scene manager owns it.
    explicit cSceneManager(cResourceManager* resources);
    // Clears the scene, deletes both pipelines, then the members.
    ~cSceneManager() override;
    cSceneManager(const cSceneManager&) = delete;
    cSceneManager& operator=(const cSceneManager&) = delete;

    ISerializer* GetSerializer() override;
    IEnvironment* GetEnvironment() override;
    IResourceManager* GetResourceManager() override;
    bool AddPath(IScenePath* path) override;
    bool AddEntity(IEntity* entity) override;
    sMeshInstance* AddMesh(IStaticMesh* mesh, const cMatrix& transform) override;
    void SetTerrain(ITerrain* terrain) override;
    void SetRenderSettings(const sRenderSettings& settings) override { m_RenderSettings = settings; }
    void UseFixedFunction(bool fixedFunction) override { m_FixedFunction = fixedFunction; }
    const std::vector<IScenePath*>& GetPaths() const override { return m_Paths; }
    const std::vector<IEntity*>& GetEntities() const override { return m_Entities; }
    const std::vector<sMeshInstance*>& GetMeshes() const override { return m_Meshes; }
    ITerrain* GetTerrain() const override { return m_Terrain; }
    const std::vector<std::string>& GetResourceNames() const override { return m_ResourceNames; }
    const sRenderSettings& GetRenderSettings() const override { return m_RenderSettings; }
    void CollectResourceNames() override;
    void LoadScene(const char* folder, bool withSounds, IProgressCallback* progress) override;
    void SaveScene(const char* folder) override;
    void Render(ICamera* camera) override;

    // Releases everything the scene holds (see ISceneManager for the order).
    void Clear();
    // A new resource manager with this scene's services, owned by the caller; null on failure.
    IResourceManager* CreateResourceManager();
    // True while the fixed-function pipeline is selected.
    bool UsesFixedFunction() const { return m_FixedFunction; }
    // The special-entity slots both pipelines read.
    const sSpecialEntities& GetSpecialEntities() const { return m_Slots; }
    // The resource manager as its class (services, cache).
    cResourceManager& GetSceneResources() { return *m_Resources; }

    // Draw with this renderer instead of the engine's (null: the engine's again).
    void SetRenderer(video::IRenderer* renderer);
    // Take sound sources from and place the listener of this sound engine instead of the engine's.
    void SetSoundEngine(sound::ISoundEngine* soundEngine);
    // Replaces (after shutting down and deleting) the pipeline of that kind; the scene manager owns it.
    void SetRenderingPipeline(RenderingPipelineKind kind, IRenderingPipeline* pipeline);
    // The pipeline of that kind, or null when this build has none.
    IRenderingPipeline* GetRenderingPipeline(RenderingPipelineKind kind) const;

private:
    void FillSpecialSlots();
    void TakeSpecialSlot(IEntity* entity);
    sound::ISoundEngine* GetListenerEngine() const;

    std::unique_ptr<cResourceManager> m_Resources;
    std::unique_ptr<cSerializer> m_Serializer;
    std::unique_ptr<cEnvironment> m_Environment;
    ITerrain* m_Terrain = nullptr;
    std::vector<IScenePath*> m_Paths;
    std::vector<IEntity*> m_Entities;
    std::vector<sMeshInstance*> m_Meshes;
    sSpecialEntities m_Slots;
    sRenderSettings m_RenderSettings;
    std::vector<std::string> m_ResourceNames;
    std::unique_ptr<IRenderingPipeline> m_Pipelines[2];
    bool m_FixedFunction = false;
    bool m_ToldNoPipeline = false;
    sound::ISoundEngine* m_SoundEngine = nullptr;
    // The engine's sound engine as found when a scene with sounds was loaded.
    sound::ISoundEngine* m_SceneSoundEngine = nullptr;
};

} // namespace velmora::scene

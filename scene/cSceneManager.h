#pragma once
// The scene manager: owns the scene's entities, paths, terrain, meshes, its
// resource manager and the rendering pipelines.

#include <vector>

#include "scene/sRenderSettings.h"

namespace velmora {
class IProgressCallback;
}

namespace velmora::scene {

class IResourceManager;
class IScenePath;

class cSceneManager {
public:
    cSceneManager();
    ~cSceneManager();
    cSceneManager(const cSceneManager&) = delete;
    cSceneManager& operator=(const cSceneManager&) = delete;

    // Releases everything the scene holds.
    void Clear();
    // Creates a new resource manager owned by the caller; null on failure.
    IResourceManager* CreateResourceManager();

    // Copies level bias, view distance and vegetation distance.
    void SetRenderSettings(const sRenderSettings& settings) { m_RenderSettings = settings; }
    // The render settings both pipelines read.
    const sRenderSettings& GetRenderSettings() const { return m_RenderSettings; }
    // Selects the fixed-function pipeline when true, the shader pipeline when false.
    void UseFixedFunction(bool fixedFunction) { m_FixedFunction = fixedFunction; }
    // True while the fixed-function pipeline is selected.
    bool UsesFixedFunction() const { return m_FixedFunction; }

    // Loads the scene folder (ending in '/'), reporting progress to the callback (may be null).
    // Not built yet: loads nothing.
    void LoadScene(const char* folder, bool withSounds, IProgressCallback* progress);
    // The scene's camera paths in file order (owned by the scene).
    const std::vector<IScenePath*>& GetPaths() const { return m_Paths; }

private:
    sRenderSettings m_RenderSettings;
    bool m_FixedFunction = false;
    std::vector<IScenePath*> m_Paths;
};

} // namespace velmora::scene

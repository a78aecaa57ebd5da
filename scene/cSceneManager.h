#pragma once
// The scene manager: owns the scene's entities, paths, terrain, meshes, its
// resource manager and the rendering pipelines.

#include "scene/sRenderSettings.h"

namespace velmora::scene {

class IResourceManager;

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

private:
    sRenderSettings m_RenderSettings;
    bool m_FixedFunction = false;
};

} // namespace velmora::scene

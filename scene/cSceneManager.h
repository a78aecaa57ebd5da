#pragma once
// The scene manager: owns the scene's entities, paths, terrain, meshes, its
// resource manager and the rendering pipelines.

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
};

} // namespace velmora::scene

#pragma once
// The scene's resource manager (not the renderer's resource cache of the same
// name in velmora::video).
//
// Device services: the renderer that makes mesh buffers and the sound engine
// that makes sound sources are the engine's unless set here (tests and tools
// set their own). In headless mode meshes load without any device resources:
// nodes keep their counts, bounds and texture names but have no buffers or
// textures (tools that inspect or re-save scenes use it).
//
// Kinds whose classes are not built yet (terrain, sprite, particle system,
// billboard set, rain, butterflies, billboard) log a warning naming what is
// missing and return null; each has its own creation function below to be
// filled in. The sky and the lens flare take the renderer set here (or the
// engine's) for their buffers, textures and occlusion query.

#include <map>
#include <string>

#include "scene/IResourceManager.h"

namespace velmora::video {
class IRenderer;
}

namespace velmora::sound {
class ISoundEngine;
}

namespace velmora::scene {

class cStaticMesh;

class cResourceManager : public IResourceManager {
public:
    cResourceManager() = default;
    // Releases the cached meshes.
    ~cResourceManager() override;
    cResourceManager(const cResourceManager&) = delete;
    cResourceManager& operator=(const cResourceManager&) = delete;

    void Release() override;
    IStaticMesh* CreateMesh(const char* fileName, int flags) override;
    ICamera* CreateCamera(double fieldOfView, double aspectRatio, double nearDistance, double farDistance) override;
    ITerrain* CreateTerrain(const float* heights, int size, int colorMapSize, float scale, int chunkSize) override;
    ITerrain* CreateTerrain(const char* fileName, const cVector3& scale, int chunkSize) override;
    ITerrain* CreateTerrain(const char* fileName) override;
    ISky* CreateSkyBox() override;
    ILensFlare* CreateLensFlare() override;
    ISprite* CreateSprite(const char* textureName, float frameWidth, float frameHeight) override;
    IParticleSystem* CreateParticleSystem() override;
    IEntity* CreateAtmosphere() override;
    IBillboardSet* CreateBillboardSet() override;
    IScenePath* CreateScenePath() override;
    IRain* CreateRain(int count, float radius, float halfHeight, float halfWidth) override;
    IWater* CreateWater(const cColor& color, float density, float speed, float level) override;
    IButterflies* CreateButterflies(const cVector3& driftVelocity, float speedVariation) override;
    IBillboard* CreateBillboard() override;
    ISound* CreateSound() override;
    IDirectionalLight* CreateDirectionalLight() override;
    IBirds* CreateBirds() override;

    // Releases every cached mesh and empties the cache (the scene is being unloaded). Meshes still held
    // elsewhere live on outside the cache.
    void Clear();
    // Number of meshes in the cache.
    std::size_t GetCachedMeshCount() const { return m_Meshes.size(); }

    // Uses this renderer instead of the engine's (null: the engine's again).
    void SetRenderer(video::IRenderer* renderer) { m_Renderer = renderer; }
    // Uses this sound engine instead of the engine's (null: the engine's again).
    void SetSoundEngine(sound::ISoundEngine* soundEngine) { m_SoundEngine = soundEngine; }
    // Loads meshes without device resources.
    void SetHeadless(bool headless) { m_Headless = headless; }
    bool IsHeadless() const { return m_Headless; }
    // The renderer meshes are made with: the one set here, else the engine's; null without either.
    video::IRenderer* GetRenderer() const;
    // The sound engine sounds get their sources from: the one set here, else the engine's (which the engine
    // creates on first request); null without either.
    sound::ISoundEngine* GetSoundEngine() const;
    // The same services and mode for another manager.
    void CopyServicesTo(cResourceManager& other) const;

    // Called by a mesh released to zero: drops its cache entry if the entry is that mesh.
    void ForgetMesh(cStaticMesh* mesh);

private:
    std::map<std::string, cStaticMesh*> m_Meshes;
    video::IRenderer* m_Renderer = nullptr;
    sound::ISoundEngine* m_SoundEngine = nullptr;
    bool m_Headless = false;
};

} // namespace velmora::scene

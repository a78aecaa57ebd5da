#include "scene/cResourceManager.h"

#include <new>
#include <utility>
#include <vector>

#include "engine/IEngine.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "scene/cScenePath.h"
#include "scene/cSound.h"
#include "scene/cStaticMesh.h"
#include "scene/camera/cCamera.h"

namespace velmora::scene {

cResourceManager::~cResourceManager() { Clear(); }

void cResourceManager::Release() { delete this; }

video::IRenderer* cResourceManager::GetRenderer() const {
    if (m_Renderer) {
        return m_Renderer;
    }
    IEngine* engine = GetEngine();
    return engine ? engine->GetRenderer() : nullptr;
}

sound::ISoundEngine* cResourceManager::GetSoundEngine() const {
    if (m_SoundEngine) {
        return m_SoundEngine;
    }
    IEngine* engine = GetEngine();
    return engine ? engine->GetSoundEngine() : nullptr;
}

void cResourceManager::CopyServicesTo(cResourceManager& other) const {
    other.m_Renderer = m_Renderer;
    other.m_SoundEngine = m_SoundEngine;
    other.m_Headless = m_Headless;
}

void cResourceManager::Clear() {
    // Released from a copy: a mesh released to zero asks to leave the cache while this runs.
    std::map<std::string, cStaticMesh*> meshes;
    meshes.swap(m_Meshes);
    for (auto& entry : meshes) {
        entry.second->DetachFromCache();
        entry.second->Release();
    }
}

void cResourceManager::ForgetMesh(cStaticMesh* mesh) {
    auto found = m_Meshes.find(mesh->GetFileName());
    if (found != m_Meshes.end() && found->second == mesh) {
        m_Meshes.erase(found);
    }
}

// ---- Meshes, cameras, paths, sounds ---------------------------------------------------------

IStaticMesh* cResourceManager::CreateMesh(const char* fileName, int flags) {
    const std::string name = fileName ? fileName : "";
    LogMessage("Creating mesh( %s )... ", name.c_str());
    auto cached = m_Meshes.find(name);
    if (cached != m_Meshes.end()) {
        cached->second->AddRef();
        LogMessage("succeeded\n");
        return cached->second;
    }
    cStaticMesh* mesh = new (std::nothrow) cStaticMesh(this, GetRenderer());
    if (!mesh) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    if (!mesh->Load(name.c_str(), flags, !m_Headless)) {
        mesh->Release();
        return nullptr;
    }
    try {
        m_Meshes[name] = mesh;
    } catch (const std::bad_alloc&) {
        mesh->DetachFromCache();
        mesh->Release();
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    // One reference for the cache, one for the caller.
    mesh->AddRef();
    LogMessage("succeeded\n");
    return mesh;
}

ICamera* cResourceManager::CreateCamera(double fieldOfView, double aspectRatio, double nearDistance,
                                        double farDistance) {
    LogMessage("Creating camera... ");
    cCamera* camera = new (std::nothrow) cCamera();
    if (!camera) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    camera->SetFieldOfView(fieldOfView);
    camera->SetAspectRatio(aspectRatio);
    camera->SetNearDistance(nearDistance);
    camera->SetFarDistance(farDistance);
    LogMessage("succeeded\n");
    return camera;
}

IScenePath* cResourceManager::CreateScenePath() {
    try {
        return new cScenePath();
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateScenePath : failed to allocate memory\n");
    }
    return nullptr;
}

ISound* cResourceManager::CreateSound() {
    try {
        return new cSound(GetSoundEngine());
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateSound : failed to allocate memory\n");
    }
    return nullptr;
}

IEntity* cResourceManager::CreateAtmosphere() { RaiseError("cResourceManager::CreateAtmosphere : not implemented yet"); }

// ---- Kinds not built yet ---------------------------------------------------------------------
// Each logs what is missing and returns null until its class exists.

ITerrain* cResourceManager::CreateTerrain(const float*, int, int, float, int) {
    LogMessage("Creating terrain... ");
    LogWarning("cResourceManager::CreateTerrain : terrains are not built yet\n");
    return nullptr;
}

ITerrain* cResourceManager::CreateTerrain(const char* fileName, const cVector3&, int) {
    LogMessage("Creating terrain... ");
    LogWarning("cResourceManager::CreateTerrain : terrains are not built yet; '%s' not loaded\n",
               fileName ? fileName : "");
    return nullptr;
}

ITerrain* cResourceManager::CreateTerrain(const char* fileName) {
    LogWarning("cResourceManager::CreateTerrain : terrains are not built yet; '%s' not loaded\n",
               fileName ? fileName : "");
    return nullptr;
}

ISky* cResourceManager::CreateSkyBox() {
    LogMessage("Creating sky box... ");
    LogWarning("cResourceManager::CreateSkyBox : sky boxes are not built yet\n");
    return nullptr;
}

ILensFlare* cResourceManager::CreateLensFlare() {
    LogMessage("Creating lens flares... ");
    LogWarning("cResourceManager::CreateLensFlare : lens flares are not built yet\n");
    return nullptr;
}

ISprite* cResourceManager::CreateSprite(const char* textureName, float, float) {
    LogMessage("Creating sprite( %s )... ", textureName ? textureName : "");
    LogWarning("cResourceManager::CreateSprite : sprites are not built yet\n");
    return nullptr;
}

IParticleSystem* cResourceManager::CreateParticleSystem() {
    LogMessage("Creating particle system... ");
    LogWarning("cResourceManager::CreateParticleSystem : particle systems are not built yet\n");
    return nullptr;
}

IBillboardSet* cResourceManager::CreateBillboardSet() {
    LogWarning("cResourceManager::CreateBillboardSet : billboard sets are not built yet\n");
    return nullptr;
}

IRain* cResourceManager::CreateRain(int, float, float, float) {
    LogWarning("cResourceManager::CreateRain : rain is not built yet\n");
    return nullptr;
}

IWater* cResourceManager::CreateWater(const cColor&, float, float, float) {
    LogWarning("cResourceManager::CreateWater : water is not built yet\n");
    return nullptr;
}

IButterflies* cResourceManager::CreateButterflies(const cVector3&, float) {
    LogWarning("cResourceManager::CreateButterflies : butterflies are not built yet\n");
    return nullptr;
}

IBillboard* cResourceManager::CreateBillboard() {
    LogWarning("cResourceManager::CreateBillboard : billboards are not built yet\n");
    return nullptr;
}

IDirectionalLight* cResourceManager::CreateDirectionalLight() {
    LogWarning("cResourceManager::CreateDirectionalLight : directional lights are not built yet\n");
    return nullptr;
}

} // namespace velmora::scene

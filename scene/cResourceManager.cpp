#include "scene/cResourceManager.h"

#include <new>
#include <utility>
#include <vector>

#include "engine/IEngine.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "scene/cBillboard.h"
#include "scene/cBillboardSet.h"
#include "scene/cBirds.h"
#include "scene/cButterflies.h"
#include "scene/cDirectionalLight.h"
#include "scene/cLensFlare.h"
#include "scene/cParticleSystem.h"
#include "scene/cRain.h"
#include "scene/cScenePath.h"
#include "scene/cSky.h"
#include "scene/cSound.h"
#include "scene/cSprite.h"
#include "scene/cStaticMesh.h"
#include "scene/cTerrain.h"
#include "scene/cWater.h"
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

// ---- Sky, sun and water --------------------------------------------------------------------

ISky* cResourceManager::CreateSkyBox() {
    LogMessage("Creating sky box... ");
    cSky* sky = new (std::nothrow) cSky(GetRenderer());
    if (!sky) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    LogMessage("succeeded\n");
    return sky;
}

ILensFlare* cResourceManager::CreateLensFlare() {
    LogMessage("Creating lens flares... ");
    cLensFlare* flare = new (std::nothrow) cLensFlare(GetRenderer());
    if (!flare) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    LogMessage("succeeded\n");
    return flare;
}

IWater* cResourceManager::CreateWater(const cColor& color, float density, float speed, float level) {
    try {
        return new cWater(this, color, density, speed, level);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateWater : failed to allocate memory\n");
    }
    return nullptr;
}

IDirectionalLight* cResourceManager::CreateDirectionalLight() {
    try {
        return new cDirectionalLight();
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateDirectionalLight : failed to allocate memory\n");
    }
    return nullptr;
}

// ---- Kinds not built yet ---------------------------------------------------------------------
// Each logs what is missing and returns null until its class exists.

ITerrain* cResourceManager::CreateTerrain(const float* heights, int size, int colorMapSize, float scale,
                                          int chunkSize) {
    LogMessage("Creating terrain... ");
    // Headless managers make headless terrains: heights and maps in memory, no device resources.
    cTerrain* terrain = new (std::nothrow) cTerrain(this, m_Headless ? nullptr : GetRenderer());
    if (!terrain) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    try {
        terrain->Create(heights, size, colorMapSize, scale, chunkSize);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        terrain->Release();
        return nullptr;
    } catch (const std::bad_alloc&) {
        LogWarning("failed to allocate memory\n");
        terrain->Release();
        return nullptr;
    }
    LogMessage("succeeded\n");
    return terrain;
}

// Terrains come from ".terrain" files (cSerializer::ReadTerrain); the older file kinds below are not read.

ITerrain* cResourceManager::CreateTerrain(const char* fileName, const cVector3&, int) {
    LogMessage("Creating terrain... ");
    LogWarning("cResourceManager::CreateTerrain : height, colour and layer files are not supported; '%s' not "
               "loaded\n",
               fileName ? fileName : "");
    return nullptr;
}

ITerrain* cResourceManager::CreateTerrain(const char* fileName) {
    LogWarning("cResourceManager::CreateTerrain : world files are not supported; '%s' not loaded\n",
               fileName ? fileName : "");
    return nullptr;
}

ISprite* cResourceManager::CreateSprite(const char* textureName, float frameWidth, float frameHeight) {
    LogMessage("Creating sprite( %s )... ", textureName ? textureName : "");
    cSprite* sprite = new (std::nothrow) cSprite(m_Headless ? nullptr : GetRenderer());
    if (!sprite) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    sprite->Create(textureName, frameWidth, frameHeight);
    LogMessage("succeeded\n");
    return sprite;
}

IParticleSystem* cResourceManager::CreateParticleSystem() {
    LogMessage("Creating particle system... ");
    cParticleSystem* system = new (std::nothrow) cParticleSystem(m_Headless ? nullptr : GetRenderer());
    if (!system) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    LogMessage("succeeded\n");
    return system;
}

IBillboardSet* cResourceManager::CreateBillboardSet() {
    try {
        return new cBillboardSet(m_Headless ? nullptr : GetRenderer());
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateBillboardSet : failed to allocate memory\n");
    }
    return nullptr;
}

IRain* cResourceManager::CreateRain(int count, float radius, float halfHeight, float halfWidth) {
    cRain* rain = nullptr;
    try {
        rain = new cRain(this, m_Headless ? nullptr : GetRenderer());
        rain->Create(count, radius, halfHeight, halfWidth);
        return rain;
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateRain : failed to allocate memory\n");
    }
    if (rain) rain->Release();
    return nullptr;
}

IButterflies* cResourceManager::CreateButterflies(const cVector3& driftVelocity, float speedVariation) {
    cButterflies* butterflies = nullptr;
    try {
        butterflies = new cButterflies(m_Headless ? nullptr : GetRenderer());
        butterflies->Create(driftVelocity, speedVariation);
        return butterflies;
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateButterflies : failed to allocate memory\n");
    }
    if (butterflies) butterflies->Release();
    return nullptr;
}

IBirds* cResourceManager::CreateBirds() {
    cBirds* birds = nullptr;
    try {
        birds = new cBirds(m_Headless ? nullptr : GetRenderer());
        birds->Create();
        return birds;
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateBirds : failed to allocate memory\n");
    }
    if (birds) birds->Release();
    return nullptr;
}

IBillboard* cResourceManager::CreateBillboard() {
    try {
        return new cBillboard(m_Headless ? nullptr : GetRenderer());
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cResourceManager::CreateBillboard : failed to allocate memory\n");
    }
    return nullptr;
}

} // namespace velmora::scene

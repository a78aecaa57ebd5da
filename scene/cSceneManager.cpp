#include "scene/cSceneManager.h"

#include <algorithm>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "scene/IBillboard.h"
#include "scene/IBirds.h"
#include "scene/IButterflies.h"
#include "scene/ILensFlare.h"
#include "scene/IScenePath.h"
#include "scene/ISky.h"
#include "scene/ISound.h"
#include "scene/IStaticMesh.h"
#include "scene/ITerrain.h"
#include "scene/cEnvironment.h"
#include "scene/cResourceManager.h"
#include "scene/cSerializer.h"
#include "scene/sMeshInstance.h"
#include "sound/ISoundEngine.h"
#include "video/ICamera.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

constexpr int kTerrainLayers = 5;

std::string FolderFile(const char* folder, const char* name) { return std::string(folder) + name; }

bool EndsWithSlash(const char* folder) {
    const std::size_t length = folder ? std::char_traits<char>::length(folder) : 0;
    return length > 0 && folder[length - 1] == '/';
}

} // namespace

cSceneManager::cSceneManager() : cSceneManager(new cResourceManager()) {}

cSceneManager::cSceneManager(cResourceManager* resources)
    : m_Resources(resources ? resources : new cResourceManager()),
      m_Serializer(new cSerializer(m_Resources.get())),
      m_Environment(new cEnvironment(m_Resources.get())) {
    m_Pipelines[PIPELINE_SHADER_MODEL_20].reset(
        CreateRenderingPipeline(PIPELINE_SHADER_MODEL_20, m_Slots, m_RenderSettings));
    m_Pipelines[PIPELINE_FIXED_FUNCTION].reset(
        CreateRenderingPipeline(PIPELINE_FIXED_FUNCTION, m_Slots, m_RenderSettings));
}

cSceneManager::~cSceneManager() {
    Clear();
    m_Pipelines[PIPELINE_SHADER_MODEL_20].reset();
    m_Pipelines[PIPELINE_FIXED_FUNCTION].reset();
}

ISerializer* cSceneManager::GetSerializer() { return m_Serializer.get(); }

IEnvironment* cSceneManager::GetEnvironment() { return m_Environment.get(); }

IResourceManager* cSceneManager::GetResourceManager() { return m_Resources.get(); }

void cSceneManager::SetRenderer(video::IRenderer* renderer) {
    m_Resources->SetRenderer(renderer);
    for (auto& pipeline : m_Pipelines) {
        if (pipeline) {
            pipeline->SetRenderer(renderer);
        }
    }
}

void cSceneManager::SetSoundEngine(sound::ISoundEngine* soundEngine) {
    m_SoundEngine = soundEngine;
    m_Resources->SetSoundEngine(soundEngine);
}

void cSceneManager::SetRenderingPipeline(RenderingPipelineKind kind, IRenderingPipeline* pipeline) {
    std::unique_ptr<IRenderingPipeline>& slot = m_Pipelines[kind == PIPELINE_FIXED_FUNCTION ? 1 : 0];
    if (slot && slot.get() != pipeline) {
        slot->Shutdown();
    }
    slot.reset(pipeline);
}

IRenderingPipeline* cSceneManager::GetRenderingPipeline(RenderingPipelineKind kind) const {
    return m_Pipelines[kind == PIPELINE_FIXED_FUNCTION ? 1 : 0].get();
}

IResourceManager* cSceneManager::CreateResourceManager() {
    cResourceManager* manager = new (std::nothrow) cResourceManager();
    if (manager) {
        m_Resources->CopyServicesTo(*manager);
    }
    return manager;
}

// ---- Building the scene ----------------------------------------------------------------------

bool cSceneManager::AddPath(IScenePath* path) {
    if (!path || std::find(m_Paths.begin(), m_Paths.end(), path) != m_Paths.end()) {
        return false;
    }
    m_Paths.push_back(path);
    return true;
}

bool cSceneManager::AddEntity(IEntity* entity) {
    if (!entity || std::find(m_Entities.begin(), m_Entities.end(), entity) != m_Entities.end()) {
        return false;
    }
    m_Entities.push_back(entity);
    TakeSpecialSlot(entity);
    return true;
}

sMeshInstance* cSceneManager::AddMesh(IStaticMesh* mesh, const cMatrix& transform) {
    if (!mesh) {
        return nullptr;
    }
    m_Meshes.reserve(m_Meshes.size() + 1);
    sMeshInstance* record = new sMeshInstance();
    record->mesh = mesh;
    record->transform = transform;
    m_Meshes.push_back(record);
    return record;
}

void cSceneManager::SetTerrain(ITerrain* terrain) {
    if (terrain == m_Terrain) {
        return;
    }
    if (m_Terrain) {
        m_Terrain->Release();
    }
    m_Terrain = terrain;
}

void cSceneManager::TakeSpecialSlot(IEntity* entity) {
    switch (entity->GetType()) {
    case ENTITY_DIRECTIONAL_LIGHT: m_Slots.directionalLight = entity; break;
    case ENTITY_WATER: m_Slots.water = entity; break;
    case ENTITY_RAIN: m_Slots.rain = entity; break;
    case ENTITY_SKY: m_Slots.sky = entity; break;
    default: break;
    }
}

void cSceneManager::FillSpecialSlots() {
    // From the last to the first, so the first of each kind in the list ends up in its slot.
    for (auto it = m_Entities.rbegin(); it != m_Entities.rend(); ++it) {
        TakeSpecialSlot(*it);
    }
}

// ---- Clearing, loading, saving ---------------------------------------------------------------

void cSceneManager::Clear() {
    if (m_Terrain) {
        m_Terrain->Release();
        m_Terrain = nullptr;
    }
    while (!m_Paths.empty()) {
        IScenePath* path = m_Paths.back();
        m_Paths.pop_back();
        path->Release();
    }
    while (!m_Entities.empty()) {
        IEntity* entity = m_Entities.back();
        m_Entities.pop_back();
        entity->Release();
    }
    m_Slots = sSpecialEntities();
    m_Environment->Reset();
    while (!m_Meshes.empty()) {
        sMeshInstance* record = m_Meshes.back();
        m_Meshes.pop_back();
        if (record->mesh) {
            record->mesh->Release();
        }
        delete record;
    }
    for (auto& pipeline : m_Pipelines) {
        if (pipeline) {
            pipeline->Shutdown();
        }
    }
    m_Resources->Clear();
    // The engine may destroy its sound engine once the scene is cleared.
    m_SceneSoundEngine = nullptr;
}

void cSceneManager::LoadScene(const char* folder, bool withSounds, IProgressCallback* progress) {
    if (!EndsWithSlash(folder)) {
        RaiseError("cSceneManager::LoadScene : '%s', missing closing '/'", folder ? folder : "");
    }
    Clear();
    const std::string sceneFile = FolderFile(folder, ".scene");
    try {
        m_Terrain = m_Serializer->ReadTerrain(FolderFile(folder, ".terrain").c_str(), progress);
        m_Serializer->ReadEnvironment(sceneFile.c_str(), m_Environment.get());
        m_Serializer->ReadScenePaths(sceneFile.c_str(), m_Paths);
        m_Serializer->ReadEntities(sceneFile.c_str(), withSounds, m_Entities);
        m_Serializer->ReadSceneMeshes(sceneFile.c_str(), m_Meshes);
    } catch (...) {
        // Nothing half-loaded stays behind.
        Clear();
        throw;
    }
    FillSpecialSlots();
    if (withSounds) {
        m_SceneSoundEngine = m_Resources->GetSoundEngine();
    }
}

void cSceneManager::SaveScene(const char* folder) {
    if (!EndsWithSlash(folder)) {
        RaiseError("cSceneManager::SaveScene : '%s', missing closing '/'", folder ? folder : "");
    }
    if (m_Terrain && !m_Serializer->WriteTerrain(FolderFile(folder, ".terrain").c_str(), m_Terrain)) {
        RaiseError("cSceneManager::SaveScene : failed to write terrain");
    }
    const std::string sceneFile = FolderFile(folder, ".scene");
    IFileSystem* fs = GetProcessFileSystem();
    IFile* file = fs ? fs->OpenFile(sceneFile.c_str(), "wt") : nullptr;
    if (!file) {
        RaiseError("cSceneManager::SaveScene : failed to open file '%s' for writing", sceneFile.c_str());
    }
    bool written = false;
    try {
        written = m_Serializer->WriteEnvironment(file, m_Environment.get()) &&
                  m_Serializer->WritePaths(file, m_Paths) && m_Serializer->WriteEntities(file, m_Entities) &&
                  m_Serializer->WriteSceneMeshes(file, m_Meshes) && file->Flush() == 0;
    } catch (...) {
        file->Release();
        throw;
    }
    file->Release();
    if (!written) {
        RaiseError("cSceneManager::SaveScene : failed to write file '%s'", sceneFile.c_str());
    }
}

// ---- Drawing ---------------------------------------------------------------------------------

sound::ISoundEngine* cSceneManager::GetListenerEngine() const {
    return m_SoundEngine ? m_SoundEngine : m_SceneSoundEngine;
}

void cSceneManager::Render(ICamera* camera) {
    IRenderingPipeline* pipeline =
        m_Pipelines[m_FixedFunction ? PIPELINE_FIXED_FUNCTION : PIPELINE_SHADER_MODEL_20].get();
    if (pipeline && !pipeline->IsInitialized() && !pipeline->Init()) {
        RaiseError("cSceneManager::Render : failed to initialize rendering pipeline");
    }
    sound::ISoundEngine* soundEngine = GetListenerEngine();
    if (soundEngine && camera) {
        soundEngine->SetListenerPosition(camera->GetPosition());
        soundEngine->SetListenerOrientation(camera->GetDirection(), camera->GetUp());
    }
    if (!pipeline) {
        if (!m_ToldNoPipeline) {
            LogWarning("cSceneManager::Render : no rendering pipeline in this build; the scene is not drawn\n");
            m_ToldNoPipeline = true;
        }
        return;
    }
    pipeline->Render(this, camera);
}

// ---- Resource names --------------------------------------------------------------------------

void cSceneManager::CollectResourceNames() {
    std::vector<std::string>& names = m_ResourceNames;
    names.clear();
    auto add = [&names](const std::string& name) {
        if (!name.empty()) {
            names.push_back(name);
        }
    };
    auto addTexture = [&add](const video::ITexture* texture) {
        if (texture) {
            add(texture->GetName());
        }
    };

    if (m_Terrain) {
        for (int layer = 0; layer < kTerrainLayers; ++layer) {
            addTexture(m_Terrain->GetLayerTexture(layer));
        }
    }
    for (const sMeshInstance* record : m_Meshes) {
        if (!record->mesh) {
            continue;
        }
        add(record->mesh->GetFileName());
        for (int i = 0; i < record->mesh->GetNodeCount(); ++i) {
            addTexture(record->mesh->GetNode(i)->GetTexture());
        }
    }
    for (const IEntity* entity : m_Entities) {
        switch (entity->GetType()) {
        case ENTITY_LENS_FLARE:
            if (auto* flare = dynamic_cast<const ILensFlare*>(entity)) {
                for (int i = 0; i < LENS_FLARE_COUNT; ++i) {
                    add(flare->GetFlareTextureName(i));
                }
            }
            break;
        case ENTITY_BILLBOARD:
            if (auto* billboard = dynamic_cast<const IBillboard*>(entity)) {
                add(billboard->GetTextureName());
            }
            break;
        case ENTITY_BUTTERFLIES:
            if (auto* butterflies = dynamic_cast<const IButterflies*>(entity)) {
                add(butterflies->GetTextureName());
            }
            break;
        case ENTITY_BIRDS:
            if (auto* birds = dynamic_cast<const IBirds*>(entity)) {
                add(birds->GetTextureName());
            }
            break;
        case ENTITY_SOUND:
            if (auto* sound = dynamic_cast<const ISound*>(entity)) {
                add(sound->GetSourceName());
            }
            break;
        case ENTITY_SKY:
            if (auto* sky = dynamic_cast<const ISky*>(entity)) {
                for (int face = 0; face < SKY_FACE_COUNT; ++face) {
                    add(sky->GetFaceTextureName(face));
                }
            }
            break;
        default:
            break;
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

} // namespace velmora::scene

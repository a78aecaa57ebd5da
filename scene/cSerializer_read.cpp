// cSerializer: reading the sections of ".scene".

#include <memory>
#include <new>

#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "scene/IBillboard.h"
#include "scene/IBirds.h"
#include "scene/IButterflies.h"
#include "scene/IEnvironment.h"
#include "scene/ILensFlare.h"
#include "scene/IRain.h"
#include "scene/IResourceManager.h"
#include "scene/ISky.h"
#include "scene/ISound.h"
#include "scene/IStaticMesh.h"
#include "scene/IWater.h"
#include "scene/ParseHelpers.h"
#include "scene/cScenePath.h"
#include "scene/cSerializer.h"
#include "scene/sMeshInstance.h"
#include "sound/ISoundSource.h"

namespace velmora::scene {

namespace {

// Objects read so far by one reader; released unless the reader finishes and hands them over.
template <class tObject>
class cPending {
public:
    cPending() = default;
    cPending(const cPending&) = delete;
    cPending& operator=(const cPending&) = delete;
    ~cPending() {
        for (auto it = m_Objects.rbegin(); it != m_Objects.rend(); ++it) {
            (*it)->Release();
        }
    }
    void Add(tObject* object) {
        m_Objects.reserve(m_Objects.size() + 1);
        m_Objects.push_back(object);
    }
    void HandOver(std::vector<tObject*>& list) {
        list.insert(list.end(), m_Objects.begin(), m_Objects.end());
        m_Objects.clear();
    }

private:
    std::vector<tObject*> m_Objects;
};

// The one object being read; released if reading it fails.
template <class tObject>
class cReading {
public:
    explicit cReading(tObject* object) : m_Object(object) {}
    cReading(const cReading&) = delete;
    cReading& operator=(const cReading&) = delete;
    ~cReading() {
        if (m_Object) {
            m_Object->Release();
        }
    }
    tObject* operator->() const { return m_Object; }
    explicit operator bool() const { return m_Object != nullptr; }
    tObject* Get() const { return m_Object; }
    tObject* Take() {
        tObject* object = m_Object;
        m_Object = nullptr;
        return object;
    }

private:
    tObject* m_Object;
};

// A mesh record owns its mesh.
struct sPendingMesh {
    sMeshInstance* record;
    void Release() {
        if (record->mesh) {
            record->mesh->Release();
        }
        delete record;
    }
};

} // namespace

// ---- environment -----------------------------------------------------------------------------

bool cSerializer::ReadEnvironment(IFile* file, IEnvironment* environment) {
    if (!file) {
        RaiseError("cSerializer::ReadEnvironment : NULL pointer to file");
    }
    if (!environment) {
        RaiseError("cSerializer::ReadEnvironment : NULL pointer to environment");
    }
    ReadWithLineNumbers(*this, [&] {
        if (OpenSection(file, "environment", "ReadEnvironment")) {
            ReadEnvironmentBody(environment);
        }
    });
    return true;
}

void cSerializer::ReadEnvironmentBody(IEnvironment* environment) {
    // Read into a copy of the settings; the environment changes only when the whole section was read.
    bool fogEnabled = environment->IsFogEnabled();
    float fogDensity = environment->GetFogDensity();
    cColor fogColor = environment->GetFogColor();
    std::string ambient = environment->GetAmbientSound();
    std::string ignored;

    while (!Accept("}")) {
        RequireMore("environment");
        if (Accept("fog")) {
            fogEnabled = true;
            Expect("{");
            while (!Accept("}")) {
                RequireMore("fog");
                if (Accept("density")) {
                    fogDensity = ReadNumberValue();
                } else if (Accept("color")) {
                    fogColor = ReadColor();
                } else {
                    Error("unknown fog property '%s'", GetToken().text.c_str());
                }
            }
        } else if (Accept("sky")) {
            // The environment keeps no sky (the sky entity does); the faces are read and dropped.
            Expect("{");
            while (!Accept("}")) {
                RequireMore("sky");
                if (Accept("left") || Accept("right") || Accept("front") || Accept("back") || Accept("top")) {
                    ReadString(ignored);
                } else {
                    Error("unknown sky property '%s'", GetToken().text.c_str());
                }
            }
        } else if (Accept("sounds")) {
            Expect("{");
            while (!Accept("}")) {
                RequireMore("sounds");
                if (Accept("ambient")) {
                    ReadString(ambient);
                } else {
                    Error("unexpected token '%s'", GetToken().text.c_str());
                }
            }
        } else if (Accept("water")) {
            // A bare keyword without a block.
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
    }

    environment->SetFogEnabled(fogEnabled);
    environment->SetFogDensity(fogDensity);
    environment->SetFogColor(fogColor);
    environment->SetAmbientSound(ambient);
}

// ---- paths -----------------------------------------------------------------------------------

bool cSerializer::ReadScenePaths(IFile* file, std::vector<IScenePath*>& paths) {
    if (!file) {
        RaiseError("cSerializer::ReadScenePaths : NULL pointer to file");
    }
    ReadWithLineNumbers(*this, [&] {
        if (OpenSection(file, "paths", "ReadScenePaths")) {
            ReadPathsBody(paths);
        }
    });
    return true;
}

void cSerializer::ReadPathsBody(std::vector<IScenePath*>& paths) {
    cPending<IScenePath> read;
    while (!Accept("}")) {
        RequireMore("paths");
        if (!Accept("path")) {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
        std::string name;
        ReadString(name);
        IScenePath* path = new cScenePath();
        read.Add(path);
        path->SetName(name);
        Expect("{");
        while (!Accept("}")) {
            RequireMore("path");
            if (Accept("cameraSpeed")) {
                path->SetCameraSpeed(ReadNumberValue());
            } else if (Accept("camera")) {
                ReadSegments(path);
            } else if (Accept("target")) {
                ReadSegments(path->GetTargetPath());
            } else {
                Error("unexpected token '%s'", GetToken().text.c_str());
            }
        }
    }
    read.HandOver(paths);
}

void cSerializer::ReadSegments(IScenePath* path) {
    Expect("{");
    while (!Accept("}")) {
        RequireMore("segments");
        float v[12];
        v[0] = ReadNumberValue();
        for (int i = 1; i < 12; ++i) {
            Expect(",");
            v[i] = ReadNumberValue();
        }
        // The file order is start, start control, end, end control.
        sPathSegment segment;
        segment.start = cVector3(v[0], v[1], v[2]);
        segment.startControl = cVector3(v[3], v[4], v[5]);
        segment.end = cVector3(v[6], v[7], v[8]);
        segment.endControl = cVector3(v[9], v[10], v[11]);
        path->AddSegment(segment);
    }
}

// ---- entities --------------------------------------------------------------------------------

bool cSerializer::ReadEntities(IFile* file, bool withSounds, std::vector<IEntity*>& entities) {
    if (!file) {
        RaiseError("cSerializer::ReadEntities : NULL pointer to file");
    }
    ReadWithLineNumbers(*this, [&] {
        if (OpenSection(file, "entities", "ReadEntities")) {
            ReadEntitiesBody(withSounds, entities);
        }
    });
    return true;
}

void cSerializer::ReadEntitiesBody(bool withSounds, std::vector<IEntity*>& entities) {
    cPending<IEntity> read;
    while (!Accept("}")) {
        RequireMore("entities");
        IEntity* entity = nullptr;
        if (Accept("water")) {
            entity = ReadWater();
        } else if (Accept("rain")) {
            entity = ReadRain();
        } else if (Accept("billboard")) {
            entity = ReadBillboard();
        } else if (Accept("butterflies")) {
            entity = ReadButterflies();
        } else if (Accept("birds")) {
            entity = ReadBirds();
        } else if (Accept("lensFlare")) {
            entity = ReadLensFlare();
        } else if (Accept("sound")) {
            if (withSounds) {
                entity = ReadSound();
            } else {
                SkipBlock("sound");
            }
        } else if (Accept("sky")) {
            entity = ReadSky();
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
        if (entity) {
            read.Add(entity);
        }
    }
    read.HandOver(entities);
}

IEntity* cSerializer::ReadWater() {
    cReading<IWater> water(m_ResourceManager->CreateWater(cColor(255, 255, 255, 255), 0.0f, 0.0f, 0.0f));
    Expect("{");
    while (!Accept("}")) {
        RequireMore("water");
        if (Accept("position")) {
            const cMatrix m = ReadPosition();
            if (water) water->SetWorldMatrix(m);
        } else if (Accept("color")) {
            const cColor c = ReadColor();
            if (water) water->SetColor(c);
        } else if (Accept("speed")) {
            const float v = ReadNumberValue();
            if (water) water->SetSpeed(v);
        } else if (Accept("density")) {
            const float v = ReadNumberValue();
            if (water) water->SetDensity(v);
        } else if (Accept("level")) {
            const float v = ReadNumberValue();
            if (water) water->SetLevel(v);
        } else if (Accept("foam")) {
            std::string name;
            ReadString(name);
            if (water) water->SetFoamTexture(name);
        } else if (Accept("surf")) {
            std::string name;
            ReadString(name);
            if (water) water->SetSurfMap(name);
        } else {
            Error("unknown water property '%s'", GetToken().text.c_str());
        }
    }
    return water.Take();
}

IEntity* cSerializer::ReadRain() {
    cReading<IRain> rain(m_ResourceManager->CreateRain(1, 32.0f, 2.0f, 10.0f));
    Expect("{");
    while (!Accept("}")) {
        RequireMore("rain");
        if (Accept("texture")) {
            std::string name;
            ReadString(name);
            if (rain) rain->SetTexture(name);
        } else if (Accept("position")) {
            const cMatrix m = ReadPosition();
            if (rain) rain->SetWorldMatrix(m);
        } else if (Accept("billboardSize")) {
            float size[2] = {rain ? rain->GetDropWidth() : 0.0f, rain ? rain->GetDropHeight() : 0.0f};
            ReadVector(size, 2);
            if (rain) rain->SetDropSize(size[0], size[1]);
        } else if (Accept("radius")) {
            const float v = ReadNumberValue();
            if (rain) rain->SetRadius(v);
        } else if (Accept("totalBillboards")) {
            const float v = ReadNumberValue();
            // Truncated toward zero; counts beyond what an int holds are clamped.
            const int count = v >= 2147483520.0f ? 2147483520 : static_cast<int>(v);
            if (rain) rain->SetDropCount(count);
        } else {
            Error("unknown rain property '%s'", GetToken().text.c_str());
        }
    }
    return rain.Take();
}

IEntity* cSerializer::ReadBillboard() {
    cReading<IBillboard> billboard(m_ResourceManager->CreateBillboard());
    Expect("{");
    while (!Accept("}")) {
        RequireMore("billboard");
        if (Accept("position")) {
            const cMatrix m = ReadPosition();
            if (billboard) billboard->SetWorldMatrix(m);
        } else if (Accept("texture")) {
            std::string name;
            ReadString(name);
            if (billboard) billboard->SetTexture(name);
        } else if (Accept("size")) {
            float size[2] = {billboard ? billboard->GetBillboardWidth() : 0.0f,
                             billboard ? billboard->GetBillboardHeight() : 0.0f};
            ReadVector(size, 2);
            if (billboard) {
                billboard->SetBillboardWidth(size[0]);
                billboard->SetBillboardHeight(size[1]);
            }
        } else {
            Error("unknown billboard property '%s'", GetToken().text.c_str());
        }
    }
    return billboard.Take();
}

IEntity* cSerializer::ReadButterflies() {
    cReading<IButterflies> butterflies(m_ResourceManager->CreateButterflies(cVector3(0.0f, 0.0f, 0.0f), 1.0f));
    Expect("{");
    while (!Accept("}")) {
        RequireMore("butterflies");
        if (Accept("position")) {
            const cMatrix m = ReadPosition();
            if (butterflies) butterflies->SetWorldMatrix(m);
        } else if (Accept("texture")) {
            std::string name;
            ReadString(name);
            if (butterflies) butterflies->SetTexture(name);
        } else if (Accept("velocity")) {
            const cVector3 v = ReadVector3();
            if (butterflies) butterflies->SetDriftVelocity(v);
        } else if (Accept("speedVariation")) {
            const float v = ReadNumberValue();
            if (butterflies) butterflies->SetSpeedVariation(v);
        } else if (Accept("changeThreshold")) {
            const float v = ReadNumberValue();
            // Any threshold of 99 or more never changes course, any below 0 always does.
            const int threshold = !(v > -1000.0f) ? -1000 : (v > 1000.0f ? 1000 : static_cast<int>(v));
            if (butterflies) butterflies->SetChangeThreshold(threshold);
        } else if (Accept("flapSpeed")) {
            const float v = ReadNumberValue();
            if (butterflies) butterflies->SetFlapSpeed(v);
        } else if (Accept("areaSize")) {
            const float v = ReadNumberValue();
            if (butterflies) butterflies->SetAreaHalfSize(v);
        } else {
            Error("unknown butterflies property '%s'", GetToken().text.c_str());
        }
    }
    return butterflies.Take();
}

IEntity* cSerializer::ReadBirds() {
    cReading<IBirds> birds(m_ResourceManager->CreateBirds());
    Expect("{");
    while (!Accept("}")) {
        RequireMore("birds");
        if (Accept("position")) {
            const cMatrix m = ReadPosition();
            if (birds) birds->SetWorldMatrix(m);
        } else if (Accept("texture")) {
            std::string name;
            ReadString(name);
            if (birds) birds->SetTexture(name);
        } else if (Accept("count")) {
            const float v = ReadNumberValue();
            // The flock keeps its count in range; a huge or broken number must not overflow on the way.
            const int count = !(v > -1000.0f) ? -1000 : (v > 1000.0f ? 1000 : static_cast<int>(v));
            if (birds) birds->SetCount(count);
        } else if (Accept("radius")) {
            const float v = ReadNumberValue();
            if (birds) birds->SetRadius(v);
        } else if (Accept("speed")) {
            const float v = ReadNumberValue();
            if (birds) birds->SetSpeed(v);
        } else if (Accept("wingSpan")) {
            const float v = ReadNumberValue();
            if (birds) birds->SetWingSpan(v);
        } else if (Accept("flapSpeed")) {
            const float v = ReadNumberValue();
            if (birds) birds->SetFlapSpeed(v);
        } else {
            Error("unknown birds property '%s'", GetToken().text.c_str());
        }
    }
    return birds.Take();
}

IEntity* cSerializer::ReadLensFlare() {
    cReading<ILensFlare> flare(m_ResourceManager->CreateLensFlare());
    Expect("{");
    while (!Accept("}")) {
        RequireMore("lensFlare");
        if (Accept("position")) {
            const cMatrix m = ReadPosition();
            if (flare) flare->SetWorldMatrix(m);
        } else if (Accept("boundToCamera")) {
            bool bound = false;
            ReadBool(bound);
            if (flare) flare->SetBoundToCamera(bound);
        } else if (Accept("flare")) {
            std::int32_t index = 0;
            ReadInt(index);
            if (index < 0 || index >= LENS_FLARE_COUNT) {
                Error("flare index %d out of range 0..%d", index, LENS_FLARE_COUNT - 1);
            }
            Expect("{");
            while (!Accept("}")) {
                RequireMore("flare");
                if (Accept("texture")) {
                    std::string name;
                    ReadString(name);
                    if (flare) flare->SetFlareTexture(index, name);
                } else if (Accept("size")) {
                    cVector2 size = flare ? flare->GetFlareSize(index) : cVector2();
                    float v[2] = {size.x, size.y};
                    ReadVector(v, 2);
                    if (flare) flare->SetFlareSize(index, v[0], v[1]);
                } else {
                    Error("unknown flare property '%s'", GetToken().text.c_str());
                }
            }
        } else {
            Error("unknown lens flare property '%s'", GetToken().text.c_str());
        }
    }
    return flare.Take();
}

IEntity* cSerializer::ReadSound() {
    cReading<ISound> sound(m_ResourceManager->CreateSound());
    cVector3 position;
    float volume = 0.0f, pitch = 0.0f, rolloff = 0.0f, maxDistance = 0.0f;
    bool looped = false;
    Expect("{");
    while (!Accept("}")) {
        RequireMore("sound");
        if (Accept("source")) {
            std::string name;
            ReadString(name);
            if (sound) sound->SetSource(name);
        } else if (Accept("position")) {
            position = ReadVector3();
        } else if (Accept("volume")) {
            volume = ReadNumberValue();
        } else if (Accept("pitch")) {
            pitch = ReadNumberValue();
        } else if (Accept("rolloff")) {
            rolloff = ReadNumberValue();
        } else if (Accept("maxDistance")) {
            maxDistance = ReadNumberValue();
        } else if (Accept("looped")) {
            ReadBool(looped);
        } else {
            Error("unknown sound property '%s'", GetToken().text.c_str());
        }
    }
    if (sound) {
        sound->SetWorldMatrix(cMatrix::Translation(position));
        if (sound::ISoundSource* source = sound->GetSource()) {
            source->SetVolume(volume);
            source->SetPitch(pitch);
            source->SetRolloff(rolloff);
            source->SetMaxDistance(maxDistance);
            source->SetLooping(looped);
        }
    }
    return sound.Take();
}

IEntity* cSerializer::ReadSky() {
    static const struct {
        const char* keyword;
        int face;
    } kFaces[] = {{"left", SKY_FACE_LEFT},   {"right", SKY_FACE_RIGHT}, {"top", SKY_FACE_TOP},
                  {"bottom", SKY_FACE_BOTTOM}, {"front", SKY_FACE_FRONT}, {"back", SKY_FACE_BACK}};
    cReading<ISky> sky(m_ResourceManager->CreateSkyBox());
    Expect("{");
    while (!Accept("}")) {
        RequireMore("sky");
        if (Accept("position")) {
            const cMatrix m = ReadPosition();
            if (sky) sky->SetWorldMatrix(m);
            continue;
        }
        if (Accept("yOffset")) {
            const float v = ReadNumberValue();
            if (sky) sky->SetYOffset(v);
            continue;
        }
        if (Accept("clouds")) {
            std::string name;
            ReadString(name);
            if (sky) sky->SetCloudTexture(name);
            continue;
        }
        if (Accept("cloudDrift")) {
            float v[2] = {0.0f, 0.0f};
            ReadVector(v, 2);
            if (sky) sky->SetCloudDrift(cVector2(v[0], v[1]));
            continue;
        }
        int face = -1;
        for (const auto& entry : kFaces) {
            if (Accept(entry.keyword)) {
                face = entry.face;
                break;
            }
        }
        if (face < 0) {
            Error("unknown sky property '%s'", GetToken().text.c_str());
        }
        std::string name;
        ReadString(name);
        if (sky) sky->SetFaceTexture(face, name);
    }
    return sky.Take();
}

// ---- meshes ----------------------------------------------------------------------------------

bool cSerializer::ReadSceneMeshes(IFile* file, std::vector<sMeshInstance*>& meshes) {
    if (!file) {
        RaiseError("cSerializer::ReadSceneMeshes : NULL pointer to file");
    }
    ReadWithLineNumbers(*this, [&] {
        if (OpenSection(file, "meshes", "ReadSceneMeshes")) {
            ReadMeshesBody(meshes);
        }
    });
    return true;
}

void cSerializer::ReadMeshesBody(std::vector<sMeshInstance*>& meshes) {
    std::vector<sPendingMesh> read;
    struct sReleaseAll {
        std::vector<sPendingMesh>& records;
        ~sReleaseAll() {
            for (auto it = records.rbegin(); it != records.rend(); ++it) {
                it->Release();
            }
        }
    } releaseOnError{read};

    while (!Accept("}")) {
        RequireMore("meshes");
        if (!Accept("mesh")) {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
        read.reserve(read.size() + 1);
        read.push_back(sPendingMesh{new sMeshInstance()});
        sMeshInstance* record = read.back().record;
        Expect("{");
        while (!Accept("}")) {
            RequireMore("mesh");
            if (Accept("mesh")) {
                std::string name;
                ReadString(name);
                if (record->mesh) {
                    record->mesh->Release();
                }
                record->mesh = m_ResourceManager->CreateMesh(name.c_str(), MESH_SCENE_FLAGS);
            } else if (Accept("transform")) {
                cMatrix m;
                ReadVector(m.m, 16);
                record->transform = m;
            } else {
                Error("unknown mesh propery '%s'", GetToken().text.c_str());
            }
        }
        // A mesh that could not be loaded leaves no record.
        if (!record->mesh) {
            read.back().Release();
            read.pop_back();
        }
    }
    meshes.reserve(meshes.size() + read.size());
    for (const sPendingMesh& pending : read) {
        meshes.push_back(pending.record);
    }
    read.clear();
}

} // namespace velmora::scene

// cSerializer: writing the sections of ".scene" in their fixed layout.

#include <cstdarg>
#include <cstdio>

#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "scene/IBillboard.h"
#include "scene/IBirds.h"
#include "scene/IButterflies.h"
#include "scene/IEnvironment.h"
#include "scene/ILensFlare.h"
#include "scene/IRain.h"
#include "scene/IScenePath.h"
#include "scene/ISky.h"
#include "scene/ISound.h"
#include "scene/IStaticMesh.h"
#include "scene/IWater.h"
#include "scene/cSerializer.h"
#include "scene/sMeshInstance.h"
#include "sound/ISoundSource.h"
#include "engine/core/PrintfFormat.h"

namespace velmora::scene {

namespace {

void Append(std::string& out, const char* format, ...)
#if defined(__GNUC__)
    VELMORA_PRINTF_FORMAT(2, 3)
#endif
    ;

void Append(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(length) + 1);
        std::vsnprintf(&out[at], static_cast<std::size_t>(length) + 1, format, args);
        out.resize(at + static_cast<std::size_t>(length));
    }
    va_end(args);
}

double D(float value) { return static_cast<double>(value); }

// A colour byte as the file's 0..1 value.
double Channel(std::uint8_t value) { return static_cast<double>(static_cast<float>(value) / 255.0f); }

// A string literal as the tokenizer reads it back: backslashes and control characters escaped. A double
// quote cannot be written at all (a string literal ends at the next one).
std::string Quote(const std::string& text, const char* operation) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': RaiseError("cSerializer::%s : '%s' cannot be written, it contains a double quote", operation,
                             text.c_str());
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\v': out += "\\v"; break;
        case '\0': out += "\\0"; break;
        default: out += c; break;
        }
    }
    out += '"';
    return out;
}

void AppendPosition(std::string& out, const cMatrix& m) {
    Append(out, "\t\tposition\t(%2.4f, %2.4f, %2.4f)\n", D(m.m[12]), D(m.m[13]), D(m.m[14]));
}

void AppendSegments(std::string& out, const std::vector<sPathSegment>& segments) {
    for (const sPathSegment& s : segments) {
        Append(out, "\t\t\t%2.4f, %2.4f, %2.4f, %2.4f, %2.4f, %2.4f, ", D(s.start.x), D(s.start.y), D(s.start.z),
               D(s.startControl.x), D(s.startControl.y), D(s.startControl.z));
        Append(out, "%2.4f, %2.4f, %2.4f, %2.4f, %2.4f, %2.4f\n", D(s.end.x), D(s.end.y), D(s.end.z),
               D(s.endControl.x), D(s.endControl.y), D(s.endControl.z));
    }
}

// Writes the whole text; false when the file took less.
bool WriteText(IFile* file, const std::string& text) {
    if (text.empty()) {
        return true;
    }
    return file->Write(text.data(), 1, static_cast<std::int32_t>(text.size())) ==
           static_cast<std::int32_t>(text.size());
}

void AppendWater(std::string& out, const IWater& water) {
    out += "\twater {\n";
    AppendPosition(out, water.GetWorldMatrix());
    const cColor& c = water.GetColor();
    Append(out, "\t\tcolor\t(%2.4f, %2.4f, %2.4f)\n", Channel(c.r), Channel(c.g), Channel(c.b));
    Append(out, "\t\tdensity\t%2.4f\n", D(water.GetDensity()));
    Append(out, "\t\tlevel\t%2.4f\n", D(water.GetLevel()));
    Append(out, "\t\tspeed\t%2.4f\n", D(water.GetSpeed()));
    // The surf's files, only when the scene has surf (older scenes have none and are written as they were).
    if (!water.GetFoamTextureName().empty()) {
        Append(out, "\t\tfoam\t%s\n", Quote(water.GetFoamTextureName(), "WriteEntities").c_str());
    }
    if (!water.GetSurfMapName().empty()) {
        Append(out, "\t\tsurf\t%s\n", Quote(water.GetSurfMapName(), "WriteEntities").c_str());
    }
    out += "\t}\n";
}

void AppendRain(std::string& out, const IRain& rain) {
    out += "\train {\n";
    AppendPosition(out, rain.GetWorldMatrix());
    Append(out, "\t\ttexture\t%s\n", Quote(rain.GetTextureName(), "WriteEntities").c_str());
    Append(out, "\t\tbillboardSize\t(%2.2f, %2.2f)\n", D(rain.GetDropWidth()), D(rain.GetDropHeight()));
    Append(out, "\t\ttotalBillboards\t%2.2f\n", static_cast<double>(rain.GetDropCount()));
    Append(out, "\t\tradius\t%2.2f\n", D(rain.GetRadius()));
    out += "\t}\n";
}

void AppendBillboard(std::string& out, const IBillboard& billboard) {
    out += "\tbillboard {\n";
    AppendPosition(out, billboard.GetWorldMatrix());
    Append(out, "\t\ttexture\t%s\n", Quote(billboard.GetTextureName(), "WriteEntities").c_str());
    Append(out, "\t\tsize\t(%2.2f, %2.2f)\n", D(billboard.GetBillboardWidth()), D(billboard.GetBillboardHeight()));
    out += "\t}\n";
}

void AppendBirds(std::string& out, const IBirds& birds) {
    out += "\tbirds {\n";
    AppendPosition(out, birds.GetWorldMatrix());
    Append(out, "\t\ttexture\t%s\n", Quote(birds.GetTextureName(), "WriteEntities").c_str());
    Append(out, "\t\tcount\t%d\n", birds.GetCount());
    Append(out, "\t\tradius\t%2.4f\n", D(birds.GetRadius()));
    Append(out, "\t\tspeed\t%2.4f\n", D(birds.GetSpeed()));
    Append(out, "\t\twingSpan\t%2.4f\n", D(birds.GetWingSpan()));
    Append(out, "\t\tflapSpeed\t%2.4f\n", D(birds.GetFlapSpeed()));
    out += "\t}\n";
}

void AppendButterflies(std::string& out, const IButterflies& butterflies) {
    out += "\tbutterflies {\n";
    AppendPosition(out, butterflies.GetWorldMatrix());
    Append(out, "\t\ttexture\t%s\n", Quote(butterflies.GetTextureName(), "WriteEntities").c_str());
    const cVector3& drift = butterflies.GetDriftVelocity();
    Append(out, "\t\tvelocity\t(%2.4f, %2.4f, %2.4f)\n", D(drift.x), D(drift.y), D(drift.z));
    Append(out, "\t\tspeedVariation\t%2.4f\n", D(butterflies.GetSpeedVariation()));
    Append(out, "\t\tchangeThreshold\t%d\n", butterflies.GetChangeThreshold());
    Append(out, "\t\tflapSpeed\t%2.4f\n", D(butterflies.GetFlapSpeed()));
    Append(out, "\t\tareaSize\t%2.4f\n", D(butterflies.GetAreaHalfSize()));
    out += "\t}\n";
}

void AppendLensFlare(std::string& out, const ILensFlare& flare) {
    out += "\tlensFlare {\n";
    AppendPosition(out, flare.GetWorldMatrix());
    Append(out, "\t\tboundToCamera\t%s\n", flare.IsBoundToCamera() ? "true" : "false");
    for (int i = 0; i < LENS_FLARE_COUNT; ++i) {
        const std::string texture = flare.GetFlareTextureName(i);
        if (texture.empty()) {
            continue;
        }
        const cVector2 size = flare.GetFlareSize(i);
        Append(out, "\t\tflare %d {\n", i);
        Append(out, "\t\t\ttexture\t%s\n", Quote(texture, "WriteEntities").c_str());
        Append(out, "\t\t\tsize\t(%2.2f, %2.2f)\n", D(size.x), D(size.y));
        out += "\t\t}\n";
    }
    out += "\t}\n";
}

void AppendSound(std::string& out, const ISound& sound) {
    const sound::ISoundSource* source = sound.GetSource();
    if (!source) {
        return;
    }
    out += "\tsound {\n";
    AppendPosition(out, sound.GetWorldMatrix());
    Append(out, "\t\tsource\t%s\n", Quote(sound.GetSourceName(), "WriteEntities").c_str());
    Append(out, "\t\tlooped\t%s\n", source->IsLooping() ? "true" : "false");
    Append(out, "\t\tvolume\t%2.4f\n", D(source->GetVolume()));
    Append(out, "\t\tpitch\t%2.4f\n", D(source->GetPitch()));
    Append(out, "\t\trolloff\t%4.5f\n", D(source->GetRolloff()));
    Append(out, "\t\tmaxDistance\t%4.5f\n", D(source->GetMaxDistance()));
    out += "\t}\n";
}

void AppendSky(std::string& out, const ISky& sky) {
    static const struct {
        const char* keyword;
        int face;
    } kOrder[] = {{"left", SKY_FACE_LEFT},   {"right", SKY_FACE_RIGHT}, {"front", SKY_FACE_FRONT},
                  {"back", SKY_FACE_BACK},   {"top", SKY_FACE_TOP},     {"bottom", SKY_FACE_BOTTOM}};
    out += "\tsky {\n";
    AppendPosition(out, sky.GetWorldMatrix());
    Append(out, "\t\tyOffset\t%2.4f\n", D(sky.GetYOffset()));
    for (const auto& entry : kOrder) {
        const std::string texture = sky.GetFaceTextureName(entry.face);
        if (!texture.empty()) {
            Append(out, "\t\t%s\t%s\n", entry.keyword, Quote(texture, "WriteEntities").c_str());
        }
    }
    // The cloud layer, only when the sky has one.
    const std::string clouds = sky.GetCloudTextureName();
    if (!clouds.empty()) {
        const cVector2 drift = sky.GetCloudDrift();
        Append(out, "\t\tclouds\t%s\n", Quote(clouds, "WriteEntities").c_str());
        Append(out, "\t\tcloudDrift\t(%2.4f, %2.4f)\n", D(drift.x), D(drift.y));
    }
    out += "\t}\n";
}

} // namespace

std::string cSerializer::FormatEnvironment(IEnvironment* environment) {
    std::string out = "environment {\n";
    if (environment->IsFogEnabled()) {
        const cColor& c = environment->GetFogColor();
        out += "\tfog {\n";
        Append(out, "\t\tdensity\t%1.6f\n", D(environment->GetFogDensity()));
        Append(out, "\t\tcolor\t(%2.2f, %2.2f, %2.2f)\n", Channel(c.r), Channel(c.g), Channel(c.b));
        out += "\t}\n\n";
    }
    if (!environment->GetAmbientSound().empty()) {
        out += "\tsounds {\n";
        Append(out, "\t\tambient\t%s\n", Quote(environment->GetAmbientSound(), "WriteEnvironment").c_str());
        out += "\t}\n";
    }
    out += "}\n\n";
    return out;
}

std::string cSerializer::FormatPaths(const std::vector<IScenePath*>& paths) {
    std::string out;
    if (paths.empty()) {
        return out;
    }
    out += "paths {\n";
    for (const IScenePath* path : paths) {
        if (!path) {
            continue;
        }
        Append(out, "\tpath %s {\n", Quote(path->GetName(), "WritePaths").c_str());
        Append(out, "\t\tcameraSpeed\t%2.4f\n", D(path->GetCameraSpeed()));
        out += "\t\tcamera {\n";
        AppendSegments(out, path->GetSegments());
        out += "\t\t}\n";
        out += "\t\ttarget {\n";
        if (const IScenePath* target = path->GetTargetPath()) {
            AppendSegments(out, target->GetSegments());
        }
        out += "\t\t}\n";
        out += "\t}\n";
    }
    out += "}\n\n";
    return out;
}

std::string cSerializer::FormatEntities(const std::vector<IEntity*>& entities) {
    std::string out;
    if (entities.empty()) {
        return out;
    }
    out += "entities {\n";
    for (const IEntity* entity : entities) {
        if (!entity) {
            continue;
        }
        switch (entity->GetType()) {
        case ENTITY_WATER:
            if (auto* water = dynamic_cast<const IWater*>(entity)) AppendWater(out, *water);
            break;
        case ENTITY_RAIN:
            if (auto* rain = dynamic_cast<const IRain*>(entity)) AppendRain(out, *rain);
            break;
        case ENTITY_LENS_FLARE:
            if (auto* flare = dynamic_cast<const ILensFlare*>(entity)) AppendLensFlare(out, *flare);
            break;
        case ENTITY_BILLBOARD:
            if (auto* billboard = dynamic_cast<const IBillboard*>(entity)) AppendBillboard(out, *billboard);
            break;
        case ENTITY_BUTTERFLIES:
            if (auto* butterflies = dynamic_cast<const IButterflies*>(entity)) AppendButterflies(out, *butterflies);
            break;
        case ENTITY_BIRDS:
            if (auto* birds = dynamic_cast<const IBirds*>(entity)) AppendBirds(out, *birds);
            break;
        case ENTITY_SOUND:
            if (auto* sound = dynamic_cast<const ISound*>(entity)) AppendSound(out, *sound);
            break;
        case ENTITY_SKY:
            if (auto* sky = dynamic_cast<const ISky*>(entity)) AppendSky(out, *sky);
            break;
        default:
            break;
        }
    }
    out += "}\n\n";
    return out;
}

std::string cSerializer::FormatSceneMeshes(const std::vector<sMeshInstance*>& meshes) {
    std::string out;
    if (meshes.empty()) {
        return out;
    }
    out += "meshes {\n";
    for (const sMeshInstance* record : meshes) {
        if (!record || !record->mesh) {
            continue;
        }
        out += "\tmesh {\n";
        Append(out, "\t\tmesh\t%s\n", Quote(record->mesh->GetFileName(), "WriteSceneMeshes").c_str());
        out += "\t\ttransform\t (";
        for (int i = 0; i < 16; ++i) {
            Append(out, i == 0 ? "%2.4f" : ", %2.4f", D(record->transform.m[i]));
        }
        out += " )\n";
        out += "\t}\n";
    }
    out += "}\n\n";
    return out;
}

bool cSerializer::WriteEnvironment(IFile* file, IEnvironment* environment) {
    if (!file) {
        RaiseError("cSerializer::WriteEnvironment : NULL pointer to file");
    }
    if (!environment) {
        RaiseError("cSerializer::WriteEnvironment : NULL pointer to environment");
    }
    return WriteText(file, FormatEnvironment(environment));
}

bool cSerializer::WritePaths(IFile* file, const std::vector<IScenePath*>& paths) {
    if (!file) {
        RaiseError("cSerializer::WritePaths : NULL pointer to file");
    }
    return WriteText(file, FormatPaths(paths));
}

bool cSerializer::WriteEntities(IFile* file, const std::vector<IEntity*>& entities) {
    if (!file) {
        RaiseError("cSerializer::WriteEntities : NULL pointer to file");
    }
    return WriteText(file, FormatEntities(entities));
}

bool cSerializer::WriteSceneMeshes(IFile* file, const std::vector<sMeshInstance*>& meshes) {
    if (!file) {
        RaiseError("cSerializer::WriteSceneMeshes : NULL pointer to file");
    }
    return WriteText(file, FormatSceneMeshes(meshes));
}

} // namespace velmora::scene

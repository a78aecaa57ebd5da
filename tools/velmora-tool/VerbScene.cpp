// scene <folder>: loads a scene folder with the engine's reader and prints
// what it holds: environment, camera paths, entities by type, placed meshes.
// scene resave <in-folder> <out-folder>: loads a scene folder and saves it
// with the engine's writer, so that a folder written by other tools can be
// checked against the engine's fixed layout.
//
// Meshes load without a device and entities are kept as the values the file
// stores, so every section survives a resave whatever the engine draws.

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "scene/IEntity.h"
#include "scene/IEnvironment.h"
#include "scene/IScenePath.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/IStaticMesh.h"
#include "scene/cSceneManager.h"
#include "scene/sMeshInstance.h"
#include "tools/velmora-tool/SceneRecords.h"
#include "tools/velmora-tool/ToolOutput.h"
#include "tools/velmora-tool/Verbs.h"

namespace velmora::tool {

namespace {

std::string AsFolder(const char* path) {
    std::string folder = path ? path : "";
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

const char* EntityName(int type) {
    switch (type) {
    case scene::ENTITY_WATER: return "water";
    case scene::ENTITY_RAIN: return "rain";
    case scene::ENTITY_LENS_FLARE: return "lens flare";
    case scene::ENTITY_BUTTERFLIES: return "butterflies";
    case scene::ENTITY_BILLBOARD: return "billboard";
    case scene::ENTITY_SOUND: return "sound";
    case scene::ENTITY_SKY: return "sky";
    case scene::ENTITY_DIRECTIONAL_LIGHT: return "directional light";
    case scene::ENTITY_BIRDS: return "birds";
    default: return "other";
    }
}

void PrintSummary(std::FILE* out, const std::string& folder, scene::cSceneManager& scene) {
    std::fprintf(out, "scene %s\n", folder.c_str());
    const bool terrainFile = std::filesystem::exists(folder + ".terrain");
    if (scene::ITerrain* terrain = scene.GetTerrain()) {
        std::fprintf(out, "terrain %d x %d, %d vegetation instances\n", terrain->GetSize(), terrain->GetSize(),
                     terrain->GetVegetation()->GetInstanceCount());
    } else {
        std::fprintf(out, "terrain %s\n", terrainFile ? "not read (see the message above)" : "none");
    }

    const scene::IEnvironment* environment = scene.GetEnvironment();
    if (environment->IsFogEnabled()) {
        const cColor& c = environment->GetFogColor();
        std::fprintf(out, "fog density %g, colour %d %d %d\n", static_cast<double>(environment->GetFogDensity()),
                     c.r, c.g, c.b);
    } else {
        std::fprintf(out, "fog off\n");
    }
    const std::string& ambient = environment->GetAmbientSound();
    std::fprintf(out, "ambient sound %s\n", ambient.empty() ? "none" : ambient.c_str());

    std::fprintf(out, "paths %zu\n", scene.GetPaths().size());
    for (const scene::IScenePath* path : scene.GetPaths()) {
        std::fprintf(out, "  \"%s\": %zu camera segments, %zu target segments, speed %g\n", path->GetName().c_str(),
                     path->GetSegments().size(), path->GetTargetPath()->GetSegments().size(),
                     static_cast<double>(path->GetCameraSpeed()));
    }

    std::map<int, int> byType;
    for (const scene::IEntity* entity : scene.GetEntities()) {
        ++byType[entity->GetType()];
    }
    std::fprintf(out, "entities %zu\n", scene.GetEntities().size());
    for (const auto& entry : byType) {
        std::fprintf(out, "  %s %d\n", EntityName(entry.first), entry.second);
    }

    std::set<std::string> files;
    for (const scene::sMeshInstance* record : scene.GetMeshes()) {
        files.insert(record->mesh->GetFileName());
    }
    std::fprintf(out, "meshes %zu placed, %zu files\n", scene.GetMeshes().size(), files.size());
    for (const std::string& file : files) {
        std::fprintf(out, "  %s\n", file.c_str());
    }
}

} // namespace

int RunScene(int argc, char** argv) {
    const bool resave = argc == 3 && std::string(argv[0]) == "resave";
    if (!(argc == 1 && std::string(argv[0]) != "resave") && !resave) {
        return PrintVerbUsage(*FindVerb("scene"));
    }
    std::FILE* out = TakeStandardOutput();
    if (!out) {
        std::perror("velmora-tool scene");
        return 1;
    }
    const std::string in = AsFolder(resave ? argv[1] : argv[0]);
    // Paths are taken as given (relative to the working folder).
    cPlatformFileSystem fileSystem;
    SetProcessFileSystem(&fileSystem);
    int status = 0;
    try {
        scene::cSceneManager scene(new cRecordFactory());
        if (!std::filesystem::exists(in + ".scene")) {
            std::fprintf(stderr, "velmora-tool scene: there is no '%s.scene'\n", in.c_str());
            status = 1;
        } else {
            scene.LoadScene(in.c_str(), true, nullptr);
            if (!resave) {
                PrintSummary(out, in, scene);
            } else {
                const std::string target = AsFolder(argv[2]);
                std::error_code error;
                std::filesystem::create_directories(target, error);
                scene.SaveScene(target.c_str());
                std::fprintf(out, "wrote %s.scene\n", target.c_str());
                // The terrain went through the engine's reader and writer with the scene.
                if (scene.GetTerrain()) {
                    std::fprintf(out, "wrote %s.terrain\n", target.c_str());
                } else if (std::filesystem::exists(in + ".terrain")) {
                    std::fprintf(stderr, "velmora-tool scene: '%s.terrain' could not be read; it was not copied\n",
                                 in.c_str());
                    status = 1;
                }
            }
            scene.Clear();
        }
    } catch (const cException& e) {
        std::fprintf(stderr, "velmora-tool scene: %s\n", e.GetText());
        status = 1;
    }
    SetProcessFileSystem(nullptr);
    std::fflush(out);
    return status;
}

} // namespace velmora::tool

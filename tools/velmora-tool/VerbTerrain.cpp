// terrain <file.terrain>: reads a terrain file with the engine's reader (no
// device needed; vegetation meshes are looked up relative to the working
// folder) and prints its sizes, chunks, maps, layers and vegetation.

#include <cstdio>
#include <map>
#include <vector>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "scene/ITerrain.h"
#include "scene/ITerrainVegetation.h"
#include "scene/cResourceManager.h"
#include "scene/cSerializer.h"
#include "tools/velmora-tool/ToolOutput.h"
#include "tools/velmora-tool/Verbs.h"
#include "video/ITexture.h"

namespace velmora::tool {

namespace {

void PrintMap(std::FILE* out, const char* name, const video::ITexture2D* map) {
    if (map) {
        std::fprintf(out, "%s %u x %u\n", name, map->GetImageWidth(), map->GetImageHeight());
    } else {
        std::fprintf(out, "%s none\n", name);
    }
}

void CountInstances(const scene::ITerrainVegetation* node, std::map<const scene::sVegetationKind*, int>& counts) {
    for (int child = 0; child < 8; ++child) {
        if (const scene::ITerrainVegetation* next = node->GetChild(child)) {
            CountInstances(next, counts);
        }
    }
    for (const scene::sVegetationInstance* instance : node->GetInstances()) {
        ++counts[instance->kind];
    }
}

void PrintTerrain(std::FILE* out, const char* file, scene::ITerrain* terrain) {
    const int size = terrain->GetSize();
    const std::vector<float> heights = terrain->GetHeightmap();
    float low = 0.0f, high = 0.0f;
    for (std::size_t k = 0; k < heights.size(); ++k) {
        low = k == 0 || heights[k] < low ? heights[k] : low;
        high = k == 0 || heights[k] > high ? heights[k] : high;
    }
    const int chunkSize = terrain->GetChunkSize();
    std::fprintf(out, "terrain %s\n", file);
    std::fprintf(out, "heightmap %d x %d, heights %g to %g\n", size, size, static_cast<double>(low),
                 static_cast<double>(high));
    std::fprintf(out, "chunks %d x %d of %d quads\n", size / chunkSize, size / chunkSize, chunkSize);
    PrintMap(out, "colour map", terrain->GetColorMap());
    PrintMap(out, "layer map", terrain->GetLayerMap());
    PrintMap(out, "light map", terrain->GetLightMap());
    std::fprintf(out, "layers %d\n", scene::TERRAIN_LAYER_COUNT);
    for (int layer = 0; layer < scene::TERRAIN_LAYER_COUNT; ++layer) {
        const std::string name = terrain->GetLayerTextureName(layer);
        const cVector2 scale = terrain->GetLayerScale(layer);
        std::fprintf(out, "  %d: %s, scale %g x %g\n", layer, name.empty() ? "none" : name.c_str(),
                     static_cast<double>(scale.x), static_cast<double>(scale.y));
    }
    const scene::ITerrainVegetation* vegetation = terrain->GetVegetation();
    std::map<const scene::sVegetationKind*, int> counts;
    CountInstances(vegetation, counts);
    std::fprintf(out, "vegetation kinds %zu\n", vegetation->GetKinds().size());
    for (const scene::sVegetationKind* kind : vegetation->GetKinds()) {
        const auto found = counts.find(kind);
        std::fprintf(out, "  %s: %d instances\n", kind->meshFileName.c_str(), found == counts.end() ? 0 : found->second);
    }
    std::fprintf(out, "vegetation instances %d\n", vegetation->GetInstanceCount());
}

} // namespace

int RunTerrain(int argc, char** argv) {
    if (argc != 1) {
        return PrintVerbUsage(*FindVerb("terrain"));
    }
    std::FILE* out = TakeStandardOutput();
    if (!out) {
        std::perror("velmora-tool terrain");
        return 1;
    }
    // Paths are taken as given (relative to the working folder).
    cPlatformFileSystem fileSystem;
    SetProcessFileSystem(&fileSystem);
    int status = 0;
    try {
        scene::cResourceManager resources;
        resources.SetHeadless(true);
        scene::cSerializer serializer(&resources);
        scene::ITerrain* terrain = serializer.ReadTerrain(argv[0], nullptr);
        if (!terrain) {
            std::fprintf(stderr, "velmora-tool terrain: '%s' could not be read (see the message above)\n", argv[0]);
            status = 1;
        } else {
            PrintTerrain(out, argv[0], terrain);
            terrain->Release();
        }
    } catch (const cException& e) {
        std::fprintf(stderr, "velmora-tool terrain: %s\n", e.GetText());
        status = 1;
    }
    SetProcessFileSystem(nullptr);
    std::fflush(out);
    return status;
}

} // namespace velmora::tool

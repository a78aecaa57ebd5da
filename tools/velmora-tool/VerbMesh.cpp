// mesh <file.mesh>: loads a static mesh with the engine's reader (no device
// needed) and prints its parts with their vertex and triangle counts, bounds
// and textures, then the totals.

#include <cstdio>
#include <set>
#include <string>

#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "scene/IStaticMesh.h"
#include "scene/cResourceManager.h"
#include "tools/velmora-tool/ToolOutput.h"
#include "tools/velmora-tool/Verbs.h"

namespace velmora::tool {

namespace {

void PrintBox(std::FILE* out, const cBox& box) {
    std::fprintf(out, "(%g, %g, %g) - (%g, %g, %g)", static_cast<double>(box.min.x), static_cast<double>(box.min.y),
                 static_cast<double>(box.min.z), static_cast<double>(box.max.x), static_cast<double>(box.max.y),
                 static_cast<double>(box.max.z));
}

} // namespace

int RunMesh(int argc, char** argv) {
    if (argc != 1) {
        return PrintVerbUsage(*FindVerb("mesh"));
    }
    std::FILE* out = TakeStandardOutput();
    if (!out) {
        std::perror("velmora-tool mesh");
        return 1;
    }
    // Paths are taken as given (relative to the working folder).
    cPlatformFileSystem fileSystem;
    SetProcessFileSystem(&fileSystem);
    int status = 0;
    {
        scene::cResourceManager resources;
        resources.SetHeadless(true);
        scene::IStaticMesh* mesh = resources.CreateMesh(argv[0], scene::MESH_SCENE_FLAGS);
        if (!mesh) {
            std::fprintf(stderr, "velmora-tool mesh: '%s' could not be loaded (see the message above)\n", argv[0]);
            status = 1;
        } else {
            long vertices = 0, triangles = 0;
            std::set<std::string> textures;
            std::fprintf(out, "mesh %s\n", argv[0]);
            std::fprintf(out, "parts %d\n", mesh->GetNodeCount());
            for (int i = 0; i < mesh->GetNodeCount(); ++i) {
                const scene::IMeshNode* node = mesh->GetNode(i);
                const std::string& texture = node->GetTextureName();
                std::fprintf(out, "  \"%s\": %d vertices, %d triangles, bounds ", node->GetName().c_str(),
                             node->GetVertexCount(), node->GetIndexCount() / 3);
                PrintBox(out, node->GetBoundingBox());
                std::fprintf(out, ", texture %s\n", texture.empty() ? "none" : texture.c_str());
                vertices += node->GetVertexCount();
                triangles += node->GetIndexCount() / 3;
                if (!texture.empty()) {
                    textures.insert(texture);
                }
            }
            std::fprintf(out, "vertices %ld\ntriangles %ld\nbounds ", vertices, triangles);
            PrintBox(out, mesh->GetBoundingBox());
            std::fprintf(out, "\ntextures %zu\n", textures.size());
            for (const std::string& texture : textures) {
                std::fprintf(out, "  %s\n", texture.c_str());
            }
            mesh->Release();
        }
    }
    SetProcessFileSystem(nullptr);
    std::fflush(out);
    return status;
}

} // namespace velmora::tool

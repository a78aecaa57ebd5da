// ".mesh" files: parsed and built into nodes with buffers on the null renderer, and headless as the tools
// load them.
#include "fuzz/FuzzSupport.h"
#include "scene/IStaticMesh.h"
#include "scene/cStaticMesh.h"
#include "scene/support/cNullRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    static scene::test::cNullRenderer renderer;
    fuzz::Folder().Write("in.mesh", data, size);
    for (const bool upload : {true, false}) {
        scene::cStaticMesh* mesh = new scene::cStaticMesh(nullptr, &renderer);
        mesh->Load("in.mesh", scene::MESH_SCENE_FLAGS, upload);  // false and a warning on bad input, never a throw
        mesh->Release();
    }
    return 0;
}

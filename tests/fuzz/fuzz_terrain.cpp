// ".terrain" files through the serializer, with the terrain and its vegetation built on the null renderer.
#include "engine/core/cException.h"
#include "fuzz/FuzzSupport.h"
#include "scene/ITerrain.h"
#include "scene/cResourceManager.h"
#include "scene/cSerializer.h"
#include "scene/support/cNullRenderer.h"

namespace {

// The one vegetation mesh the seeds name ("a.mesh", "b.mesh").
const char* kMesh = "node \"n\" { material \"leaf.tga\" vertices 3 { 0 0 0 2 0 0 0 3 0 } faces 1 { 0 1 2 } }\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    static scene::test::cNullRenderer renderer;
    static const bool prepared = [] {
        fuzz::Folder().Write("a.mesh", kMesh);
        fuzz::Folder().Write("b.mesh", kMesh);
        return true;
    }();
    (void)prepared;
    scene::cResourceManager resources;
    resources.SetRenderer(&renderer);
    scene::cSerializer serializer(&resources);
    fuzz::cInputFile file(data, size);
    try {
        scene::ITerrain* terrain = serializer.ReadTerrain(file.Get(), nullptr);
        if (terrain) terrain->Release();
    } catch (const cException&) {
    }
    return 0;
}

// ".scene" files through the scene manager: the real resource manager makes every entity on the null
// renderer, sounds get no source from a silent sound engine, the placed meshes come from a small mesh file.
// After loading, the scene gathers its resource names and draws a frame without pipelines.
#include "engine/core/cException.h"
#include "fuzz/FuzzSupport.h"
#include "scene/camera/cCamera.h"
#include "scene/cResourceManager.h"
#include "scene/cSceneManager.h"
#include "scene/support/cNullRenderer.h"

namespace {

const char* kMesh = "node \"n\" { material \"rock.tga\" vertices 3 { 0 0 0 2 0 0 0 3 0 } faces 1 { 0 1 2 } }\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    static scene::test::cNullRenderer renderer;
    static fuzz::cSilentSoundEngine sound;
    static const bool prepared = [] {
        fuzz::Folder().Write("data/meshes/rock.mesh", kMesh);
        fuzz::Folder().Write("rock.mesh", kMesh);
        return true;
    }();
    (void)prepared;
    fuzz::Folder().Write("data/scene/.scene", data, size);

    scene::cResourceManager* resources = new scene::cResourceManager();
    resources->SetRenderer(&renderer);
    resources->SetSoundEngine(&sound);
    scene::cSceneManager manager(resources);
    manager.SetRenderer(&renderer);
    manager.SetSoundEngine(&sound);
    try {
        manager.LoadScene("data/scene/", true, nullptr);
        manager.CollectResourceNames();
        scene::cCamera camera;
        manager.Render(&camera);
    } catch (const cException&) {
    }
    return 0;
}

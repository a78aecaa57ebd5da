#pragma once
// The scene manager owns one loaded scene: the terrain, the environment, the
// camera paths, the entities and the placed static meshes, together with the
// objects that build and draw them (resource manager, serializer, the two
// rendering pipelines). A scene is a folder ending in '/' holding ".scene"
// and ".terrain"; it is loaded and saved as a unit and drawn once per frame
// through the selected pipeline.
//
// Ownership: paths, entities, mesh records (with one reference to their mesh)
// and the terrain belong to the manager once added, and are released when the
// scene is cleared. Clearing releases, in order: the terrain; the paths, the
// entities (emptying the special-entity slots), the environment's settings
// (Reset) and the mesh records, each list from its last element to its
// first; then it shuts both pipelines down and empties the resource
// manager's mesh cache.

#include <string>
#include <vector>

#include "engine/core/cMatrix.h"
#include "scene/sRenderSettings.h"

namespace velmora {
class IProgressCallback;
}

namespace velmora::scene {

class ICamera;
class IEntity;
class IEnvironment;
class IResourceManager;
class IScenePath;
class ISerializer;
class IStaticMesh;
class ITerrain;
struct sMeshInstance;

class ISceneManager {
public:
    virtual ~ISceneManager() = default;
    virtual ISerializer* GetSerializer() = 0;
    virtual IEnvironment* GetEnvironment() = 0;
    virtual IResourceManager* GetResourceManager() = 0;
    // Appends the path (the scene then owns it); false if it is null or already in the list.
    virtual bool AddPath(IScenePath* path) = 0;
    // Appends the entity (the scene then owns it); false for null or an entity already in the list. A
    // directional light, water, rain or sky also takes its special-entity slot, replacing the previous one.
    virtual bool AddEntity(IEntity* entity) = 0;
    // Appends a record of the mesh (whose reference the scene takes over) and a copy of the transform; returns
    // the record (owned by the scene).
    virtual sMeshInstance* AddMesh(IStaticMesh* mesh, const cMatrix& transform) = 0;
    // Releases the current terrain, if any, and keeps the new one (whose reference the scene takes over).
    virtual void SetTerrain(ITerrain* terrain) = 0;
    // Copies level bias, view distance and vegetation distance.
    virtual void SetRenderSettings(const sRenderSettings& settings) = 0;
    // Selects the fixed-function pipeline when true, the shader pipeline when false.
    virtual void UseFixedFunction(bool fixedFunction) = 0;
    // The camera paths in file order.
    virtual const std::vector<IScenePath*>& GetPaths() const = 0;
    virtual const std::vector<IEntity*>& GetEntities() const = 0;
    virtual const std::vector<sMeshInstance*>& GetMeshes() const = 0;
    // The terrain or null.
    virtual ITerrain* GetTerrain() const = 0;
    // The file names CollectResourceNames gathered, sorted byte-wise without duplicates.
    virtual const std::vector<std::string>& GetResourceNames() const = 0;
    virtual const sRenderSettings& GetRenderSettings() const = 0;
    // Gathers the file names of everything the scene uses: terrain layer textures, each placed mesh's file
    // and node textures, lens flare, billboard and sky textures and sound files.
    virtual void CollectResourceNames() = 0;
    // Clears the scene, then loads the folder (ending in '/'): the terrain from folder + ".terrain" (with
    // progress reports), then environment, paths, entities (sounds only when withSounds) and meshes from
    // folder + ".scene". Missing files are not errors. Throws "cSceneManager::LoadScene : '%s', missing
    // closing '/'" for a folder without the '/', and passes the readers' syntax errors on after clearing
    // the scene again, so a damaged file leaves an empty scene, never a half-loaded one.
    virtual void LoadScene(const char* folder, bool withSounds, IProgressCallback* progress) = 0;
    // Writes the terrain (if any) to folder + ".terrain" and environment, paths, entities and meshes to
    // folder + ".scene". Throws on a folder without the closing '/' and when a file cannot be written.
    virtual void SaveScene(const char* folder) = 0;
    // Places the sound listener at the camera and lets the selected pipeline draw the frame, initialising
    // it first when needed ("cSceneManager::Render : failed to initialize rendering pipeline" when that
    // fails). Without a pipeline in this build nothing is initialised or drawn.
    virtual void Render(ICamera* camera) = 0;
};

} // namespace velmora::scene

#pragma once
// Reads and writes the files of a scene folder: ".scene" (text: environment,
// camera paths, entities, placed meshes) and ".terrain" (binary). Every
// operation comes as a pair: the variant taking a path opens the file and
// calls the variant taking an open file, and returns false (null) when the
// file cannot be opened. Reading paths open by name through the file-system
// search (loose files, then archives); writing paths open disk files with
// mode "wt" (terrain "wb").
//
// Readers taking an open file return true when they finished, also when their
// section is absent, and throw cException "memory( <line> ) error : <message>"
// on a syntax error. A reader that fails adds nothing to its list or
// environment: objects it made are released. Objects are created through the
// scene's resource manager; an object the resource manager cannot make is
// read over and left out (the resource manager logged why).

#include <string>
#include <vector>

namespace velmora {
class IFile;
class IProgressCallback;
}

namespace velmora::scene {

class IEntity;
class IEnvironment;
class IScenePath;
class ITerrain;
struct sMeshInstance;

class ISerializer {
public:
    virtual ~ISerializer() = default;
    // The terrain into a new ".terrain" file.
    virtual bool WriteTerrain(const char* path, ITerrain* terrain) = 0;
    virtual bool WriteTerrain(IFile* file, ITerrain* terrain) = 0;
    // The "environment" section (always written).
    virtual bool WriteEnvironment(const char* path, IEnvironment* environment) = 0;
    virtual bool WriteEnvironment(IFile* file, IEnvironment* environment) = 0;
    // The "paths" section, written only for a non-empty list (the path variant then creates no file).
    virtual bool WritePaths(const char* path, const std::vector<IScenePath*>& paths) = 0;
    virtual bool WritePaths(IFile* file, const std::vector<IScenePath*>& paths) = 0;
    // A terrain read from a ".terrain" file, reporting progress (may be null); null when there is none.
    virtual ITerrain* ReadTerrain(const char* path, IProgressCallback* progress) = 0;
    virtual ITerrain* ReadTerrain(IFile* file, IProgressCallback* progress) = 0;
    // Fog and ambient sound from the "environment" section into the environment.
    virtual bool ReadEnvironment(const char* path, IEnvironment* environment) = 0;
    virtual bool ReadEnvironment(IFile* file, IEnvironment* environment) = 0;
    // The "paths" section's paths, appended to the list (which then owns them).
    virtual bool ReadScenePaths(const char* path, std::vector<IScenePath*>& paths) = 0;
    virtual bool ReadScenePaths(IFile* file, std::vector<IScenePath*>& paths) = 0;
    // The "entities" section, written only for a non-empty list; entities of unwritten types and sounds
    // without a source are left out.
    virtual bool WriteEntities(IFile* file, const std::vector<IEntity*>& entities) = 0;
    virtual bool WriteEntities(const char* path, const std::vector<IEntity*>& entities) = 0;
    // The "meshes" section, written only for a non-empty list; records without a mesh are left out.
    virtual bool WriteSceneMeshes(IFile* file, const std::vector<sMeshInstance*>& meshes) = 0;
    virtual bool WriteSceneMeshes(const char* path, const std::vector<sMeshInstance*>& meshes) = 0;
    // The "entities" section's entities, appended to the list (which then owns them); without sounds the
    // sound blocks are passed over.
    virtual bool ReadEntities(IFile* file, bool withSounds, std::vector<IEntity*>& entities) = 0;
    virtual bool ReadEntities(const char* path, bool withSounds, std::vector<IEntity*>& entities) = 0;
    // The "meshes" section's records, appended to the list (which then owns the records and their
    // meshes); meshes load with MESH_SCENE_FLAGS.
    virtual bool ReadSceneMeshes(IFile* file, std::vector<sMeshInstance*>& meshes) = 0;
    virtual bool ReadSceneMeshes(const char* path, std::vector<sMeshInstance*>& meshes) = 0;
};

} // namespace velmora::scene

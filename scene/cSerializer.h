#pragma once
// The scene folder's reader and writer (see ISerializer), built on the
// engine's parser with the separators "{ } - ( ) ,".
//
// The ".scene" layout: up to four top-level sections, each a keyword and a
// braced block, in any order:
//
//   environment { fog { density f  color (r, g, b) }  sounds { ambient "file" }  sky { ... }  water }
//   paths { path "name" { cameraSpeed f  camera { segments }  target { segments } } ... }
//   entities { water { ... }  rain { ... }  billboard { ... }  butterflies { ... }  birds { ... }
//              lensFlare { ... }  sound { ... }  sky { ... } }
//   meshes { mesh { mesh "file"  transform (16 floats) } ... }
//
// A segment is twelve numbers separated by commas: start, start control, end,
// end control. Colours are 0..1 per channel. Every reader checks the whole
// top level first (only these four sections, balanced braces), so a damaged
// file fails whichever section is asked for. Section keywords are recognised
// only at the top level and never inside string literals. Only the first
// occurrence of a section is read.
//
// The writer's layout is fixed (tabs, blank lines, number formats), so a file
// it wrote reads back into the same objects and writes back byte for byte.

#include <cstdint>
#include <string>

#include "engine/core/cColor.h"
#include "engine/core/cMatrix.h"
#include "engine/core/cVector3.h"
#include "engine/parser/cParser.h"
#include "scene/ISerializer.h"

namespace velmora::scene {

class IResourceManager;

class cSerializer : public ISerializer, public cParser {
public:
    // resourceManager: what every object read is created through (not owned).
    explicit cSerializer(IResourceManager* resourceManager);

    bool WriteTerrain(const char* path, ITerrain* terrain) override;
    bool WriteTerrain(IFile* file, ITerrain* terrain) override;
    bool WriteEnvironment(const char* path, IEnvironment* environment) override;
    bool WriteEnvironment(IFile* file, IEnvironment* environment) override;
    bool WritePaths(const char* path, const std::vector<IScenePath*>& paths) override;
    bool WritePaths(IFile* file, const std::vector<IScenePath*>& paths) override;
    ITerrain* ReadTerrain(const char* path, IProgressCallback* progress) override;
    ITerrain* ReadTerrain(IFile* file, IProgressCallback* progress) override;
    bool ReadEnvironment(const char* path, IEnvironment* environment) override;
    bool ReadEnvironment(IFile* file, IEnvironment* environment) override;
    bool ReadScenePaths(const char* path, std::vector<IScenePath*>& paths) override;
    bool ReadScenePaths(IFile* file, std::vector<IScenePath*>& paths) override;
    bool WriteEntities(IFile* file, const std::vector<IEntity*>& entities) override;
    bool WriteEntities(const char* path, const std::vector<IEntity*>& entities) override;
    bool WriteSceneMeshes(IFile* file, const std::vector<sMeshInstance*>& meshes) override;
    bool WriteSceneMeshes(const char* path, const std::vector<sMeshInstance*>& meshes) override;
    bool ReadEntities(IFile* file, bool withSounds, std::vector<IEntity*>& entities) override;
    bool ReadEntities(const char* path, bool withSounds, std::vector<IEntity*>& entities) override;
    bool ReadSceneMeshes(IFile* file, std::vector<sMeshInstance*>& meshes) override;
    bool ReadSceneMeshes(const char* path, std::vector<sMeshInstance*>& meshes) override;

    // The texts the writers produce (what the file variants write).
    static std::string FormatEnvironment(IEnvironment* environment);
    static std::string FormatPaths(const std::vector<IScenePath*>& paths);
    static std::string FormatEntities(const std::vector<IEntity*>& entities);
    static std::string FormatSceneMeshes(const std::vector<sMeshInstance*>& meshes);

    // A colour channel of the file (0..1) as a byte: clamped to 0..1, then 255 v truncated, allowing for the
    // four decimals the writer prints so that what it wrote reads back to the same byte.
    static std::uint8_t ColorByte(float value);

private:
    // Reads the file into the parser, checks the top level and moves to the first entry of the section
    // (after its "{"). False when the file has no such section.
    bool OpenSection(IFile* file, const char* keyword, const char* operation);
    void CheckTopLevel();
    // Skips the braced block starting at the current "{" and the "}" that closes it.
    void SkipBlock(const char* what);
    // Errors "unexpected end of file; '}' expected ..." when the input has ended inside a block.
    void RequireMore(const char* block);

    // Value notations.
    float ReadNumberValue();
    cVector3 ReadVector3();
    cColor ReadColor();
    cMatrix ReadPosition();
    void ReadSegments(IScenePath* path);

    // Section bodies (the current token is the first entry; they end after the section's "}").
    void ReadEnvironmentBody(IEnvironment* environment);
    void ReadPathsBody(std::vector<IScenePath*>& paths);
    void ReadEntitiesBody(bool withSounds, std::vector<IEntity*>& entities);
    void ReadMeshesBody(std::vector<sMeshInstance*>& meshes);
    IEntity* ReadWater();
    IEntity* ReadRain();
    IEntity* ReadBillboard();
    IEntity* ReadButterflies();
    IEntity* ReadBirds();
    IEntity* ReadLensFlare();
    IEntity* ReadSound();
    IEntity* ReadSky();

    IResourceManager* m_ResourceManager = nullptr;
};

} // namespace velmora::scene

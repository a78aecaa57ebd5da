#include "scene/cSerializer.h"

#include <cmath>
#include <memory>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "scene/ParseHelpers.h"

namespace velmora::scene {

namespace {

// Opens a file for reading by name through the file-system search; null when it is nowhere.
IFile* OpenForReading(const char* path) {
    IFileSystem* fs = GetProcessFileSystem();
    return fs && path ? fs->OpenFile(path) : nullptr;
}

IFile* OpenForWriting(const char* path, const char* mode) {
    IFileSystem* fs = GetProcessFileSystem();
    return fs && path ? fs->OpenFile(path, mode) : nullptr;
}

// Releases the file however the call ends.
struct sFileCloser {
    IFile* file;
    ~sFileCloser() {
        if (file) {
            file->Release();
        }
    }
};

bool IsSectionKeyword(const std::string& text) {
    return text == "environment" || text == "paths" || text == "entities" || text == "meshes";
}

} // namespace

cSerializer::cSerializer(IResourceManager* resourceManager) : m_ResourceManager(resourceManager) {
    SetSeparators("{ } - ( ) ,");
}

std::uint8_t cSerializer::ColorByte(float value) {
    if (!(value > 0.0f)) {
        return 0;
    }
    if (value > 1.0f) {
        value = 1.0f;
    }
    // The writer prints byte / 255 with four decimals, which can land up to 0.0128 of a step below the byte.
    const float scaled = value * 255.0f + 0.02f;
    return scaled >= 255.0f ? 255 : static_cast<std::uint8_t>(scaled);
}

// ---- Path variants ---------------------------------------------------------------------------

bool cSerializer::WriteTerrain(const char* path, ITerrain* terrain) {
    IFile* file = OpenForWriting(path, "wb");
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return WriteTerrain(file, terrain);
}

bool cSerializer::WriteEnvironment(const char* path, IEnvironment* environment) {
    IFile* file = OpenForWriting(path, "wt");
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return WriteEnvironment(file, environment);
}

bool cSerializer::WritePaths(const char* path, const std::vector<IScenePath*>& paths) {
    if (paths.empty()) {
        return true;
    }
    IFile* file = OpenForWriting(path, "wt");
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return WritePaths(file, paths);
}

bool cSerializer::WriteEntities(const char* path, const std::vector<IEntity*>& entities) {
    IFile* file = OpenForWriting(path, "wt");
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return WriteEntities(file, entities);
}

bool cSerializer::WriteSceneMeshes(const char* path, const std::vector<sMeshInstance*>& meshes) {
    IFile* file = OpenForWriting(path, "wt");
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return WriteSceneMeshes(file, meshes);
}

ITerrain* cSerializer::ReadTerrain(const char* path, IProgressCallback* progress) {
    IFile* file = OpenForReading(path);
    if (!file) {
        return nullptr;
    }
    sFileCloser closer{file};
    return ReadTerrain(file, progress);
}

bool cSerializer::ReadEnvironment(const char* path, IEnvironment* environment) {
    IFile* file = OpenForReading(path);
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return ReadEnvironment(file, environment);
}

bool cSerializer::ReadScenePaths(const char* path, std::vector<IScenePath*>& paths) {
    IFile* file = OpenForReading(path);
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return ReadScenePaths(file, paths);
}

bool cSerializer::ReadEntities(const char* path, bool withSounds, std::vector<IEntity*>& entities) {
    IFile* file = OpenForReading(path);
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return ReadEntities(file, withSounds, entities);
}

bool cSerializer::ReadSceneMeshes(const char* path, std::vector<sMeshInstance*>& meshes) {
    IFile* file = OpenForReading(path);
    if (!file) {
        return false;
    }
    sFileCloser closer{file};
    return ReadSceneMeshes(file, meshes);
}

// The terrain file's reader and writer live in cSerializer_terrain.cpp.

// ---- Sections --------------------------------------------------------------------------------

bool cSerializer::OpenSection(IFile* file, const char* keyword, const char* operation) {
    std::unique_ptr<std::uint8_t[]> data(file->ReadAll());
    if (!data) {
        RaiseError("cSerializer::%s : failed to read the file", operation);
    }
    SetText(std::string(reinterpret_cast<const char*>(data.get()), static_cast<std::size_t>(file->GetSize())));
    CheckTopLevel();
    // Again from the start, to the first occurrence of the section.
    SetText(std::string(reinterpret_cast<const char*>(data.get()), static_cast<std::size_t>(file->GetSize())));
    while (!IsEnd()) {
        const bool wanted = Is(keyword);
        Next();
        if (wanted) {
            Expect("{");
            return true;
        }
        SkipBlock("section");
    }
    return false;
}

void cSerializer::CheckTopLevel() {
    while (!IsEnd()) {
        const sToken& token = GetToken();
        if (token.type == TOKEN_STRING || token.type == TOKEN_SEPARATOR || token.type == TOKEN_NUMBER) {
            Error("unexpected token '%s'", token.text.c_str());
        }
        if (!IsSectionKeyword(token.text)) {
            Error("unknown section '%s'", token.text.c_str());
        }
        const std::string section = token.text;
        Next();
        SkipBlock(section.c_str());
    }
}

void cSerializer::SkipBlock(const char* what) {
    if (!Is("{")) {
        Expect("{");
    }
    // The depth counts the "{" as soon as it is the current token.
    const std::int32_t outer = GetBraceDepth() - 1;
    Next();
    while (!(Is("}") && GetBraceDepth() == outer)) {
        if (IsEnd()) {
            Error("unexpected end of file; '}' expected to close '%s'", what);
        }
        Next();
    }
    Next();
}

void cSerializer::RequireMore(const char* block) {
    if (IsEnd()) {
        Error("unexpected end of file; '}' expected to close '%s'", block);
    }
}

// ---- Values ----------------------------------------------------------------------------------

float cSerializer::ReadNumberValue() {
    float value = 0.0f;
    ReadFloat(value);
    if (!std::isfinite(value)) {
        Error("number out of range");
    }
    return value;
}

cVector3 cSerializer::ReadVector3() {
    float v[3] = {0.0f, 0.0f, 0.0f};
    ReadVector(v, 3);
    return cVector3(v[0], v[1], v[2]);
}

cColor cSerializer::ReadColor() {
    float v[3] = {0.0f, 0.0f, 0.0f};
    ReadVector(v, 3);
    return cColor(ColorByte(v[0]), ColorByte(v[1]), ColorByte(v[2]), 255);
}

cMatrix cSerializer::ReadPosition() { return cMatrix::Translation(ReadVector3()); }

} // namespace velmora::scene

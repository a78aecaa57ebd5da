#include "engine/core/EngineGlobals.h"

namespace velmora {

namespace {
IEngine* g_Engine = nullptr;
IFileSystem* g_FileSystem = nullptr;
IInput* g_Input = nullptr;
} // namespace

IEngine* GetEngine() { return g_Engine; }
IFileSystem* GetFileSystem() { return g_FileSystem; }
IInput* GetInput() { return g_Input; }

void SetEngineGlobals(IEngine* engine, IFileSystem* fileSystem, IInput* input) {
    g_Engine = engine;
    g_FileSystem = fileSystem;
    g_Input = input;
}

} // namespace velmora

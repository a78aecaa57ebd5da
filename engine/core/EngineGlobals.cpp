#include "engine/core/EngineGlobals.h"

#include "engine/filesystem/FileSystemGlobals.h"

namespace velmora {

namespace {
IEngine* g_Engine = nullptr;
IInput* g_Input = nullptr;
} // namespace

IEngine* GetEngine() { return g_Engine; }
IFileSystem* GetFileSystem() { return GetProcessFileSystem(); }
IInput* GetInput() { return g_Input; }

void SetEngineGlobals(IEngine* engine, IFileSystem* fileSystem, IInput* input) {
    g_Engine = engine;
    SetProcessFileSystem(fileSystem);
    g_Input = input;
}

} // namespace velmora

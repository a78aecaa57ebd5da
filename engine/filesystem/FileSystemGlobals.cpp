#include "engine/filesystem/FileSystemGlobals.h"

namespace velmora {

namespace {
IFileSystem* g_FileSystem = nullptr;
}

IFileSystem* GetProcessFileSystem() { return g_FileSystem; }

void SetProcessFileSystem(IFileSystem* fileSystem) { g_FileSystem = fileSystem; }

} // namespace velmora

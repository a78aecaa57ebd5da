#pragma once
// The process-wide file system. The engine creates the platform file system
// (cPosixFileSystem), owns it for its whole life and registers it here; other
// engine code reaches it through GetProcessFileSystem. Null while no engine
// exists.

#include "engine/filesystem/IFileSystem.h"

namespace velmora {

// The registered file system, or null.
IFileSystem* GetProcessFileSystem();

// Registers the file system (null to clear); ownership stays with the caller.
void SetProcessFileSystem(IFileSystem* fileSystem);

} // namespace velmora

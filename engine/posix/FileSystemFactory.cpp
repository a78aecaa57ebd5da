// The one place that names the POSIX file system.
#include "engine/filesystem/FileSystemFactory.h"

#include <new>

#include "engine/posix/cPosixFileSystem.h"

namespace velmora {

cCommonFileSystem* CreatePlatformFileSystem() { return new (std::nothrow) cPosixFileSystem(); }

void DestroyPlatformFileSystem(IFileSystem* fileSystem) { delete fileSystem; }

} // namespace velmora

// The one place that names the Win32 file system.
#include "engine/filesystem/FileSystemFactory.h"

#include <new>

#include "engine/win32/cWin32FileSystem.h"

namespace velmora {

cCommonFileSystem* CreatePlatformFileSystem() { return new (std::nothrow) cWin32FileSystem(); }

void DestroyPlatformFileSystem(IFileSystem* fileSystem) { delete fileSystem; }

} // namespace velmora

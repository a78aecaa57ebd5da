#pragma once
// Small SDL platform services shared by the engine and the screensaver.

#include "engine/sRendererDesc.h"

namespace velmora {

class IFileSystem;

// Sets the OpenGL attributes (colour, depth, stencil, multisampling, context
// version) that windows created afterwards will be made with.
void PrepareGLWindowAttributes(const sRendererDesc& desc);

// The platform's file system; null when it cannot be allocated.
IFileSystem* CreatePlatformFileSystem();
// Deletes a file system made by CreatePlatformFileSystem.
void DestroyPlatformFileSystem(IFileSystem* fileSystem);

} // namespace velmora

#pragma once
// Small SDL platform services shared by the engine and the screensaver.

#include "engine/filesystem/FileSystemFactory.h"
#include "engine/sRendererDesc.h"

namespace velmora {

// Sets the OpenGL attributes (colour, depth, stencil, multisampling, context
// version) that windows created afterwards will be made with.
void PrepareGLWindowAttributes(const sRendererDesc& desc);

} // namespace velmora

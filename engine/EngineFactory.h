#pragma once
// Creating the one engine of the process.

#include "engine/IEngine.h"

namespace velmora {

// Releases an existing engine, constructs the platform engine and makes it
// (with its file system and input) the process-wide one.
IEngine* CreateEngine();
// As above, then attaches it to the window; on failure the new engine is
// released, the process-wide pointer cleared and null returned.
IEngine* CreateEngine(tWindowHandle window, const sRendererDesc& desc);

} // namespace velmora

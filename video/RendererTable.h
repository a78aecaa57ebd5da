#pragma once
// The renderer table: which backends a build has. Each platform's table file
// (video/RendererFactory.cpp on Linux, video/d3d9/RendererFactoryWin32.cpp on
// Windows) lists its backends with GetRendererBackends; CreateRenderer and
// IsRendererAvailable (video/IRenderer.h) look them up there.

#include <cstddef>

#include "engine/sRendererDesc.h"

namespace velmora::video {

class IRenderer;

struct sRendererBackend {
    int rendererId;
    IRenderer* (*create)(const sRendererDesc& desc, tWindowHandle window, int width, int height, bool fullscreen);
};

// The build's backends; count receives how many there are.
const sRendererBackend* GetRendererBackends(std::size_t& count);

} // namespace velmora::video

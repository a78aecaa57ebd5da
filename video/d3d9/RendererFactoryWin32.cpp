// The Windows build's renderer table: the one place that names its backends.
#include "video/RendererTable.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

const sRendererBackend* GetRendererBackends(std::size_t& count) {
    static const sRendererBackend kBackends[] = {
        {kRendererDirect3D9, &cDirect3D9Renderer::CreateInstance},
    };
    count = sizeof(kBackends) / sizeof(kBackends[0]);
    return kBackends;
}

} // namespace velmora::video

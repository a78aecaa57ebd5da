// The Linux build's renderer table: the one place that names its backends.
#include "video/RendererTable.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

const sRendererBackend* GetRendererBackends(std::size_t& count) {
    static const sRendererBackend kBackends[] = {
        {kRendererOpenGL, &cOpenGLRenderer::CreateInstance},
    };
    count = sizeof(kBackends) / sizeof(kBackends[0]);
    return kBackends;
}

} // namespace velmora::video

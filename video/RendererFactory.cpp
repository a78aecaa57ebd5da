// The one place that names the renderer backends.
#include "video/IRenderer.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

namespace {

struct sBackend {
    int rendererId;
    IRenderer* (*create)(const sRendererDesc&, tWindowHandle, int, int, bool);
};

const sBackend kBackends[] = {
    {kRendererOpenGL, &cOpenGLRenderer::CreateInstance},
};

} // namespace

IRenderer* CreateRenderer(const sRendererDesc& desc, tWindowHandle window, int width, int height, bool fullscreen) {
    for (const sBackend& backend : kBackends) {
        if (backend.rendererId == desc.rendererId) {
            return backend.create(desc, window, width, height, fullscreen);
        }
    }
    return nullptr;
}

} // namespace velmora::video

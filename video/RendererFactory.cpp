// The Linux build's renderer table: the one place that names its backends.
#include "engine/core/Log.h"
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
    LogWarning("video::CreateRenderer : the %s renderer isn't part of this build\n",
               GetRendererName(desc.rendererId));
    return nullptr;
}

bool IsRendererAvailable(int rendererId) {
    for (const sBackend& backend : kBackends) {
        if (backend.rendererId == rendererId) {
            return true;
        }
    }
    return false;
}

} // namespace velmora::video

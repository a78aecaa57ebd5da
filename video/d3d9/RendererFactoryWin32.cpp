// The one place of the Win32 platform that names the renderer backends.
#include "engine/core/Log.h"
#include "video/IRenderer.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

namespace {

struct sBackend {
    int rendererId;
    IRenderer* (*create)(const sRendererDesc&, tWindowHandle, int, int, bool);
};

const sBackend kBackends[] = {
    {kRendererDirect3D9, &cDirect3D9Renderer::CreateInstance},
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

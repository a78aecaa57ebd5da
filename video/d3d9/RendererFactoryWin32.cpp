// The one place of the Win32 platform that names the renderer backends.
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
    return nullptr;
}

} // namespace velmora::video

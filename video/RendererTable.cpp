#include "video/RendererTable.h"

#include "engine/core/Log.h"
#include "video/IRenderer.h"

namespace velmora::video {

namespace {

const sRendererBackend* FindBackend(int rendererId) {
    std::size_t count = 0;
    const sRendererBackend* backends = GetRendererBackends(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (backends[i].rendererId == rendererId) {
            return &backends[i];
        }
    }
    return nullptr;
}

} // namespace

IRenderer* CreateRenderer(const sRendererDesc& desc, tWindowHandle window, int width, int height, bool fullscreen) {
    if (const sRendererBackend* backend = FindBackend(desc.rendererId)) {
        return backend->create(desc, window, width, height, fullscreen);
    }
    LogWarning("video::CreateRenderer : the %s renderer isn't part of this build\n", GetRendererName(desc.rendererId));
    return nullptr;
}

bool IsRendererAvailable(int rendererId) { return FindBackend(rendererId) != nullptr; }

} // namespace velmora::video

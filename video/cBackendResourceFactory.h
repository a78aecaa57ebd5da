#pragma once
// The resource factory a backend gets by naming its classes: each "New" makes
// the backend's class of that kind for the owner and the renderer, or raises
// "failed to allocate memory for ...".

#include <new>

#include "engine/core/cException.h"
#include "video/cResourceFactory.h"

namespace velmora::video {

template <class tRenderer, class tTexture2D, class tTextureCube, class tFont, class tShader, class tVertexBuffer,
          class tIndexBuffer>
class cBackendResourceFactory : public cResourceFactory {
public:
    explicit cBackendResourceFactory(tRenderer* renderer) : m_Renderer(renderer) {}

    ITexture2D* NewTexture2D(cResourceManager* owner) override { return Make<tTexture2D>(owner, "texture"); }
    ITextureCube* NewTextureCube(cResourceManager* owner) override { return Make<tTextureCube>(owner, "texture"); }
    IFont* NewFont(cResourceManager* owner) override { return Make<tFont>(owner, "font"); }
    IShader* NewShader(cResourceManager* owner) override { return Make<tShader>(owner, "shader"); }
    IVertexBuffer* NewVertexBuffer(cResourceManager* owner) override {
        return Make<tVertexBuffer>(owner, "vertex buffer");
    }
    IIndexBuffer* NewIndexBuffer(cResourceManager* owner) override { return Make<tIndexBuffer>(owner, "index buffer"); }

private:
    template <class tResource>
    tResource* Make(cResourceManager* owner, const char* what) {
        tResource* resource = new (std::nothrow) tResource(owner, m_Renderer);
        if (!resource) RaiseError("failed to allocate memory for %s", what);
        return resource;
    }

    tRenderer* m_Renderer;
};

} // namespace velmora::video

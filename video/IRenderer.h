#pragma once
// The one object through which the engine and the scene draw.
// (Grows to the full drawing and resource interface with the renderer work.)

#include "engine/core/cColor.h"
#include "engine/sRendererDesc.h"

namespace velmora::video {

class IRenderer {
public:
    virtual ~IRenderer() = default;
    // (type 0 orthographic / 1 perspective, width, height, near, far, aspect, fov in degrees);
    // width or height 0 means the client size, aspect -1 width / height, fov -1 90 degrees.
    virtual void SetProjection(int type, int width, int height, double zNear, double zFar, double aspect,
                               double fov) = 0;
    // Colour used by BeginFrame without argument; black opaque at start.
    virtual void SetClearColor(const cColor& color) = 0;
    // Clears colour, depth and stencil with the colour and begins the frame.
    virtual void BeginFrame(const cColor& color) = 0;
    // BeginFrame with the clear colour.
    virtual void BeginFrame() = 0;
    // Ends the frame and presents it.
    virtual void EndFrame() = 0;
    // Texture filtering mode for every cached and future 2D texture.
    virtual void SetTextureFiltering(int mode) = 0;
    // Anisotropy level for every cached and future 2D texture.
    virtual void SetTextureAnisotropy(int level) = 0;
    // Number of top mip levels dropped from compressed textures.
    virtual void SetTextureDetailReduction(int levels) = 0;
    // Feature query by number (13: fragment shaders 2.0).
    virtual bool QueryFeature(int feature) = 0;
};

// Creates the renderer for the descriptor's id on the window; null (with a warning) on failure.
IRenderer* CreateRenderer(const sRendererDesc& desc, tWindowHandle window, int width, int height, bool fullscreen);

} // namespace velmora::video

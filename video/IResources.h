#pragma once
// The uncached resources: materials, render targets, output viewports and
// occlusion queries. Each is owned by its creator and destroyed by Release,
// which must come before the renderer goes away.

#include <cstdint>
#include <string>

#include "engine/core/cColor.h"

namespace velmora::video {

class ITexture;
class ITexture2D;

// Fixed-function colours, up to four textures and the render states a surface needs.
class IMaterial {
public:
    virtual ~IMaterial() = default;
    // Lowers the count; destroys the material at zero.
    virtual void Release() = 0;
    // Raises the count; returns this material.
    virtual IMaterial* AddRef() = 0;
    // Colour index 0 diffuse, 1 ambient, 2 specular, 3 emissive from four floats; null logs a warning.
    virtual void SetMaterialColor(int index, const float* rgba) = 0;
    // The same from separate floats; an index above 3 is ignored.
    virtual void SetMaterialColor(int index, float r, float g, float b, float a) = 0;
    // The same from bytes (each divided by 255).
    virtual void SetMaterialColor(int index, const cColor& color) = 0;
    // Specular power.
    virtual void SetShininess(float shininess) = 0;
    // Texture of stage 0-3; another stage logs a warning and stores nothing.
    virtual void SetTexture(ITexture* texture, int stage) = 0;
    // Per-stage sampler values, passed at once to the stage's texture.
    virtual void SetTextureAnisotropy(int level, int stage) = 0;
    virtual void SetTextureClamp(int mode, int stage) = 0;
    virtual void SetTextureFiltration(int mode, int stage) = 0;
    // Render states applied by Bind.
    virtual void SetDepthWrite(bool enable) = 0;
    virtual void SetBlendFunc(int src, int dst) = 0;
    virtual void SetAlphaTest(int func, float reference) = 0;
    virtual void SetCullMode(int mode) = 0;
    virtual void SetName(const std::string& name) = 0;
    virtual const std::string& GetName() const = 0;
    // Applies lighting, colours, textures and states (called by IRenderer::SetMaterial).
    virtual void Bind() = 0;
    // Back to lighting off, stages empty and the default states.
    virtual void Unbind() = 0;
};

// An off-screen colour texture with its own depth buffer.
class IRenderTarget {
public:
    virtual ~IRenderTarget() = default;
    // Destroys the target.
    virtual void Release() = 0;
    // Colour the target is cleared with when bound (transparent black at creation).
    virtual void SetClearColor(const cColor& color) = 0;
    // The colour texture, to be bound as an ordinary texture after drawing.
    virtual ITexture2D* GetTexture() = 0;
    // A second texture (null).
    virtual ITexture2D* GetSecondTexture() = 0;
    virtual std::uint32_t GetImageWidth() const = 0;
    virtual std::uint32_t GetImageHeight() const = 0;
    virtual cColor GetClearColor() const = 0;
    // Redirects drawing into the target, saving the world and projection matrices (IRenderer::SetRenderTarget).
    virtual void Bind() = 0;
    // Restores what Bind saved.
    virtual void Unbind() = 0;
};

// A second output window the renderer can present into.
class IViewport {
public:
    virtual ~IViewport() = default;
    // Destroys the viewport.
    virtual void Release() = 0;
};

// Counts the pixels passing the depth test between Begin and End.
class IOcclusionQuery {
public:
    virtual ~IOcclusionQuery() = default;
    // Destroys the query.
    virtual void Release() = 0;
    // Waits for the device's answer (for a bounded time, after which the last result stands);
    // returns and stores the pixel count.
    virtual std::uint32_t GetResult() = 0;
    // The count stored by the last GetResult.
    virtual std::uint32_t GetLastResult() const = 0;
    virtual void Begin() = 0;
    virtual void End() = 0;
    // True when the answer is ready.
    virtual bool IsAvailable() = 0;
};

} // namespace velmora::video

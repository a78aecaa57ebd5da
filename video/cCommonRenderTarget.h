#pragma once
// The device-independent part of a render target: its colour texture, size
// and clear colour. A backend makes the texture and the depth buffer and
// redirects drawing in Bind.

#include "video/IResources.h"

namespace velmora::video {

class cCommonRenderer;

class cCommonRenderTarget : public IRenderTarget {
public:
    explicit cCommonRenderTarget(cCommonRenderer* renderer) : m_Renderer(renderer) {}
    // Forgets the target wherever the renderer still has it bound.
    ~cCommonRenderTarget() override;
    cCommonRenderTarget(const cCommonRenderTarget&) = delete;
    cCommonRenderTarget& operator=(const cCommonRenderTarget&) = delete;

    // Destroys the target; a bound target is unbound first.
    void Release() override;
    void SetClearColor(const cColor& color) override { m_ClearColor = color; }
    ITexture2D* GetTexture() override { return m_Texture; }
    ITexture2D* GetSecondTexture() override { return m_SecondTexture; }
    std::uint32_t GetImageWidth() const override { return m_Width; }
    std::uint32_t GetImageHeight() const override { return m_Height; }
    cColor GetClearColor() const override { return m_ClearColor; }

protected:
    cCommonRenderer* m_Renderer;
    ITexture2D* m_Texture = nullptr;
    ITexture2D* m_SecondTexture = nullptr;
    std::uint32_t m_Width = 0;
    std::uint32_t m_Height = 0;
    cColor m_ClearColor{0, 0, 0, 0};
};

} // namespace velmora::video

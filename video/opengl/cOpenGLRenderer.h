#pragma once
// The renderer on OpenGL 2.1 (compatibility profile) through an SDL window.

#include "video/IRenderer.h"

namespace velmora::video {

class cOpenGLRenderer : public IRenderer {
public:
    // Constructs the renderer and creates its context; null (after a warning) on failure.
    static IRenderer* CreateInstance(const sRendererDesc& desc, tWindowHandle window, int width, int height,
                                     bool fullscreen);

    ~cOpenGLRenderer() override;

    void SetProjection(int type, int width, int height, double zNear, double zFar, double aspect,
                       double fov) override;
    void SetClearColor(const cColor& color) override { m_ClearColor = color; }
    void BeginFrame(const cColor& color) override;
    void BeginFrame() override { BeginFrame(m_ClearColor); }
    void EndFrame() override;
    void SetTextureFiltering(int mode) override { m_Filtering = mode; }
    void SetTextureAnisotropy(int level) override { m_Anisotropy = level; }
    void SetTextureDetailReduction(int levels) override { m_DetailReduction = levels; }
    bool QueryFeature(int feature) override;

private:
    cOpenGLRenderer() = default;
    bool Create(const sRendererDesc& desc, tWindowHandle window, int width, int height, bool fullscreen);

    void* m_Window = nullptr;
    void* m_Context = nullptr;
    cColor m_ClearColor{0, 0, 0, 255};
    int m_Filtering = 3;
    int m_Anisotropy = 0;
    int m_DetailReduction = 1;
};

} // namespace velmora::video

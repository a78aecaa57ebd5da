#pragma once
// The renderer on OpenGL 2.1 (compatibility profile, fixed-function texture
// stages, fog and lighting, GLSL 1.20) through an SDL window. It behaves as
// the engine's renderer contract says for every backend: row-vector matrices
// go to GL unchanged (modelview = world x view), screen space has its origin
// at the bottom-left, scissor rectangles and GetViewportRect count from the
// top-left, culling mode 2 culls clockwise faces.

#include <cstdint>
#include <vector>

#include "engine/core/cMatrix.h"
#include "video/cCommonRenderer.h"

namespace velmora::video {

class cOpenGLRenderer : public cCommonRenderer {
public:
    static constexpr int kStackDepth = 32;

    // Constructs the renderer and creates its context; null (after a warning) on failure.
    static IRenderer* CreateInstance(const sRendererDesc& desc, tWindowHandle window, int width, int height,
                                     bool fullscreen);

    ~cOpenGLRenderer() override;

    // ---- Projection, viewport, transforms ------------------------------------------------
    void SetProjectionMatrix(const cMatrix& matrix) override;
    void SetProjection(int type, int width, int height, double zNear, double zFar, double aspect,
                       double fov) override;
    void SetOrthographic(double left, double right, double bottom, double top, double zNear, double zFar) override;
    void SetViewportRect(int x, int y, int width, int height) override;
    using cCommonRenderer::SetTransform;
    void SetTransform(int mode, const cMatrix* matrix, bool multiply = false) override;
    void GetTransform(int mode, cMatrix& out) override;
    void GetViewportRect(int& x, int& y, int& width, int& height) override;
    void Project(cVector3& out, const cVector3& in) override;
    void PushTransform(int mode) override;
    void PopTransform(int mode) override;

    // ---- States ----------------------------------------------------------------------------
    void SetBlendColor(float r, float g, float b, float a) override;
    void SetFogColor(int index, float r, float g, float b, float a) override;
    void SetFogParameter(int parameter, float value) override;
    void SetClipPlane(int index, int enable, float a, float b, float c, float d) override;
    using cCommonRenderer::SetScissor;
    void SetScissor(bool enable, int x, int y, int width, int height) override;
    void SetStencilTest(bool enable) override;
    void SetStencilOp(int fail, int depthFail, int pass) override;
    void SetStencilMask(std::uint32_t mask) override;
    void SetDepthFunc(int func) override;
    void SetDepthRange(float zNear, float zFar) override;
    void SetPointSize(float size) override;
    void SetLighting(bool enable) override;
    void EnableLight(int index, bool enable) override;
    void SetLight(int index, const sLight& light) override;

    // ---- Queries ---------------------------------------------------------------------------
    int GetMaxAnisotropy() override { return m_MaxAnisotropy; }
    int GetMaxTextureStages() override { return m_MaxTextureStages; }
    bool QueryFeature(int feature) override;

    // ---- Frame -----------------------------------------------------------------------------
    void BeginFrame(const cColor& color) override;
    void BeginFrame() override { BeginFrame(m_ClearColor); }
    void EndFrame() override;
    void WaitForDevice() override;
    bool ReadPixels(int x, int y, int width, int height, std::vector<std::uint8_t>& out) override;

    // ---- Drawing ---------------------------------------------------------------------------
    void RenderBox(const cVector3& min, const cVector3& max, const cColor& color, bool markCenter = false) override;
    void RenderSolidBox(const cVector3& min, const cVector3& max, const cColor& color) override;
    void RenderRect(ITexture* texture, const cRect& dst, const cRect& src, const cColor& color) override;
    void RenderLine2D(const cVector2& a, const cVector2& b, const cColor& color) override;
    void RenderTriangle2D(const cVector2& a, const cVector2& b, const cVector2& c, const cColor& color) override;
    void RenderLine(const cVector3& a, const cVector3& b, const cColor& color) override;
    void RenderQuad(ITexture* texture, const cVector3 corners[4], const cVector3& offset, const cRect& texRect,
                    const cColor& color) override;
    void RenderQuad(ITexture* texture, const cVector3 corners[4], const cRect& texRect, const cColor& color) override;
    void RenderPrimitives(int type, int first, int count) override;
    void RenderIndexedPrimitives(int type, int ignored, int firstIndex, int vertexCount, int indexCount) override;
    void RenderIndexedPrimitives(int type, int ignored, int vertexCount, int indexCount) override;
    void RenderBezier2(const sBezier2& curve, int segments) override;
    void RenderBezier3(const sBezier3& curve, int segments) override;

    // ---- Resources ---------------------------------------------------------------------------
    // Reads the "_ogl" variant of the file: "_ogl" goes before the last "." of the name.
    using cCommonRenderer::CreateShader;
    IShader* CreateShader(const char* fileName, const std::string& vertexHeader,
                          const std::string& fragmentHeader) override;
    IMaterial* CreateMaterial() override;
    IRenderTarget* CreateRenderTarget(int width, int height, int format, int ignored = 0) override;
    IOcclusionQuery* CreateOcclusionQuery() override;
    IViewport* CreateViewport(tWindowHandle window) override;

    // ---- For the backend's resources --------------------------------------------------------
    // Sets the fixed-function combiner of a texture stage (cached per stage): stage 0 modulates
    // colour and alpha, stage 1 adds signed (detail maps), later stages modulate colour.
    void ApplyStageCombiner(int stage);
    // Number of fixed-function texture units (glEnable of a texture target works below it).
    int GetFixedTextureUnits() const { return m_MaxTextureStages; }
    bool HasS3TC() const { return m_HasS3TC; }
    // Whether the device is a rasterizer running on the CPU.
    bool IsSoftwareRasterizer() const { return m_SoftwareRasterizer; }
    bool HasAnisotropy() const { return m_MaxAnisotropy > 0; }
    // Whether mip-mapped filtering blends the two nearest levels (false on a software rasterizer: the
    // nearest level is read).
    bool BlendsMipLevels() const { return m_BlendsMipLevels; }
    int GetMaxTextureSize() const override { return m_MaxTextureSize; }
    // The SDL window and GL context the renderer was created on.
    void* GetMainWindow() const { return m_Window; }
    void* GetContext() const { return m_Context; }
    // Number of primitives drawn from k vertices or indices; raises for types it cannot count.
    static int PrimCount(int type, int k);

protected:
    void DeviceSetAlphaTest(int func, float reference) override;
    void DeviceSetBlendFunc(int src, int dst) override;
    void DeviceSetFillMode(int mode) override;
    void DeviceSetCullMode(int mode) override;
    void DeviceSetDepthWrite(bool enable) override;
    void DeviceSetFogMode(int mode) override;
    void DeviceSetTexture(ITexture* texture, int stage) override;
    void DeviceSetViewport(IViewport* viewport) override;
    void DeviceSetStencilFunc(int func, int reference) override;

private:
    class cOpenGLResourceFactory;
    struct sMatrixStack {
        int depth = 0;
        cMatrix matrices[kStackDepth];
    };

    cOpenGLRenderer();
    bool Create(const sRendererDesc& desc, tWindowHandle window, int width, int height, bool fullscreen);

    // Client size: the engine's view when there is an engine, else the size given at creation.
    int GetClientWidth() const;
    int GetClientHeight() const;
    // Height of what is drawn into: the bound render target or the window.
    int GetTargetHeight() const;
    int GetTargetWidth() const;
    // Loads world x view into GL's modelview matrix.
    void LoadModelView();
    void UpdatePointAttenuation();
    // Begins an immediate draw: no buffer objects, texture coordinate and colour defaults.
    void BeginImmediate();
    void EndImmediate();
    void DrawTexturedQuad(ITexture* texture, const cVector3 corners[4], const cVector3& offset, const cRect& texRect,
                          const cColor& color);

    void* m_Window = nullptr;
    void* m_Context = nullptr;
    int m_Width = 0;
    int m_Height = 0;
    sMatrixStack m_Stacks[4];
    cMatrix m_World;
    cMatrix m_View;
    cMatrix m_Projection;
    cMatrix m_TextureMatrix;
    int m_ViewportX = 0, m_ViewportY = 0, m_ViewportWidth = 0, m_ViewportHeight = 0;  // GL (bottom-left)
    bool m_ScissorEnabled = false;
    int m_StencilFunc = CMP_ALWAYS;
    int m_StencilRef = 0;
    std::uint32_t m_StencilMask = 0xFFFFFFFFu;
    int m_StageCombiner[kMaxTextureStages];
    int m_MaxAnisotropy = 0;
    int m_MaxTextureStages = 1;
    int m_MaxTextureSize = 0;
    int m_MaxClipPlanes = 6;
    int m_MaxLights = 8;
    bool m_HasS3TC = false;
    bool m_SoftwareRasterizer = false;
    bool m_BlendsMipLevels = true;
    bool m_HasFramebufferObjects = false;
    int m_GLVersion = 0;
    int m_GLSLVersion = 0;
    int m_VertexTextureUnits = 0;
};

} // namespace velmora::video

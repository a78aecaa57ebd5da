#pragma once
// The renderer on Direct3D 9 (d3d9.dll only: no D3DX). It keeps the engine's
// conventions that every backend keeps: row-vector matrices with depth
// -1..1 (the device matrix adds the mapping to Direct3D's 0..1 and the half
// pixel that puts texel centres where OpenGL has them), screen space with the
// origin at the bottom-left, images with their bottom row first. Drawing into
// a render target is flipped upside down on the device, so that the target's
// texture also holds its bottom row first; culling follows the flip.
//
// A lost device is recovered: every frame tests the cooperative level, and a
// device that can be reset has its default-pool resources (render targets,
// output viewports, dynamic buffers, queries) released, is reset, and gets
// them back. Only a device that refuses the reset ends the run with
// "cDirect3D9Renderer::EndFrame : device lost".

#include "video/d3d9/D3D9Api.h"

#include <cstdint>
#include <vector>

#include "engine/core/cMatrix.h"
#include "video/cCommonRenderer.h"

namespace velmora::video {

// A resource that lives in the default pool: released before a reset, made again after it.
class cDirect3D9DeviceResource {
public:
    virtual ~cDirect3D9DeviceResource() = default;
    virtual void OnDeviceLost() = 0;
    virtual void OnDeviceReset() = 0;
};

class cDirect3D9Renderer : public cCommonRenderer {
public:
    static constexpr int kStackDepth = 32;

    // Constructs the renderer and creates its device; null (after a warning) on failure.
    static IRenderer* CreateInstance(const sRendererDesc& desc, tWindowHandle window, int width, int height,
                                     bool fullscreen);

    ~cDirect3D9Renderer() override;

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
    int GetMaxAnisotropy() override { return static_cast<int>(m_Caps.MaxAnisotropy); }
    int GetMaxTextureStages() override;
    bool QueryFeature(int feature) override;
    int GetMaxTextureSize() const override;

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

    // ---- Resources -------------------------------------------------------------------------
    // Reads the "_d3d9" variant of the file: "_d3d9" goes before the last "." of the name.
    using cCommonRenderer::CreateShader;
    IShader* CreateShader(const char* fileName, const std::string& vertexHeader,
                          const std::string& fragmentHeader) override;
    IMaterial* CreateMaterial() override;
    IRenderTarget* CreateRenderTarget(int width, int height, int format, int ignored = 0) override;
    IOcclusionQuery* CreateOcclusionQuery() override;
    IViewport* CreateViewport(tWindowHandle window) override;

    // ---- For the backend's resources and tests --------------------------------------------
    IDirect3DDevice9* GetDevice() const { return m_Device; }
    const D3DCAPS9& GetCaps() const { return m_Caps; }
    // The texture stage states of a stage's combiner (cached per stage): stage 0 modulates colour
    // and alpha, stage 1 adds signed (detail maps), later stages modulate colour.
    void ApplyStageCombiner(int stage);
    // Sets a sampler state unless the stage already holds the value.
    void SetSamplerState(int stage, D3DSAMPLERSTATETYPE type, DWORD value);
    // Default-pool resources register themselves for device loss and reset.
    void AddDeviceResource(cDirect3D9DeviceResource* resource);
    void RemoveDeviceResource(cDirect3D9DeviceResource* resource);
    // The device matrices world, view and projection as the device holds them (the projection
    // with the depth mapping, the half pixel and the target flip).
    cMatrix GetDeviceWorldViewProjection() const;
    // What the device matrix adds after the engine's projection: depth (z + w) / 2, the half-pixel
    // shift and, in a render target, the vertical mirror. Programs that project with the engine's own
    // matrices ("u_ProjectionMatrix") apply it as "d3d_ProjectionFix".
    cMatrix GetDeviceFix() const;
    // Called by render targets around their binding: the flip and the target size.
    void OnRenderTargetChanged();
    // The viewport as SetViewportRect took it (bottom-left origin).
    void GetViewportArea(int& x, int& y, int& width, int& height) const {
        x = m_ViewportX;
        y = m_ViewportY;
        width = m_ViewportWidth;
        height = m_ViewportHeight;
    }
    // Number of primitives drawn from k vertices or indices; raises for types it cannot count.
    static int PrimCount(int type, int k);
    // Number of successful resets since creation.
    int GetResetCount() const { return m_ResetCount; }
    // Releases the default-pool resources, resets the device and makes them again (what a lost
    // device goes through); false when the reset failed.
    bool ResetDevice();
    // Whether the last frames were skipped because the device is lost.
    bool IsDeviceLost() const { return m_DeviceLost; }
    // A windowed device follows its window: when the client area has another size than the back
    // buffer (and is not empty), the device is reset with the new size, as a lost device is, and a
    // viewport that covered the whole window covers it again. BeginFrame calls it; true when the
    // back buffer has the window's size afterwards.
    bool FollowWindowSize();
    // The fog as shaders take it (the constant "d3d_Fog"): colour in x, y, z and the density in w,
    // 0 while fog is off, so that exp(-(w * distance)^2) is the share of the fragment's own colour.
    void GetShaderFog(float fog[4]) const;

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
    // As the common loading, but named before compiling, so that the shader finds its bytecode files.
    IShader* LoadShader(IFile* file, const std::string& fileName, const std::string& vertexHeader,
                        const std::string& fragmentHeader) override;

private:
    class cDirect3D9ResourceFactory;
    struct sMatrixStack {
        int depth = 0;
        cMatrix matrices[kStackDepth];
    };

    cDirect3D9Renderer();
    bool Create(const sRendererDesc& desc, tWindowHandle window, int width, int height, bool fullscreen);
    // Initial render states (after creation and after every reset).
    void ApplyInitialStates();
    // Tests the cooperative level and recovers; false while the device is lost.
    bool CheckDevice();

    int GetClientWidth() const;
    int GetClientHeight() const;
    int GetTargetWidth() const;
    int GetTargetHeight() const;
    // Sends the projection with the device fix-ups, and the world and view matrices.
    void LoadProjection();
    void LoadWorldView();
    // Sends the viewport rectangle and depth range.
    void LoadViewport();
    // Draws client-memory vertices of position + colour (+ texture coordinates).
    void DrawColored(D3DPRIMITIVETYPE type, UINT primitives, const void* vertices, UINT stride, bool textured);
    void DrawTexturedQuad(ITexture* texture, const cVector3 corners[4], const cVector3& offset, const cRect& texRect,
                          const cColor& color);

    // The fog values as last set, sent again after a reset.
    float m_FogColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float m_FogStart = 0.0f;
    float m_FogEnd = 1.0f;
    float m_FogDensity = 1.0f;

    HWND m_Window = nullptr;
    IDirect3D9* m_D3D = nullptr;
    IDirect3DDevice9* m_Device = nullptr;
    D3DCAPS9 m_Caps{};
    D3DPRESENT_PARAMETERS m_PresentParameters{};
    sMatrixStack m_Stacks[4];
    RECT m_ClientRect{};
    int m_Width = 0;
    int m_Height = 0;
    cMatrix m_World;
    cMatrix m_View;
    cMatrix m_Projection;
    cMatrix m_TextureMatrix;
    // The viewport in the engine's terms (bottom-left origin) and the depth range.
    int m_ViewportX = 0, m_ViewportY = 0, m_ViewportWidth = 0, m_ViewportHeight = 0;
    float m_DepthNear = 0.0f, m_DepthFar = 1.0f;
    bool m_FlipY = false;
    bool m_ScissorEnabled = false;
    int m_ScissorRect[4] = {0, 0, 0, 0};
    int m_ClipPlaneIndex = -1;
    float m_ClipPlane[4] = {0, 0, 0, 0};
    bool m_InScene = false;
    bool m_DeviceLost = false;
    int m_ResetCount = 0;
    int m_StageCombiner[kMaxTextureStages];
    DWORD m_SamplerStates[kMaxTextureStages][14];
    bool m_SamplerKnown[kMaxTextureStages][14];
    std::vector<cDirect3D9DeviceResource*> m_DeviceResources;
    IDirect3DQuery9* m_EventQuery = nullptr;
    // The output viewport whose back buffer is the colour target (null: the window's).
    class cDirect3D9Viewport* m_CurrentOutput = nullptr;
};

} // namespace velmora::video

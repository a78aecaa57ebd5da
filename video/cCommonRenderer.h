#pragma once
// Everything of the renderer that does not touch the device: the render-state
// shadow, the resource caches and loader registry, memory accounting, the
// camera, and the creation operations. A backend derives from it, supplies a
// cResourceFactory and implements the device operations; the cached setters
// reach the backend through the Device* hooks only when a value changes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "video/IRenderer.h"
#include "video/ITextureLoader.h"
#include "video/cResourceFactory.h"
#include "video/cResourceManager.h"
#include "scene/camera/cCamera.h"

namespace velmora {
class IFile;
class IFileSystem;
}

namespace velmora::video {

class cCommonRenderer : public IRenderer {
public:
    static constexpr int kMaxTextureStages = 8;

    ~cCommonRenderer() override;
    cCommonRenderer(const cCommonRenderer&) = delete;
    cCommonRenderer& operator=(const cCommonRenderer&) = delete;

    // ---- Cached states -----------------------------------------------------------------
    void SetTransform(int mode, const cMatrix& matrix, bool multiply = false) override;
    using IRenderer::SetTransform;
    void SetAlphaTest(int func, float reference) override;
    void SetBlendFunc(int src, int dst) override;
    void SetFillMode(int mode) override;
    void SetCullMode(int mode) override;
    void SetClearColor(const cColor& color) override { m_ClearColor = color; }
    void SetDepthWrite(bool enable) override;
    void SetColorWrite(bool enable) override;
    void SetTexture(ITexture* texture, int stage) override;
    void SetMaterial(IMaterial* material) override;
    void SetShader(IShader* shader) override;
    void SetRenderTarget(IRenderTarget* target) override;
    void SetCamera(scene::ICamera* camera, bool applyProjection = true) override;
    void SetVertexBuffer(IVertexBuffer* buffer) override;
    void SetIndexBuffer(IIndexBuffer* buffer) override;
    void SetFogMode(int mode) override;
    void SetViewport(IViewport* viewport) override;
    void SetScissor(bool enable, const cRect& rect) override;
    using IRenderer::SetScissor;
    void SetStencilFunc(int func, int reference, std::uint32_t mask) override;
    void SetTextureFiltering(int mode) override;
    void SetTextureAnisotropy(int level) override;
    void SetTextureDetailReduction(int levels) override { m_TextureDetailReduction = levels; }

    // ---- Queries -----------------------------------------------------------------------
    void GetFrustum(scene::IFrustum* frustum) override;
    int GetAlphaTestFunc() const override { return m_AlphaFunc; }
    int GetBlendSrc() const override { return m_BlendSrc; }
    int GetBlendDst() const override { return m_BlendDst; }
    int GetFillMode() const override { return m_FillMode; }
    int GetCullMode() const override { return m_CullMode; }
    cColor GetClearColor() const override { return m_ClearColor; }
    bool GetDepthWrite() const override { return m_DepthWrite; }
    int GetFogMode() const override { return m_FogMode; }
    std::size_t GetTextureMemoryUsage() override { return GetTexture2DMemoryUsage(); }
    std::size_t GetTexture2DMemoryUsage() override;
    std::size_t GetTexture3DMemoryUsage() override;
    std::size_t GetTextureCubeMemoryUsage() override;
    std::size_t GetVertexBufferMemoryUsage() override;
    std::size_t GetIndexBufferMemoryUsage() override;
    int GetReservedValue0() const override { return m_ReservedValue0; }
    int GetReservedValue1() const override { return m_ReservedValue1; }

    // ---- Loaders and drawing helpers ---------------------------------------------------
    void RegisterTextureLoader(ITexture2DLoader* loader) override;
    void RegisterCubeMapLoader(ITextureCubeLoader* loader) override;
    void RenderAxes(const cVector3& origin, float length) override;

    // ---- Resources ---------------------------------------------------------------------
    IVertexBuffer* CreateVertexBuffer(int usage, const sVertexElement* format, int stride, std::size_t size) override;
    IIndexBuffer* CreateIndexBuffer(int usage, int dataType, std::size_t size) override;
    ITexture2D* CreateTexture(const void* pixels, std::uint32_t width, std::uint32_t height,
                              std::uint32_t bytesPerPixel) override;
    ITexture2D* CreateTexture(const char* fileName) override;
    ITextureCube* CreateCubeTexture(const char* fileName) override;
    IFont* CreateFont(const char* fileName) override;
    IShader* CreateShader(const char* fileName, const std::vector<std::string>& vertexDefines,
                          const std::vector<std::string>& fragmentDefines) override;
    IShader* CreateShader(const char* fileName, const std::string& vertexHeader,
                          const std::string& fragmentHeader) override;

    // ---- For resources, backends and tests ---------------------------------------------
    int GetTextureFiltering() const { return m_TextureFiltering; }
    int GetTextureAnisotropy() const { return m_TextureAnisotropy; }
    int GetTextureDetailReduction() const { return m_TextureDetailReduction; }
    // The largest texture side the device takes; 0 while the backend cannot say (no device).
    virtual int GetMaxTextureSize() const { return 0; }
    scene::ICamera* GetCamera() const { return m_Camera; }
    ITexture* GetBoundTexture(int stage) const;
    IShader* GetBoundShader() const { return m_Shader; }
    IMaterial* GetBoundMaterial() const { return m_Material; }
    IViewport* GetBoundViewport() const { return m_Viewport; }
    // The camera the renderer is made with (current until SetCamera replaces it).
    scene::cCamera* GetDefaultCamera() { return &m_DefaultCamera; }
    IRenderTarget* GetBoundRenderTarget() const { return m_RenderTarget; }
    IVertexBuffer* GetBoundVertexBuffer() const { return m_VertexBuffer; }
    IIndexBuffer* GetBoundIndexBuffer() const { return m_IndexBuffer; }
    int GetIndexFormat() const { return m_IndexFormat; }
    cResourceManager& GetResourceManager() { return m_Resources; }
    // Forgets a resource that is being destroyed wherever the shadow still holds it, so that a
    // later object at the same address is bound again.
    void OnResourceDestroyed(const void* resource);
    // Number of state changes the backend has sent to the device (test hook for the shadow).
    std::uint64_t GetDeviceCallCount() const { return m_DeviceCalls; }
    // The file system resources are read through (the process-wide one).
    static IFileSystem* GetResourceFileSystem();

    // What the device was asked to draw in one frame.
    using sFrameStatistics = sDrawStatistics;
    // Counts one draw call of `triangles` triangles (0 for points and lines) into the running frame;
    // the backend and its resources call it for every draw they send.
    void CountDraw(std::uint64_t triangles) {
        ++m_FrameCounting.drawCalls;
        m_FrameCounting.triangles += triangles;
        ++m_Totals.drawCalls;
        m_Totals.triangles += triangles;
    }
    const sDrawStatistics& GetFrameStatistics() const override { return m_LastFrame; }
    const sDrawStatistics& GetTotalStatistics() const override { return m_Totals; }

protected:
    // Takes ownership of the backend's factory; registers the built-in loaders.
    explicit cCommonRenderer(cResourceFactory* factory);

    // Device side of the cached setters, called only when the value changes.
    virtual void DeviceSetAlphaTest(int func, float reference) = 0;
    virtual void DeviceSetBlendFunc(int src, int dst) = 0;
    virtual void DeviceSetFillMode(int mode) = 0;
    virtual void DeviceSetCullMode(int mode) = 0;
    virtual void DeviceSetDepthWrite(bool enable) = 0;
    virtual void DeviceSetFogMode(int mode) = 0;
    virtual void DeviceSetTexture(ITexture* texture, int stage) = 0;
    virtual void DeviceSetViewport(IViewport* viewport) = 0;
    // Stencil comparison and reference (the mask follows through SetStencilMask).
    virtual void DeviceSetStencilFunc(int func, int reference) = 0;

    // A font, or a shader from the open file with both headers, made by the factory and loaded
    // (a shader also compiled and named); raises on failure, leaving nothing behind.
    virtual IFont* LoadFont(const char* fileName);
    virtual IShader* LoadShader(IFile* file, const std::string& fileName, const std::string& vertexHeader,
                                const std::string& fragmentHeader);

    void CountDeviceCall() { ++m_DeviceCalls; }
    // Closes the running frame's figures (EndFrame calls it).
    void FinishFrameStatistics() {
        m_LastFrame = m_FrameCounting;
        m_FrameCounting = sFrameStatistics();
    }
    // Sets the shadow's values without touching the device (for a backend's initial states).
    void ForceCullModeShadow(int mode) { m_CullMode = mode; }

    std::unique_ptr<cResourceFactory> m_Factory;
    scene::ICamera* m_Camera = nullptr;
    int m_BlendSrc = BF_NONE;
    int m_BlendDst = BF_NONE;
    int m_AlphaFunc = CMP_OFF;
    float m_AlphaRef = 0.0f;
    int m_FillMode = FM_SOLID;
    int m_CullMode = CM_CW;
    int m_FogMode = FOG_OFF;
    bool m_DepthWrite = true;
    IMaterial* m_Material = nullptr;
    IShader* m_Shader = nullptr;
    IRenderTarget* m_RenderTarget = nullptr;
    IVertexBuffer* m_VertexBuffer = nullptr;
    IIndexBuffer* m_IndexBuffer = nullptr;
    IViewport* m_Viewport = nullptr;
    ITexture* m_Textures[kMaxTextureStages] = {};
    int m_ReservedValue0 = 0;
    int m_ReservedValue1 = 0;
    int m_IndexFormat = 0;
    scene::cCamera m_DefaultCamera;
    cResourceManager m_Resources;
    int m_TextureFiltering = TF_LINEAR_MIP_LINEAR;
    int m_TextureAnisotropy = 0;
    int m_TextureDetailReduction = 1;
    cColor m_ClearColor{0, 0, 0, 255};
    std::uint64_t m_DeviceCalls = 0;
    sFrameStatistics m_FrameCounting;
    sFrameStatistics m_LastFrame;
    sFrameStatistics m_Totals;

private:
    // Device creation and the renderer's sampler settings for a freshly loaded texture.
    void FinishTexture(ITexture2D* texture);
    // What the loaders may hand the device: its largest side, and for 2D textures the top levels the
    // detail reduction leaves out of a compressed chain.
    sImageLimits GetImageLimits(bool cube) const;
};

} // namespace velmora::video

#pragma once
// A renderer without a device for scene tests: it keeps buffers in memory,
// hands out named stand-in textures and records the calls scene code makes
// (texture, buffer and shader bindings, draws) as lines of text.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene::test {

class cNullRenderer;

class cMemoryVertexBuffer : public video::IVertexBuffer {
public:
    cMemoryVertexBuffer(cNullRenderer& owner, const video::sVertexElement* format, int stride, std::size_t size);
    ~cMemoryVertexBuffer() override;
    void Release() override;
    video::IVertexBuffer* AddRef() override;
    bool Fill(const void* data, std::size_t bytes) override;
    void* Lock(bool) override { return m_Data.data(); }
    bool Unlock() override { return true; }
    int GetSpareProperty() const override { return 0; }
    bool IsValid() const override { return true; }
    void Bind() override {}
    void Unbind() override {}
    void Create(int, const video::sVertexElement*, int, std::size_t) override {}
    std::size_t GetSize() const override { return m_Data.size(); }

    std::vector<video::sVertexElement> format;
    int stride = 0;
    int id = 0;
    const std::vector<std::uint8_t>& Data() const { return m_Data; }

private:
    cNullRenderer& m_Owner;
    std::vector<std::uint8_t> m_Data;
    int m_References = 1;
};

class cMemoryIndexBuffer : public video::IIndexBuffer {
public:
    cMemoryIndexBuffer(cNullRenderer& owner, int dataType, std::size_t size);
    ~cMemoryIndexBuffer() override;
    void Release() override;
    video::IIndexBuffer* AddRef() override;
    bool Fill(const void* data, std::size_t bytes) override;
    void* Lock(bool) override { return m_Data.data(); }
    bool Unlock() override { return true; }
    int GetDataType() const override { return m_DataType; }
    int GetUsage() const override { return 1; }
    bool IsValid() const override { return true; }
    void Bind() override {}
    void Unbind() override {}
    void Create(int, int, std::size_t) override {}
    std::size_t GetSize() const override { return m_Data.size(); }

    int id = 0;
    // The indices as 16-bit values.
    std::vector<std::uint16_t> Indices() const;

private:
    cNullRenderer& m_Owner;
    std::vector<std::uint8_t> m_Data;
    int m_DataType = 0;
    int m_References = 1;
};

class cNamedTexture : public video::ITexture2D {
public:
    cNamedTexture(cNullRenderer& owner, const std::string& name) : m_Owner(owner), m_Name(name) {}
    ~cNamedTexture() override;
    video::ITexture* AddRef() override;
    void Release() override;
    void SetFiltering(int) override {}
    void SetAnisotropy(int level) override { anisotropy = level; }
    void SetSpareProperty(int) override {}
    void SetAddressMode(int mode) override { addressMode = mode; }
    int GetType() const override { return video::TEX_2D; }
    int GetFiltering() const override { return 3; }
    int GetAnisotropy() const override { return anisotropy; }
    int GetSpareProperty() const override { return 0; }
    int GetAddressMode() const override { return addressMode; }
    const std::string& GetName() const override { return m_Name; }
    void Bind(int) override {}
    std::uint32_t GetImageWidth() const override { return 1; }
    std::uint32_t GetImageHeight() const override { return 1; }
    bool UpdateRect(int, int, int, int, const void*) override { return false; }
    // False, or raises where the renderer says so (a device that cannot read textures back).
    bool ReadData(std::vector<std::uint8_t>& out) override;
    void Create() override {}
    std::size_t GetMemoryUsage() const override { return 4; }

    int anisotropy = 0;
    int addressMode = 0;
    int references = 1;

private:
    cNullRenderer& m_Owner;
    std::string m_Name;
};

class cNullRenderer : public video::IRenderer {
public:
    cNullRenderer() = default;
    ~cNullRenderer() override;

    // What the renderer was asked to do, one line per call of interest.
    std::vector<std::string> calls;
    // Buffer creation fails while set (as on a backend without buffers).
    bool failBuffers = false;
    // Textures of these names fail to load.
    std::set<std::string> missingTextures;
    // Texture read-backs raise cException instead of failing quietly.
    bool readBackRaises = false;
    // Live objects (created and not yet released to zero).
    int liveVertexBuffers = 0;
    int liveIndexBuffers = 0;
    int liveTextures = 0;
    std::vector<cMemoryVertexBuffer*> vertexBuffers;
    std::vector<cMemoryIndexBuffer*> indexBuffers;
    int nextId = 1;

    void Forget(cMemoryVertexBuffer* buffer);
    void Forget(cMemoryIndexBuffer* buffer);
    void Forget(cNamedTexture* texture);
    // The cached texture of that name, or null.
    cNamedTexture* FindTexture(const std::string& name) const;

    // ---- Recorded ----
    void SetTexture(video::ITexture* texture, int stage) override;
    void SetVertexBuffer(video::IVertexBuffer* buffer) override;
    void SetIndexBuffer(video::IIndexBuffer* buffer) override;
    void SetShader(video::IShader* shader) override;
    void RenderIndexedPrimitives(int type, int ignored, int firstIndex, int vertexCount, int indexCount) override;
    void RenderIndexedPrimitives(int type, int ignored, int vertexCount, int indexCount) override;
    void RenderPrimitives(int type, int first, int count) override;
    video::IVertexBuffer* CreateVertexBuffer(int usage, const video::sVertexElement* format, int stride,
                                             std::size_t size) override;
    video::IIndexBuffer* CreateIndexBuffer(int usage, int dataType, std::size_t size) override;
    video::ITexture2D* CreateTexture(const char* fileName) override;

    // ---- Everything else does nothing ----
    void SetProjectionMatrix(const cMatrix&) override {}
    void SetProjection(int, int, int, double, double, double, double) override {}
    void SetOrthographic(double, double, double, double, double, double) override {}
    void SetViewport(video::IViewport*) override {}
    void SetViewportRect(int, int, int, int) override {}
    void SetTransform(int, const cMatrix&, bool) override {}
    void SetTransform(int, const cMatrix*, bool) override {}
    void SetAlphaTest(int, float) override {}
    void SetBlendFunc(int, int) override {}
    void SetBlendColor(float, float, float, float) override {}
    void SetFillMode(int) override {}
    void SetCullMode(int) override {}
    void SetClearColor(const cColor&) override {}
    void SetDepthWrite(bool) override {}
    void SetColorWrite(bool) override {}
    void SetMaterial(video::IMaterial*) override {}
    void SetRenderTarget(video::IRenderTarget*) override {}
    void SetCamera(scene::ICamera*, bool) override {}
    void SetFogMode(int) override {}
    void SetFogColor(int, float, float, float, float) override {}
    void SetFogParameter(int, float) override {}
    void SetClipPlane(int, int, float, float, float, float) override {}
    void SetScissor(bool, const cRect&) override {}
    void SetScissor(bool, int, int, int, int) override {}
    void SetStencilTest(bool) override {}
    void SetStencilFunc(int, int, std::uint32_t) override {}
    void SetStencilOp(int, int, int) override {}
    void SetStencilMask(std::uint32_t) override {}
    void SetDepthFunc(int) override {}
    void SetDepthRange(float, float) override {}
    void SetPointSize(float) override {}
    void SetLighting(bool) override {}
    void EnableLight(int, bool) override {}
    void SetLight(int, const video::sLight&) override {}
    void SetTextureFiltering(int) override {}
    void SetTextureAnisotropy(int) override {}
    void SetTextureDetailReduction(int) override {}
    void GetFrustum(scene::IFrustum*) override {}
    void GetTransform(int, cMatrix& out) override { out = cMatrix(); }
    void GetViewportRect(int& x, int& y, int& w, int& h) override { x = y = w = h = 0; }
    int GetAlphaTestFunc() const override { return 0; }
    int GetBlendSrc() const override { return 0; }
    int GetBlendDst() const override { return 0; }
    int GetFillMode() const override { return 1; }
    int GetCullMode() const override { return 2; }
    cColor GetClearColor() const override { return cColor(); }
    bool GetDepthWrite() const override { return true; }
    int GetFogMode() const override { return 0; }
    std::size_t GetTextureMemoryUsage() override { return 0; }
    std::size_t GetTexture2DMemoryUsage() override { return 0; }
    std::size_t GetTexture3DMemoryUsage() override { return 0; }
    std::size_t GetTextureCubeMemoryUsage() override { return 0; }
    std::size_t GetVertexBufferMemoryUsage() override { return 0; }
    std::size_t GetIndexBufferMemoryUsage() override { return 0; }
    int GetMaxAnisotropy() override { return 16; }
    int GetMaxTextureStages() override { return 8; }
    int GetReservedValue0() const override { return 0; }
    int GetReservedValue1() const override { return 0; }
    bool QueryFeature(int) override { return false; }
    void Project(cVector3& out, const cVector3& in) override { out = in; }
    void PushTransform(int) override {}
    void PopTransform(int) override {}
    void BeginFrame(const cColor&) override {}
    void BeginFrame() override {}
    void EndFrame() override {}
    void WaitForDevice() override {}
    const video::sDrawStatistics& GetFrameStatistics() const override { return m_Statistics; }
    const video::sDrawStatistics& GetTotalStatistics() const override { return m_Statistics; }
    void RegisterTextureLoader(video::ITexture2DLoader*) override {}
    void RegisterCubeMapLoader(video::ITextureCubeLoader*) override {}
    void RenderAxes(const cVector3&, float) override {}
    void RenderBox(const cVector3&, const cVector3&, const cColor&, bool) override {}
    void RenderSolidBox(const cVector3&, const cVector3&, const cColor&) override {}
    void RenderRect(video::ITexture*, const cRect&, const cRect&, const cColor&) override {}
    void RenderLine2D(const cVector2&, const cVector2&, const cColor&) override {}
    void RenderTriangle2D(const cVector2&, const cVector2&, const cVector2&, const cColor&) override {}
    void RenderLine(const cVector3&, const cVector3&, const cColor&) override {}
    void RenderQuad(video::ITexture*, const cVector3[4], const cVector3&, const cRect&, const cColor&) override {}
    void RenderQuad(video::ITexture*, const cVector3[4], const cRect&, const cColor&) override {}
    void RenderBezier2(const video::sBezier2&, int) override {}
    void RenderBezier3(const video::sBezier3&, int) override {}
    video::IMaterial* CreateMaterial() override { return nullptr; }
    video::ITexture2D* CreateTexture(const void*, std::uint32_t, std::uint32_t, std::uint32_t) override {
        return nullptr;
    }
    video::ITextureCube* CreateCubeTexture(const char*) override { return nullptr; }
    video::IFont* CreateFont(const char*) override { return nullptr; }
    video::IShader* CreateShader(const char*, const std::vector<std::string>&,
                                 const std::vector<std::string>&) override {
        return nullptr;
    }
    video::IShader* CreateShader(const char*, const std::string&, const std::string&) override { return nullptr; }
    video::IRenderTarget* CreateRenderTarget(int, int, int, int) override { return nullptr; }
    video::IOcclusionQuery* CreateOcclusionQuery() override { return nullptr; }
    video::IViewport* CreateViewport(tWindowHandle) override { return nullptr; }
    bool ReadPixels(int, int, int, int, std::vector<std::uint8_t>&) override { return false; }

private:
    std::vector<cNamedTexture*> m_Textures;
    video::sDrawStatistics m_Statistics;
};

} // namespace velmora::scene::test

#pragma once
// The one object through which the engine and the scene draw.
//
// The renderer owns the drawing device and every video resource it creates.
// It keeps a shadow copy of the render states it has set: setters marked
// "cached" compare with the shadow and do not reach the device when the value
// is unchanged. Named resources (2D and cube textures, fonts, shaders) are
// cached by name and reference-counted: a second request for the same name
// returns the loaded object with its count raised. Buffers are listed for
// memory accounting; materials, render targets, viewports and queries are
// owned by their callers and destroyed with their Release.
//
// Conventions: matrices are row-vector (cMatrix.h) and go to the device
// unchanged; screen space is in pixels with the origin at the bottom-left of
// the window; colours are 4-byte RGBA; angles are in degrees. Creation
// operations return null after logging a warning; state setters, stack
// operations, drawing and QueryFeature raise cException on misuse.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/cColor.h"
#include "engine/core/cMatrix.h"
#include "engine/core/cRect.h"
#include "engine/core/cVector2.h"
#include "engine/core/cVector3.h"
#include "engine/sRendererDesc.h"
#include "video/VideoTypes.h"

namespace velmora::scene {
class ICamera;
class IFrustum;
}

namespace velmora::video {

class ITexture;
class ITexture2D;
class ITextureCube;
class ITexture2DLoader;
class ITextureCubeLoader;
class IFont;
class IShader;
class IVertexBuffer;
class IIndexBuffer;
class IMaterial;
class IRenderTarget;
class IViewport;
class IOcclusionQuery;

// What the device was asked to draw.
struct sDrawStatistics {
    std::uint32_t drawCalls = 0;
    std::uint64_t triangles = 0;
};

class IRenderer {
public:
    // Releases the device objects, then every cached resource (resources still held by callers
    // must not be used afterwards).
    virtual ~IRenderer() = default;

    // ---- Projection, viewport, transforms --------------------------------------------------
    // Loads the projection matrix unchanged.
    virtual void SetProjectionMatrix(const cMatrix& matrix) = 0;
    // (type 0 orthographic / 1 perspective, width, height, near, far, aspect, fov in degrees);
    // width or height 0 means the client size. Orthographic: 0..width x 0..height, depth
    // -4096..4096 (near and far ignored). Perspective: aspect -1 means width / height, fov -1 90.
    virtual void SetProjection(int type, int width, int height, double zNear, double zFar, double aspect,
                               double fov) = 0;
    // Orthographic projection of the given box.
    virtual void SetOrthographic(double left, double right, double bottom, double top, double zNear,
                                 double zFar) = 0;
    // Makes an output window current for EndFrame; null returns to the main window. Cached.
    virtual void SetViewport(IViewport* viewport) = 0;
    // Pixels with the origin at the bottom-left, clipped to the bound render target or the window.
    virtual void SetViewportRect(int x, int y, int width, int height) = 0;
    // As the pointer form below.
    virtual void SetTransform(int mode, const cMatrix& matrix, bool multiply = false) = 0;
    // (MatrixMode, matrix, multiply): null means identity; with multiply the new matrix is
    // `matrix` times the current one (the given one applied first).
    virtual void SetTransform(int mode, const cMatrix* matrix, bool multiply = false) = 0;

    // ---- Render states ----------------------------------------------------------------------
    // (CompareFunc, reference 0..1); function 0 switches the test off. Cached on both values.
    virtual void SetAlphaTest(int func, float reference) = 0;
    // (source, destination BlendFactor); 0 in either switches blending off. Cached.
    virtual void SetBlendFunc(int src, int dst) = 0;
    // Constant blend colour (floats 0..1).
    virtual void SetBlendColor(float r, float g, float b, float a) = 0;
    // FillMode. Cached.
    virtual void SetFillMode(int mode) = 0;
    // CullMode. Cached.
    virtual void SetCullMode(int mode) = 0;
    // Colour used by BeginFrame without argument; black opaque at start.
    virtual void SetClearColor(const cColor& color) = 0;
    // Depth writes. Cached.
    virtual void SetDepthWrite(bool enable) = 0;
    // true: SetBlendFunc(0, 0); false: SetBlendFunc(1, 2), so drawing leaves the colours unchanged.
    virtual void SetColorWrite(bool enable) = 0;
    // Binds a texture at stage 0-7 (the texture sets its own sampler states); null empties
    // the stage. Cached per stage.
    virtual void SetTexture(ITexture* texture, int stage) = 0;
    // Binds the material; null unbinds the current one. Cached.
    virtual void SetMaterial(IMaterial* material) = 0;
    // Unbinds the current shader and binds the new one (null: fixed function). Cached.
    virtual void SetShader(IShader* shader) = 0;
    // Unbinds the current target and binds the new one (null: the window). Cached.
    virtual void SetRenderTarget(IRenderTarget* target) = 0;
    // With a camera: optionally loads its perspective, loads its look-at view, fills its
    // frustum and makes it current. Null: the default view (origin, looking down -z, up -y).
    virtual void SetCamera(scene::ICamera* camera, bool applyProjection = true) = 0;
    // No operation.
    virtual void Reserved21(int, int, int) {}
    // Unbinds the current vertex buffer and binds the new one. Cached.
    virtual void SetVertexBuffer(IVertexBuffer* buffer) = 0;
    // Unbinds the current index buffer, binds the new one and records its index type. Cached.
    virtual void SetIndexBuffer(IIndexBuffer* buffer) = 0;
    // FogMode. Cached.
    virtual void SetFogMode(int mode) = 0;
    // Fog colour (floats 0..1); only index 0 has an effect.
    virtual void SetFogColor(int index, float r, float g, float b, float a) = 0;
    // (FogParameter, value): start, end or density.
    virtual void SetFogParameter(int parameter, float value) = 0;
    // enable 1 switches on only plane `index` with the world-space plane a x + b y + c z + d >= 0
    // kept; enable 0 switches every plane off. With a shader bound the plane is taken to clip
    // space, so GLSL programs must not write gl_ClipVertex.
    virtual void SetClipPlane(int index, int enable, float a, float b, float c, float d) = 0;
    // Scissor from a rectangle (x1, y1, x2, y2): SetScissor(enable, x1, y1, x2 - x1, y2 - y1).
    virtual void SetScissor(bool enable, const cRect& rect) = 0;
    // Scissor rectangle in pixels with the origin at the top-left of the target.
    virtual void SetScissor(bool enable, int x, int y, int width, int height) = 0;
    virtual void SetStencilTest(bool enable) = 0;
    // (CompareFunc, reference, mask); the mask goes through SetStencilMask.
    virtual void SetStencilFunc(int func, int reference, std::uint32_t mask) = 0;
    // (fail, depth-fail, pass) StencilOp.
    virtual void SetStencilOp(int fail, int depthFail, int pass) = 0;
    virtual void SetStencilMask(std::uint32_t mask) = 0;
    // CompareFunc of the depth test.
    virtual void SetDepthFunc(int func) = 0;
    // Maps the depth of what is drawn next into [zNear, zFar] of the depth buffer (each 0..1; (0, 1) is the
    // normal state): (1, 1) puts it at the far end, behind everything drawn.
    virtual void SetDepthRange(float zNear, float zFar) = 0;
    // Point size (and minimum point size) in pixels.
    virtual void SetPointSize(float size) = 0;
    // Fixed-function lighting.
    virtual void SetLighting(bool enable) = 0;
    virtual void EnableLight(int index, bool enable) = 0;
    // A fixed-function light (diffuse 0.6, ambient 0.4) and a white material.
    virtual void SetLight(int index, const sLight& light) = 0;
    // Filtering mode for every cached 2D texture and those created later.
    virtual void SetTextureFiltering(int mode) = 0;
    // Anisotropy level for every cached 2D texture and those created later.
    virtual void SetTextureAnisotropy(int level) = 0;
    // Number of top mip levels dropped from compressed textures when they are created.
    virtual void SetTextureDetailReduction(int levels) = 0;

    // ---- Queries ----------------------------------------------------------------------------
    // Fills the frustum from the current view and projection matrices.
    virtual void GetFrustum(scene::IFrustum* frustum) = 0;
    // The current matrix of a MatrixMode.
    virtual void GetTransform(int mode, cMatrix& out) = 0;
    // Reserved; returns -1.
    virtual float Reserved44(int, int) { return -1.0f; }
    // The viewport as the device holds it, origin at the top-left.
    virtual void GetViewportRect(int& x, int& y, int& width, int& height) = 0;
    virtual int GetAlphaTestFunc() const = 0;
    virtual int GetBlendSrc() const = 0;
    virtual int GetBlendDst() const = 0;
    virtual int GetFillMode() const = 0;
    virtual int GetCullMode() const = 0;
    virtual cColor GetClearColor() const = 0;
    virtual bool GetDepthWrite() const = 0;
    virtual int GetFogMode() const = 0;
    // Same as GetTexture2DMemoryUsage.
    virtual std::size_t GetTextureMemoryUsage() = 0;
    // Sum over the cached 2D textures.
    virtual std::size_t GetTexture2DMemoryUsage() = 0;
    // Raises "not implemented yet".
    virtual std::size_t GetTexture3DMemoryUsage() = 0;
    // Raises "not implemented yet".
    virtual std::size_t GetTextureCubeMemoryUsage() = 0;
    // Sum over the listed vertex buffers.
    virtual std::size_t GetVertexBufferMemoryUsage() = 0;
    // Sum over the listed index buffers.
    virtual std::size_t GetIndexBufferMemoryUsage() = 0;
    // Reserved; return 0.
    virtual int Reserved60() { return 0; }
    virtual int Reserved61() { return 0; }
    virtual int Reserved62() { return 0; }
    // Largest anisotropy level of the device.
    virtual int GetMaxAnisotropy() = 0;
    // Number of textures the device can use at once.
    virtual int GetMaxTextureStages() = 0;
    // Two integers without other use (0).
    virtual int GetReservedValue0() const = 0;
    virtual int GetReservedValue1() const = 0;
    // Feature (VideoTypes.h); raises cException for a value outside 0..14.
    virtual bool QueryFeature(int feature) = 0;
    // World point to window coordinates with y counted from the bottom; z is the depth -1..1.
    virtual void Project(cVector3& out, const cVector3& in) = 0;
    // Reserved; gives the zero vector.
    virtual void Reserved69(cVector3& out, const cVector3&) { out = cVector3(); }
    // Saves the current matrix of mode 0-3 (32 deep); raises on overflow.
    virtual void PushTransform(int mode) = 0;
    // Restores the last saved matrix of mode 0-3; raises on underflow.
    virtual void PopTransform(int mode) = 0;

    // ---- Frame ------------------------------------------------------------------------------
    // Clears colour, depth (1.0) and stencil (0) with the colour and begins the frame.
    virtual void BeginFrame(const cColor& color) = 0;
    // BeginFrame with the clear colour.
    virtual void BeginFrame() = 0;
    // Ends the frame and presents it.
    virtual void EndFrame() = 0;
    // Blocks until the device has carried out every command given so far (profiling).
    virtual void WaitForDevice() = 0;
    // Draw calls and triangles of the last frame ended with EndFrame.
    virtual const sDrawStatistics& GetFrameStatistics() const = 0;
    // Everything drawn since the renderer was made (the draw-call count wraps).
    virtual const sDrawStatistics& GetTotalStatistics() const = 0;

    // ---- Loaders ----------------------------------------------------------------------------
    // Adds a 2D image loader under its extension; the first one registered for an extension stays.
    virtual void RegisterTextureLoader(ITexture2DLoader* loader) = 0;
    // Adds a cube-map loader under its extension; the first one registered stays.
    virtual void RegisterCubeMapLoader(ITextureCubeLoader* loader) = 0;

    // ---- Immediate drawing ------------------------------------------------------------------
    // Lines from the origin along +x (red), +y (green) and +z (blue).
    virtual void RenderAxes(const cVector3& origin, float length) = 0;
    // Wire box; with markCenter also RenderAxes(centre, 0.05).
    virtual void RenderBox(const cVector3& min, const cVector3& max, const cColor& color, bool markCenter = false) = 0;
    // Filled box.
    virtual void RenderSolidBox(const cVector3& min, const cVector3& max, const cColor& color) = 0;
    // No operation.
    virtual void Reserved80(int, int, int) {}
    virtual void Reserved81(int, int, int, int) {}
    // Screen-space quad over `dst` (x1, y1, x2, y2) with texture coordinates `src` (s1, t1, s2, t2):
    // t1 at the top edge y2, t2 at the bottom edge y1. A texture is bound to stage 0 for the draw.
    virtual void RenderRect(ITexture* texture, const cRect& dst, const cRect& src, const cColor& color) = 0;
    virtual void RenderLine2D(const cVector2& a, const cVector2& b, const cColor& color) = 0;
    virtual void RenderTriangle2D(const cVector2& a, const cVector2& b, const cVector2& c, const cColor& color) = 0;
    // World-space line.
    virtual void RenderLine(const cVector3& a, const cVector3& b, const cColor& color) = 0;
    // World-space quad over four corners plus an offset, coordinates (s1, t1), (s1, t2), (s2, t2), (s2, t1).
    virtual void RenderQuad(ITexture* texture, const cVector3 corners[4], const cVector3& offset, const cRect& texRect,
                            const cColor& color) = 0;
    virtual void RenderQuad(ITexture* texture, const cVector3 corners[4], const cRect& texRect,
                            const cColor& color) = 0;
    // (PrimitiveType, first vertex, vertex count) from the bound vertex buffer.
    virtual void RenderPrimitives(int type, int first, int count) = 0;
    // (PrimitiveType, ignored, first index, vertex count, index count); only with a vertex buffer bound.
    virtual void RenderIndexedPrimitives(int type, int ignored, int firstIndex, int vertexCount, int indexCount) = 0;
    // (PrimitiveType, ignored, vertex count, index count) from index 0.
    virtual void RenderIndexedPrimitives(int type, int ignored, int vertexCount, int indexCount) = 0;
    // White line strip through segments + 1 points of the curve; fewer than 2 segments raise.
    virtual void RenderBezier2(const sBezier2& curve, int segments) = 0;
    virtual void RenderBezier3(const sBezier3& curve, int segments) = 0;
    // Reserved; returns false.
    virtual bool Reserved93(int) { return false; }

    // ---- Resource creation (null after a warning on failure) -------------------------------
    // (usage 2 = dynamic, format ended by usage VU_END, vertex size, size in bytes).
    virtual IVertexBuffer* CreateVertexBuffer(int usage, const sVertexElement* format, int stride,
                                              std::size_t size) = 0;
    // (usage, T_USHORT or T_UINT, size in bytes).
    virtual IIndexBuffer* CreateIndexBuffer(int usage, int dataType, std::size_t size) = 0;
    virtual IMaterial* CreateMaterial() = 0;
    // A texture from a copy of width x height x bytesPerPixel bytes (rows bottom first); not
    // cached, named "__memory", destroyed when released to zero.
    virtual ITexture2D* CreateTexture(const void* pixels, std::uint32_t width, std::uint32_t height,
                                      std::uint32_t bytesPerPixel) = 0;
    // A cached texture from a file; without an extension the registered ones are tried in
    // order (".dds", ".jpg", ".tga").
    virtual ITexture2D* CreateTexture(const char* fileName) = 0;
    // A cached cube texture from a file.
    virtual ITextureCube* CreateCubeTexture(const char* fileName) = 0;
    // A cached font from a ".fnt" file.
    virtual IFont* CreateFont(const char* fileName) = 0;
    // A cached shader, headers made of one "#define name" line per entry.
    virtual IShader* CreateShader(const char* fileName, const std::vector<std::string>& vertexDefines,
                                  const std::vector<std::string>& fragmentDefines) = 0;
    // A cached shader with the texts put in front of each program; the same file with other
    // headers is another shader.
    virtual IShader* CreateShader(const char* fileName, const std::string& vertexHeader,
                                  const std::string& fragmentHeader) = 0;
    // (width, height, format index 0-5, ignored).
    virtual IRenderTarget* CreateRenderTarget(int width, int height, int format, int ignored = 0) = 0;
    virtual IOcclusionQuery* CreateOcclusionQuery() = 0;
    // An output viewport over another window.
    virtual IViewport* CreateViewport(tWindowHandle window) = 0;

    // ---- Read-back (captures and tools) ---------------------------------------------------
    // The colour buffer being drawn (call before EndFrame) from (x, y) counted from the
    // bottom-left, as RGBA rows bottom first, into `out` (width x height x 4 bytes); false for a
    // rectangle outside the target or when the device cannot read back.
    virtual bool ReadPixels(int x, int y, int width, int height, std::vector<std::uint8_t>& out) = 0;
};

// The platform's renderer table (one file per platform names its backends).
// Creates the renderer for the descriptor's id on the window; null (with a warning) on failure, also for an id
// this build has no backend for.
IRenderer* CreateRenderer(const sRendererDesc& desc, tWindowHandle window, int width, int height, bool fullscreen);
// True when this build has a backend for the renderer id.
bool IsRendererAvailable(int rendererId);

} // namespace velmora::video

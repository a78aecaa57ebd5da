#include "video/cCommonRenderer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/IFile.h"
#include "engine/filesystem/IFileSystem.h"
#include "video/IBuffers.h"
#include "video/ICamera.h"
#include "video/IFont.h"
#include "video/IResources.h"
#include "video/IShader.h"
#include "video/cCommonFont.h"
#include "video/cCommonShader.h"
#include "video/cCommonTexture2D.h"
#include "video/cCommonTextureCube.h"
#include "video/loaders/cDDSTexture2DLoader.h"
#include "video/loaders/cDDSTextureCubeLoader.h"
#include "video/loaders/cJPGTexture2DLoader.h"
#include "video/loaders/cTGATexture2DLoader.h"

namespace velmora::video {

namespace {

// From the last "." to the end; empty when there is none (or the dot belongs to a folder).
std::string GetExtension(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return std::string();
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string::npos && slash > dot) return std::string();
    return name.substr(dot);
}

// Releases a file when the scope ends.
class cFileGuard {
public:
    explicit cFileGuard(IFile* file) : m_File(file) {}
    ~cFileGuard() {
        if (m_File) m_File->Release();
    }
    cFileGuard(const cFileGuard&) = delete;
    cFileGuard& operator=(const cFileGuard&) = delete;

private:
    IFile* m_File;
};

} // namespace

const char* GetFeatureName(int feature) {
    static const char* const kNames[FEAT_COUNT] = {
        "Rendering to target",  "Anisotropic filtering", "Cube textures",        "NP2 cube textures",
        "Mipmapped cube textures", "NP2 textures",       "Vertex shaders 1.1",   "Vertex shaders 2.0",
        "Vertex shaders 3.0",   "Fragemnt shaders 1.1",  "Fragemnt shaders 1.2", "Fragemnt shaders 1.3",
        "Fragemnt shaders 1.4", "Fragemnt shaders 2.0",  "Fragemnt shaders 3.0",
    };
    return feature >= 0 && feature < FEAT_COUNT ? kNames[feature] : nullptr;
}

cCommonRenderer::cCommonRenderer(cResourceFactory* factory) : m_Factory(factory), m_Resources(factory) {
    m_Camera = &m_DefaultCamera;
    RegisterTextureLoader(cTGATexture2DLoader::GetInstance());
    RegisterTextureLoader(cDDSTexture2DLoader::GetInstance());
    RegisterTextureLoader(cJPGTexture2DLoader::GetInstance());
    RegisterCubeMapLoader(cDDSTextureCubeLoader::GetInstance());
}

cCommonRenderer::~cCommonRenderer() {
    // Resources go before the factory that made them (member order does the rest).
    m_Resources.Clear();
}

IFileSystem* cCommonRenderer::GetResourceFileSystem() {
    IFileSystem* fs = GetProcessFileSystem();
    return fs ? fs : GetFileSystem();
}

// ---- Cached states ---------------------------------------------------------------------------

void cCommonRenderer::SetTransform(int mode, const cMatrix& matrix, bool multiply) {
    SetTransform(mode, &matrix, multiply);
}

void cCommonRenderer::SetAlphaTest(int func, float reference) {
    if (func == m_AlphaFunc && reference == m_AlphaRef) return;
    m_AlphaFunc = func;
    m_AlphaRef = reference;
    DeviceSetAlphaTest(func, reference);
}

void cCommonRenderer::SetBlendFunc(int src, int dst) {
    if (src == m_BlendSrc && dst == m_BlendDst) return;
    m_BlendSrc = src;
    m_BlendDst = dst;
    DeviceSetBlendFunc(src, dst);
}

void cCommonRenderer::SetFillMode(int mode) {
    if (mode == m_FillMode) return;
    m_FillMode = mode;
    DeviceSetFillMode(mode);
}

void cCommonRenderer::SetCullMode(int mode) {
    if (mode == m_CullMode) return;
    m_CullMode = mode;
    DeviceSetCullMode(mode);
}

void cCommonRenderer::SetDepthWrite(bool enable) {
    if (enable == m_DepthWrite) return;
    m_DepthWrite = enable;
    DeviceSetDepthWrite(enable);
}

void cCommonRenderer::SetColorWrite(bool enable) {
    if (enable) {
        SetBlendFunc(BF_NONE, BF_NONE);
    } else {
        SetBlendFunc(BF_ZERO, BF_ONE);
    }
}

void cCommonRenderer::SetTexture(ITexture* texture, int stage) {
    if (stage < 0 || stage >= kMaxTextureStages) RaiseError("cCommonRenderer::SetTexture : invalid stage %d", stage);
    if (m_Textures[stage] == texture) return;
    m_Textures[stage] = texture;
    DeviceSetTexture(texture, stage);
}

ITexture* cCommonRenderer::GetBoundTexture(int stage) const {
    return stage >= 0 && stage < kMaxTextureStages ? m_Textures[stage] : nullptr;
}

void cCommonRenderer::SetMaterial(IMaterial* material) {
    if (material == m_Material) return;
    IMaterial* old = m_Material;
    m_Material = material;
    if (material) {
        material->Bind();
    } else if (old) {
        old->Unbind();
    }
}

void cCommonRenderer::SetShader(IShader* shader) {
    if (shader == m_Shader) return;
    if (m_Shader) m_Shader->Unbind();
    m_Shader = shader;
    if (shader) shader->Bind();
}

void cCommonRenderer::SetRenderTarget(IRenderTarget* target) {
    if (target == m_RenderTarget) return;
    // The old target unbinds with the window as the drawing target again, so that what it
    // restores (viewport, scissor) is measured against the window.
    IRenderTarget* old = m_RenderTarget;
    m_RenderTarget = nullptr;
    if (old) old->Unbind();
    m_RenderTarget = target;
    if (target) target->Bind();
}

void cCommonRenderer::SetCamera(scene::ICamera* camera, bool applyProjection) {
    if (camera) {
        if (applyProjection) {
            SetProjectionMatrix(cMatrix::Perspective(camera->GetFieldOfView(), camera->GetAspectRatio(),
                                                     camera->GetNearDistance(), camera->GetFarDistance()));
        }
        const cVector3& position = camera->GetPosition();
        const cMatrix view = cMatrix::LookAt(position, position + camera->GetDirection(), camera->GetUp());
        SetTransform(MM_VIEW, &view);
        GetFrustum(camera->GetFrustum());
        m_Camera = camera;
    } else {
        const cMatrix view = cMatrix::LookAt(cVector3(0, 0, 0), cVector3(0, 0, -1), cVector3(0, -1, 0));
        SetTransform(MM_VIEW, &view);
        m_Camera = nullptr;
    }
}

void cCommonRenderer::SetVertexBuffer(IVertexBuffer* buffer) {
    if (buffer == m_VertexBuffer) return;
    if (m_VertexBuffer) m_VertexBuffer->Unbind();
    m_VertexBuffer = buffer;
    if (buffer) buffer->Bind();
}

void cCommonRenderer::SetIndexBuffer(IIndexBuffer* buffer) {
    if (buffer == m_IndexBuffer) return;
    if (m_IndexBuffer) m_IndexBuffer->Unbind();
    m_IndexBuffer = buffer;
    if (buffer) {
        buffer->Bind();
        m_IndexFormat = buffer->GetDataType();
    }
}

void cCommonRenderer::SetFogMode(int mode) {
    if (mode == m_FogMode) return;
    m_FogMode = mode;
    DeviceSetFogMode(mode);
}

void cCommonRenderer::SetViewport(IViewport* viewport) {
    if (viewport == m_Viewport) return;
    m_Viewport = viewport;
    DeviceSetViewport(viewport);
}

void cCommonRenderer::SetScissor(bool enable, const cRect& rect) {
    SetScissor(enable, static_cast<int>(rect.x1), static_cast<int>(rect.y1), static_cast<int>(rect.x2 - rect.x1),
               static_cast<int>(rect.y2 - rect.y1));
}

void cCommonRenderer::SetStencilFunc(int func, int reference, std::uint32_t mask) {
    DeviceSetStencilFunc(func, reference);
    SetStencilMask(mask);
}

void cCommonRenderer::SetTextureFiltering(int mode) {
    m_TextureFiltering = mode;
    for (auto& entry : m_Resources.Textures()) entry.second->SetFiltering(mode);
}

void cCommonRenderer::SetTextureAnisotropy(int level) {
    m_TextureAnisotropy = level;
    for (auto& entry : m_Resources.Textures()) entry.second->SetAnisotropy(level);
}

void cCommonRenderer::OnResourceDestroyed(const void* resource) {
    if (!resource) return;
    for (ITexture*& texture : m_Textures) {
        if (texture == resource) texture = nullptr;
    }
    if (m_Shader == resource) m_Shader = nullptr;
    if (m_Material == resource) m_Material = nullptr;
    if (m_RenderTarget == resource) m_RenderTarget = nullptr;
    if (m_VertexBuffer == resource) m_VertexBuffer = nullptr;
    if (m_IndexBuffer == resource) m_IndexBuffer = nullptr;
    if (m_Viewport == resource) m_Viewport = nullptr;
    if (m_Camera == resource) m_Camera = nullptr;
}

// ---- Queries -----------------------------------------------------------------------------------

void cCommonRenderer::GetFrustum(scene::IFrustum* frustum) {
    if (!frustum) return;
    cMatrix view, projection;
    GetTransform(MM_VIEW, view);
    GetTransform(MM_PROJECTION, projection);
    frustum->Build(view * projection);
}

std::size_t cCommonRenderer::GetTexture2DMemoryUsage() {
    std::size_t total = 0;
    for (auto& entry : m_Resources.Textures()) total += entry.second->GetMemoryUsage();
    return total;
}

std::size_t cCommonRenderer::GetTexture3DMemoryUsage() {
    RaiseError("cCommonRenderer::GetTexture3DMemoryUsage : not implemented yet");
}

std::size_t cCommonRenderer::GetTextureCubeMemoryUsage() {
    RaiseError("cCommonRenderer::GetTextureCubeMemoryUsage : not implemented yet");
}

std::size_t cCommonRenderer::GetVertexBufferMemoryUsage() {
    std::size_t total = 0;
    for (IVertexBuffer* buffer : m_Resources.VertexBuffers()) total += buffer->GetSize();
    return total;
}

std::size_t cCommonRenderer::GetIndexBufferMemoryUsage() {
    std::size_t total = 0;
    for (IIndexBuffer* buffer : m_Resources.IndexBuffers()) total += buffer->GetSize();
    return total;
}

// ---- Loaders and drawing helpers ---------------------------------------------------------------

void cCommonRenderer::RegisterTextureLoader(ITexture2DLoader* loader) { m_Resources.RegisterTexture2DLoader(loader); }

void cCommonRenderer::RegisterCubeMapLoader(ITextureCubeLoader* loader) { m_Resources.RegisterCubeMapLoader(loader); }

void cCommonRenderer::RenderAxes(const cVector3& origin, float length) {
    RenderLine(origin, origin + cVector3(length, 0, 0), cColor(255, 0, 0));
    RenderLine(origin, origin + cVector3(0, length, 0), cColor(0, 255, 0));
    RenderLine(origin, origin + cVector3(0, 0, length), cColor(0, 0, 255));
}

// ---- Resources ---------------------------------------------------------------------------------

void cCommonRenderer::FinishTexture(ITexture2D* texture) {
    texture->Create();
    texture->SetFiltering(m_TextureFiltering);
    texture->SetAnisotropy(m_TextureAnisotropy);
}

sImageLimits cCommonRenderer::GetImageLimits(bool cube) const {
    sImageLimits limits;
    const int maxSize = GetMaxTextureSize();
    if (maxSize > 0 && static_cast<std::uint32_t>(maxSize) < limits.maxEdge) {
        limits.maxEdge = static_cast<std::uint32_t>(maxSize);
    }
    if (!cube && m_TextureDetailReduction > 0) {
        limits.droppedLevels = static_cast<std::uint32_t>(m_TextureDetailReduction);
    }
    return limits;
}

ITexture2D* cCommonRenderer::CreateTexture(const char* fileName) {
    LogMessage("Creating texture( %s )... ", fileName ? fileName : "(null)");
    try {
        if (!fileName || !*fileName) RaiseError("empty file name");
        IFileSystem* fs = GetResourceFileSystem();
        std::string name = fileName;
        std::string extension = GetExtension(name);
        if (extension.empty() && fs) {
            for (const auto& entry : m_Resources.TextureLoaders()) {
                if (fs->FileExists((name + entry.first).c_str())) {
                    name += entry.first;
                    extension = entry.first;
                    break;
                }
            }
        }

        auto& cache = m_Resources.Textures();
        auto cached = cache.find(name);
        if (cached != cache.end()) {
            cached->second->AddRef();
            LogMessage("succeeded\n");
            return cached->second;
        }

        ITexture2DLoader* loader = m_Resources.FindTexture2DLoader(extension);
        if (!loader) RaiseError("unsupported image format");
        if (!fs) RaiseError("no file system");

        ITexture2D* texture = m_Factory->NewTexture2D(&m_Resources);
        if (!texture) RaiseError("failed to allocate memory for texture");
        cCommonTexture2D* common = static_cast<cCommonTexture2D*>(texture);
        cache[name] = texture;
        common->SetName(name);

        IFile* file = fs->OpenFile(name.c_str());
        if (!file) {
            cache.erase(name);
            delete texture;
            return nullptr;
        }
        try {
            {
                cFileGuard guard(file); // the file closes before the upload
                loader->LoadTexture(file, common->GetImage(), GetImageLimits(false));
            }
            FinishTexture(texture);
        } catch (...) {
            cache.erase(name);
            delete texture;
            throw;
        }
        LogMessage("succeeded\n");
        return texture;
    } catch (const cException& e) {
        LogWarning("cCommonRenderer::CreateTexture : %s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cCommonRenderer::CreateTexture : failed to allocate memory\n");
    }
    return nullptr;
}

ITexture2D* cCommonRenderer::CreateTexture(const void* pixels, std::uint32_t width, std::uint32_t height,
                                           std::uint32_t bytesPerPixel) {
    ITexture2D* texture = nullptr;
    try {
        if (!pixels) RaiseError("NULL pointer to pixel data");
        if (width == 0 || height == 0 || width > 65536 || height > 65536 || bytesPerPixel == 0 || bytesPerPixel > 4) {
            RaiseError("invalid image size %ux%u x %u", width, height, bytesPerPixel);
        }
        texture = m_Factory->NewTexture2D(&m_Resources);
        if (!texture) RaiseError("failed to allocate memory for texture");
        cCommonTexture2D* common = static_cast<cCommonTexture2D*>(texture);
        sImageData& image = common->GetImage();
        const std::size_t bytes = static_cast<std::size_t>(width) * height * bytesPerPixel;
        try {
            image.pixels.resize(bytes);
        } catch (...) {
            RaiseError("failed to allocate memory");
        }
        std::memcpy(image.pixels.data(), pixels, bytes);
        image.width = width;
        image.height = height;
        image.bytesPerPixel = bytesPerPixel;
        image.mipCount = 0;
        image.compression = TC_NONE;
        FinishTexture(texture);
        m_Resources.TrackMemoryTexture(texture);
        return texture;
    } catch (const cException& e) {
        delete texture;
        LogWarning("cCommonRenderer::CreateTexture : %s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        delete texture;
        LogWarning("cCommonRenderer::CreateTexture : failed to allocate memory\n");
    }
    return nullptr;
}

ITextureCube* cCommonRenderer::CreateCubeTexture(const char* fileName) {
    LogMessage("Creating cube texture... ");
    try {
        if (!fileName || !*fileName) RaiseError("empty file name");
        const std::string name = fileName;
        auto& cache = m_Resources.CubeTextures();
        auto cached = cache.find(name);
        if (cached != cache.end()) {
            cached->second->AddRef();
            LogMessage("succeeded\n");
            return cached->second;
        }
        ITextureCubeLoader* loader = m_Resources.FindCubeMapLoader(GetExtension(name));
        if (!loader) RaiseError("unsupported image format");
        IFileSystem* fs = GetResourceFileSystem();
        if (!fs) RaiseError("no file system");

        ITextureCube* texture = m_Factory->NewTextureCube(&m_Resources);
        if (!texture) RaiseError("cube textures are not supported by this renderer");
        cCommonTextureCube* common = static_cast<cCommonTextureCube*>(texture);
        cache[name] = texture;

        IFile* file = fs->OpenFile(name.c_str());
        if (!file) {
            cache.erase(name);
            delete texture;
            return nullptr;
        }
        try {
            cFileGuard guard(file);
            loader->LoadTextureCube(file, common->GetImage(), GetImageLimits(true));
            common->SetName(name);
            texture->Create();
        } catch (...) {
            cache.erase(name);
            delete texture;
            throw;
        }
        LogMessage("succeeded\n");
        return texture;
    } catch (const cException& e) {
        LogWarning("cCommonRenderer::CreateTexture : %s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cCommonRenderer::CreateTexture : failed to allocate memory\n");
    }
    return nullptr;
}

IFont* cCommonRenderer::LoadFont(const char* fileName) {
    IFont* font = m_Factory->NewFont(&m_Resources);
    if (!font) RaiseError("fonts are not supported by this renderer");
    try {
        IFileSystem* fs = GetResourceFileSystem();
        IFile* file = fs ? fs->OpenFile(fileName) : nullptr;
        if (!file) RaiseError("cCommonFont::Create : '%s' not found", fileName);
        cFileGuard guard(file);
        cCommonFont* common = static_cast<cCommonFont*>(font);
        common->SetName(fileName);
        common->Create(file);
    } catch (...) {
        delete font;
        throw;
    }
    return font;
}

IShader* cCommonRenderer::LoadShader(IFile* file, const std::string& fileName, const std::string& vertexHeader,
                                     const std::string& fragmentHeader) {
    IShader* shader = m_Factory->NewShader(&m_Resources);
    if (!shader) RaiseError("shaders are not supported by this renderer");
    try {
        cCommonShader* common = static_cast<cCommonShader*>(shader);
        common->LoadShaderCode(file, vertexHeader, fragmentHeader);
        common->CompileShader();
        common->SetName(fileName);
    } catch (...) {
        delete shader;
        throw;
    }
    return shader;
}

IFont* cCommonRenderer::CreateFont(const char* fileName) {
    try {
        if (!fileName || !*fileName) RaiseError("empty file name");
        auto& cache = m_Resources.Fonts();
        auto cached = cache.find(fileName);
        if (cached != cache.end()) {
            cached->second->AddRef();
            return cached->second;
        }
        IFont* font = LoadFont(fileName);
        if (!font) return nullptr;
        cache[fileName] = font;
        return font;
    } catch (const cException& e) {
        LogWarning("cCommonRenderer::CreateFont : %s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cCommonRenderer::CreateFont : failed to allocate memory\n");
    }
    return nullptr;
}

IShader* cCommonRenderer::CreateShader(const char* fileName, const std::vector<std::string>& vertexDefines,
                                       const std::vector<std::string>& fragmentDefines) {
    std::string vertexHeader, fragmentHeader;
    for (const std::string& define : vertexDefines) vertexHeader += "#define " + define + "\n";
    for (const std::string& define : fragmentDefines) fragmentHeader += "#define " + define + "\n";
    return CreateShader(fileName, vertexHeader, fragmentHeader);
}

IShader* cCommonRenderer::CreateShader(const char* fileName, const std::string& vertexHeader,
                                       const std::string& fragmentHeader) {
    const char* shownName = fileName ? fileName : "(null)";
    try {
        if (!fileName || !*fileName) RaiseError("empty file name");
        if (IShader* cached = m_Resources.FindShader(fileName, vertexHeader, fragmentHeader)) {
            cached->AddRef();
            return cached;
        }
        IFileSystem* fs = GetResourceFileSystem();
        IFile* file = fs ? fs->OpenFile(fileName) : nullptr;
        if (!file) return nullptr;
        cFileGuard guard(file);
        IShader* shader = LoadShader(file, fileName, vertexHeader, fragmentHeader);
        if (!shader) return nullptr;
        m_Resources.AddShader(fileName, vertexHeader, fragmentHeader, shader);
        return shader;
    } catch (const cException& e) {
        LogWarning("cCommonRenderer::CreateShader( %s ) : %s\n", shownName, e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cCommonRenderer::CreateShader( %s ) : failed to allocate memory\n", shownName);
    }
    return nullptr;
}

IVertexBuffer* cCommonRenderer::CreateVertexBuffer(int usage, const sVertexElement* format, int stride,
                                                   std::size_t size) {
    try {
        IVertexBuffer* buffer = m_Factory->NewVertexBuffer(&m_Resources);
        if (!buffer) RaiseError("vertex buffers are not implemented yet");
        try {
            buffer->Create(usage, format, stride, size);
        } catch (...) {
            delete buffer;
            throw;
        }
        m_Resources.AddVertexBuffer(buffer);
        return buffer;
    } catch (const cException& e) {
        LogWarning("cCommonRenderer::CreateVertexBuffer : %s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cCommonRenderer::CreateVertexBuffer : failed to allocate memory\n");
    }
    return nullptr;
}

IIndexBuffer* cCommonRenderer::CreateIndexBuffer(int usage, int dataType, std::size_t size) {
    try {
        IIndexBuffer* buffer = m_Factory->NewIndexBuffer(&m_Resources);
        if (!buffer) RaiseError("index buffers are not implemented yet");
        try {
            buffer->Create(usage, dataType, size);
        } catch (...) {
            delete buffer;
            throw;
        }
        m_Resources.AddIndexBuffer(buffer);
        return buffer;
    } catch (const cException& e) {
        LogWarning("cCommonRenderer::CreateIndexBuffer : %s\n", e.GetText());
    } catch (const std::bad_alloc&) {
        LogWarning("cCommonRenderer::CreateIndexBuffer : failed to allocate memory\n");
    }
    return nullptr;
}

} // namespace velmora::video

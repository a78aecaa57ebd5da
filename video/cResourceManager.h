#pragma once
// The renderer's resource caches and loader registry (owned by value by
// cCommonRenderer). It owns every cached resource and destroys them all in
// Clear or at destruction; resources still held by callers must not be used
// afterwards.

#include <list>
#include <map>
#include <set>
#include <string>

namespace velmora::video {

class cResourceFactory;
class ITexture2D;
class ITextureCube;
class IFont;
class IShader;
class IVertexBuffer;
class IIndexBuffer;
class ITexture2DLoader;
class ITextureCubeLoader;

class cResourceManager {
public:
    struct sShaderEntry {
        std::string vertexHeader;
        std::string fragmentHeader;
        IShader* shader = nullptr;
    };

    explicit cResourceManager(cResourceFactory* factory) : m_Factory(factory) {}
    ~cResourceManager();
    cResourceManager(const cResourceManager&) = delete;
    cResourceManager& operator=(const cResourceManager&) = delete;

    cResourceFactory* GetFactory() const { return m_Factory; }

    // Destroys every resource the manager holds (cached, listed and live memory textures).
    void Clear();

    // Logs the registration; raises on null; the first loader of an extension stays.
    void RegisterTexture2DLoader(ITexture2DLoader* loader);
    void RegisterCubeMapLoader(ITextureCubeLoader* loader);
    // The loader for an extension (with its dot, compared without regard to letter case), or null.
    ITexture2DLoader* FindTexture2DLoader(const std::string& extension) const;
    ITextureCubeLoader* FindCubeMapLoader(const std::string& extension) const;

    // Shader cache lookup by file name and both headers; null when absent.
    IShader* FindShader(const std::string& fileName, const std::string& vertexHeader,
                        const std::string& fragmentHeader) const;
    void AddShader(const std::string& fileName, const std::string& vertexHeader, const std::string& fragmentHeader,
                   IShader* shader);
    // Takes the shader out of the cache (does not destroy it); false when it was not there.
    bool RemoveShader(IShader* shader);

    // Buffers leave their list when released to zero.
    void AddVertexBuffer(IVertexBuffer* buffer) { m_VertexBuffers.push_back(buffer); }
    void RemoveVertexBuffer(IVertexBuffer* buffer) { m_VertexBuffers.remove(buffer); }
    void AddIndexBuffer(IIndexBuffer* buffer) { m_IndexBuffers.push_back(buffer); }
    void RemoveIndexBuffer(IIndexBuffer* buffer) { m_IndexBuffers.remove(buffer); }

    // Textures made from memory are not cached but tracked while alive, so that the renderer
    // can free the ones callers never released.
    void TrackMemoryTexture(ITexture2D* texture) { m_MemoryTextures.insert(texture); }
    void ForgetMemoryTexture(ITexture2D* texture) { m_MemoryTextures.erase(texture); }
    // Textures made from memory that are still alive.
    std::size_t GetMemoryTextureCount() const { return m_MemoryTextures.size(); }

    std::map<std::string, ITexture2D*>& Textures() { return m_Textures; }
    std::map<std::string, ITextureCube*>& CubeTextures() { return m_CubeTextures; }
    std::map<std::string, IFont*>& Fonts() { return m_Fonts; }
    const std::list<IVertexBuffer*>& VertexBuffers() const { return m_VertexBuffers; }
    const std::list<IIndexBuffer*>& IndexBuffers() const { return m_IndexBuffers; }
    const std::map<std::string, ITexture2DLoader*>& TextureLoaders() const { return m_TextureLoaders; }
    const std::map<std::string, ITextureCubeLoader*>& CubeMapLoaders() const { return m_CubeMapLoaders; }

private:
    cResourceFactory* m_Factory;
    std::map<std::string, ITexture2D*> m_Textures;
    std::map<std::string, ITextureCube*> m_CubeTextures;
    std::list<IVertexBuffer*> m_VertexBuffers;
    std::list<IIndexBuffer*> m_IndexBuffers;
    std::map<std::string, IFont*> m_Fonts;
    std::multimap<std::string, sShaderEntry> m_Shaders;
    std::map<std::string, ITexture2DLoader*> m_TextureLoaders;
    std::map<std::string, ITextureCubeLoader*> m_CubeMapLoaders;
    std::set<ITexture2D*> m_MemoryTextures;
};

} // namespace velmora::video

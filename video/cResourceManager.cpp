#include "video/cResourceManager.h"

#include <cctype>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "video/IBuffers.h"
#include "video/IFont.h"
#include "video/IShader.h"
#include "video/ITexture.h"
#include "video/ITextureLoader.h"

namespace velmora::video {

namespace {

std::string ToLower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

template <typename tMap>
typename tMap::mapped_type FindLoader(const tMap& loaders, const std::string& extension) {
    auto it = loaders.find(ToLower(extension));
    return it == loaders.end() ? nullptr : it->second;
}

} // namespace

cResourceManager::~cResourceManager() { Clear(); }

void cResourceManager::Clear() {
    // Swap each container out first: a destructor may call back into the manager. Fonts go
    // first: each releases the atlas texture it made from memory.
    std::map<std::string, IFont*> fonts;
    fonts.swap(m_Fonts);
    for (auto& entry : fonts) delete entry.second;

    std::map<std::string, ITexture2D*> textures;
    textures.swap(m_Textures);
    for (auto& entry : textures) delete entry.second;

    std::set<ITexture2D*> memoryTextures;
    memoryTextures.swap(m_MemoryTextures);
    for (ITexture2D* texture : memoryTextures) delete texture;

    std::map<std::string, ITextureCube*> cubes;
    cubes.swap(m_CubeTextures);
    for (auto& entry : cubes) delete entry.second;

    std::multimap<std::string, sShaderEntry> shaders;
    shaders.swap(m_Shaders);
    for (auto& entry : shaders) delete entry.second.shader;

    std::list<IVertexBuffer*> vertexBuffers;
    vertexBuffers.swap(m_VertexBuffers);
    for (IVertexBuffer* buffer : vertexBuffers) delete buffer;

    std::list<IIndexBuffer*> indexBuffers;
    indexBuffers.swap(m_IndexBuffers);
    for (IIndexBuffer* buffer : indexBuffers) delete buffer;
}

void cResourceManager::RegisterTexture2DLoader(ITexture2DLoader* loader) {
    if (!loader) RaiseError("cResourceManager::RegisterTexture2DLoader : NULL pointer to texture loader");
    LogMessage("Registering texture loader for '%s'... ", loader->GetExtension());
    m_TextureLoaders.emplace(ToLower(loader->GetExtension()), loader);
    LogMessage("done\n");
}

void cResourceManager::RegisterCubeMapLoader(ITextureCubeLoader* loader) {
    if (!loader) RaiseError("cResourceManager::RegisterCubeMapLoader : NULL pointer to cube map loader");
    LogMessage("Registering cube map loader for '%s'... ", loader->GetExtension());
    m_CubeMapLoaders.emplace(ToLower(loader->GetExtension()), loader);
    LogMessage("done\n");
}

ITexture2DLoader* cResourceManager::FindTexture2DLoader(const std::string& extension) const {
    return FindLoader(m_TextureLoaders, extension);
}

ITextureCubeLoader* cResourceManager::FindCubeMapLoader(const std::string& extension) const {
    return FindLoader(m_CubeMapLoaders, extension);
}

IShader* cResourceManager::FindShader(const std::string& fileName, const std::string& vertexHeader,
                                      const std::string& fragmentHeader) const {
    auto range = m_Shaders.equal_range(fileName);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second.vertexHeader == vertexHeader && it->second.fragmentHeader == fragmentHeader) {
            return it->second.shader;
        }
    }
    return nullptr;
}

void cResourceManager::AddShader(const std::string& fileName, const std::string& vertexHeader,
                                 const std::string& fragmentHeader, IShader* shader) {
    m_Shaders.emplace(fileName, sShaderEntry{vertexHeader, fragmentHeader, shader});
}

bool cResourceManager::RemoveShader(IShader* shader) {
    for (auto it = m_Shaders.begin(); it != m_Shaders.end(); ++it) {
        if (it->second.shader == shader) {
            m_Shaders.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace velmora::video

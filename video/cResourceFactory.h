#pragma once
// Allocates the backend's resource classes for the resource manager. Each
// "New" returns an object with reference count 1, or raises cException with
// "failed to allocate memory for ..."; a backend without a class for a kind
// returns null.

namespace velmora::video {

class cResourceManager;
class ITexture2D;
class ITextureCube;
class IFont;
class IShader;
class IVertexBuffer;
class IIndexBuffer;

class cResourceFactory {
public:
    virtual ~cResourceFactory() = default;
    virtual ITexture2D* NewTexture2D(cResourceManager* owner) = 0;
    virtual ITextureCube* NewTextureCube(cResourceManager* owner) = 0;
    virtual IFont* NewFont(cResourceManager* owner) = 0;
    virtual IShader* NewShader(cResourceManager* owner) = 0;
    virtual IVertexBuffer* NewVertexBuffer(cResourceManager* owner) = 0;
    virtual IIndexBuffer* NewIndexBuffer(cResourceManager* owner) = 0;
};

} // namespace velmora::video

#pragma once
// Image loaders: stateless program-wide objects chosen by file extension
// (IRenderer::RegisterTextureLoader, RegisterCubeMapLoader). They read through
// IFile and fill system-memory images in the texture image convention
// (ITexture.h). Every failure throws cException naming the loader; the
// renderer turns it into a warning and a null texture. A loader checks the
// sizes a header declares against what the file still holds and against the
// caller's limits before it allocates or decodes anything.

#include <array>
#include <cstdint>
#include <vector>

namespace velmora {
class IFile;
}

namespace velmora::video {

// A loaded 2D image.
struct sImageData {
    std::vector<std::uint8_t> pixels;  // uncompressed rows or DXT blocks of every level
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bytesPerPixel = 0;   // 3 or 4 (for compressed data only informative)
    std::uint32_t mipCount = 0;        // levels held in `pixels`; 0 = one level, the device makes the rest
    int compression = 0;               // TextureCompression
};

// A loaded cube map; faces in the order +X, -X, +Y, -Y, +Z, -Z, an absent face is empty.
struct sCubeImageData {
    std::array<std::vector<std::uint8_t>, 6> faces;
    std::uint32_t size = 0;            // edge length of a face
    std::uint32_t bytesPerPixel = 0;
    std::uint32_t mipCount = 0;        // levels per face (at least 1)
    int compression = 0;               // TextureCompression
};

// What the caller can take. The renderer fills it from its device; the defaults accept every size the
// loaders can represent.
struct sImageLimits {
    // The largest image side the device can hold.
    std::uint32_t maxEdge = 65536;
    // Top mip levels of a compressed chain the caller leaves out (at most all but the last level), so a side
    // above maxEdge is accepted when the first level uploaded fits.
    std::uint32_t droppedLevels = 0;
};

class ITexture2DLoader {
public:
    virtual ~ITexture2DLoader() = default;
    // Returns 1.
    virtual int GetType() const { return 1; }
    // The extension with its dot, lower case (".tga").
    virtual const char* GetExtension() const = 0;
    // Decodes the file from its current position into `image`. Throws cException on bad input and on an image
    // beyond `limits` (then before decoding).
    virtual void LoadTexture(IFile* file, sImageData& image, const sImageLimits& limits) const = 0;
    // The same without limits but the loader's own.
    void LoadTexture(IFile* file, sImageData& image) const { LoadTexture(file, image, sImageLimits()); }
};

class ITextureCubeLoader {
public:
    virtual ~ITextureCubeLoader() = default;
    // Returns 0.
    virtual int GetType() const { return 0; }
    // The extension with its dot, lower case (".dds").
    virtual const char* GetExtension() const = 0;
    // Decodes the file into `image`. Throws cException on bad input and on a face beyond `limits` (then before
    // reading the faces).
    virtual void LoadTextureCube(IFile* file, sCubeImageData& image, const sImageLimits& limits) const = 0;
    // The same without limits but the loader's own.
    void LoadTextureCube(IFile* file, sCubeImageData& image) const { LoadTextureCube(file, image, sImageLimits()); }
};

} // namespace velmora::video

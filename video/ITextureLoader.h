#pragma once
// Image loaders: stateless program-wide objects chosen by file extension
// (IRenderer::RegisterTextureLoader, RegisterCubeMapLoader). They read through
// IFile and fill system-memory images in the texture image convention
// (ITexture.h). Every failure throws cException naming the loader; the
// renderer turns it into a warning and a null texture.

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

class ITexture2DLoader {
public:
    virtual ~ITexture2DLoader() = default;
    // Returns 1.
    virtual int GetType() const { return 1; }
    // The extension with its dot, lower case (".tga").
    virtual const char* GetExtension() const = 0;
    // Decodes the file from its current position into `image`. Throws cException on bad input.
    virtual void LoadTexture(IFile* file, sImageData& image) const = 0;
};

class ITextureCubeLoader {
public:
    virtual ~ITextureCubeLoader() = default;
    // Returns 0.
    virtual int GetType() const { return 0; }
    // The extension with its dot, lower case (".dds").
    virtual const char* GetExtension() const = 0;
    // Decodes the file into `image`. Throws cException on bad input.
    virtual void LoadTextureCube(IFile* file, sCubeImageData& image) const = 0;
};

} // namespace velmora::video

#pragma once
// Textures: images created on the device by the renderer (IRenderer::CreateTexture,
// CreateCubeTexture) and bound to texture stages with IRenderer::SetTexture.
//
// Image convention for every texture and loader: pixel rows are stored bottom
// row first (texture coordinate t = 0 is the bottom of the picture);
// uncompressed pixels are red, green, blue (, alpha); compressed images are
// DXT blocks level after level.
//
// Reference counting: counts start at 1. A 2D texture released to zero logs
// "cCommonTexture2D::Release : texture '%s' released" and is destroyed only when
// it was made from memory (name "__memory"); textures loaded from files stay in
// the renderer's cache until the renderer goes away. Cube textures behave alike.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "video/VideoTypes.h"

namespace velmora::video {

// Kinds returned by ITexture::GetType.
enum TextureType : int {
    TEX_2D = 1,
    TEX_3D = 2,
    TEX_CUBE = 3,
};

// What is shared by every texture kind.
class ITexture {
public:
    // Destroys the device texture; owners call it, users call Release.
    virtual ~ITexture() = default;
    // Raises the reference count; returns this texture.
    virtual ITexture* AddRef() = 0;
    // Lowers the reference count; see the header comment for what happens at zero.
    virtual void Release() = 0;
    // Stores the filtering mode (TextureFilter); it takes effect at the next Bind.
    virtual void SetFiltering(int mode) = 0;
    // Stores the anisotropy level (0 = off); it takes effect at the next Bind.
    virtual void SetAnisotropy(int level) = 0;
    // Stores an integer that has no other use.
    virtual void SetSpareProperty(int value) = 0;
    // Stores the address mode (TextureAddress); it takes effect at the next Bind.
    virtual void SetAddressMode(int mode) = 0;
    // TEX_2D or TEX_CUBE.
    virtual int GetType() const = 0;
    // The stored filtering mode (3 at creation).
    virtual int GetFiltering() const = 0;
    // The stored anisotropy level (0 at creation).
    virtual int GetAnisotropy() const = 0;
    // The integer stored by SetSpareProperty (0 at creation).
    virtual int GetSpareProperty() const = 0;
    // The stored address mode (0 = wrap at creation).
    virtual int GetAddressMode() const = 0;
    // Reserved; returns 0.
    virtual int GetReserved() const { return 0; }
    // The name the texture is cached under ("__memory" for textures made from memory).
    virtual const std::string& GetName() const = 0;
    // Binds the texture at a stage with its sampler states (called by IRenderer::SetTexture).
    virtual void Bind(int stage) = 0;
};

// A two-dimensional texture.
class ITexture2D : public ITexture {
public:
    // Width of the image in pixels (level 0, before any detail reduction).
    virtual std::uint32_t GetImageWidth() const = 0;
    // Height of the image in pixels.
    virtual std::uint32_t GetImageHeight() const = 0;
    // Replaces the w x h pixels at (x, y) of level 0 (uncompressed textures; pixels as the
    // texture's own bytes per pixel, rows bottom first). False when the texture cannot take them.
    virtual bool UpdateRect(int x, int y, int width, int height, const void* pixels) = 0;
    // Reads level 0 of the device texture back as RGBA rows, bottom row first, into `out`
    // (width x height x 4 bytes). False where the device cannot read texels back.
    virtual bool ReadData(std::vector<std::uint8_t>& out) = 0;
    // Creates the device texture from the system-memory image and frees the image
    // (called by the renderer after loading). Throws cException on failure.
    virtual void Create() = 0;
    // Device memory in bytes the texture takes, counted as the renderer's accounting says.
    virtual std::size_t GetMemoryUsage() const = 0;
};

// A cube texture: six square faces +X, -X, +Y, -Y, +Z, -Z.
class ITextureCube : public ITexture {
public:
    // Edge length of a face in pixels.
    virtual std::uint32_t GetImageSize() const = 0;
    // Creates the device texture from the loaded faces and frees them. Throws cException on failure.
    virtual void Create() = 0;
    // Device memory in bytes the six faces take.
    virtual std::size_t GetMemoryUsage() const = 0;
};

} // namespace velmora::video

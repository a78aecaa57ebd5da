#pragma once
// JPEG images (".jpg") decoded with libjpeg. Colour and greyscale images
// come out as three bytes per pixel, bottom row first.

#include "video/ITextureLoader.h"

namespace velmora::video {

class cJPGTexture2DLoader : public ITexture2DLoader {
public:
    // The program-wide instance.
    static cJPGTexture2DLoader* GetInstance();

    const char* GetExtension() const override { return ".jpg"; }
    // Any error or warning of the decoder (corrupt or truncated data) raises
    // "cJPGTexture2DLoader::LoadTexture : an error occured while loading texture from '%s'".
    void LoadTexture(IFile* file, sImageData& image, const sImageLimits& limits) const override;
    using ITexture2DLoader::LoadTexture;
};

} // namespace velmora::video

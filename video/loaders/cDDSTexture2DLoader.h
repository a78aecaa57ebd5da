#pragma once
// DirectDraw Surface images (".dds") compressed with DXT1, DXT3 or DXT5.
// The blocks of every level are kept as the file stores them (top row
// first); the texture flips them when it uploads.

#include "video/ITextureLoader.h"

namespace velmora::video {

class cDDSTexture2DLoader : public ITexture2DLoader {
public:
    // The program-wide instance.
    static cDDSTexture2DLoader* GetInstance();

    const char* GetExtension() const override { return ".dds"; }
    // Mip count from the header (1 when 0); bytes per pixel 4 when the file marks alpha, else 3.
    void LoadTexture(IFile* file, sImageData& image, const sImageLimits& limits) const override;
    using ITexture2DLoader::LoadTexture;
};

} // namespace velmora::video

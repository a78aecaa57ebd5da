#pragma once
// DDS cube maps (".dds") compressed with DXT1, DXT3 or DXT5. Faces keep the
// file's row order, which is the one cube-map sampling expects.

#include "video/ITextureLoader.h"

namespace velmora::video {

class cDDSTextureCubeLoader : public ITextureCubeLoader {
public:
    // The program-wide instance.
    static cDDSTextureCubeLoader* GetInstance();

    const char* GetExtension() const override { return ".dds"; }
    // Faces +X, -X, +Y, -Y, +Z, -Z; a face the file does not hold stays empty.
    void LoadTextureCube(IFile* file, sCubeImageData& image, const sImageLimits& limits) const override;
    using ITextureCubeLoader::LoadTextureCube;
};

} // namespace velmora::video

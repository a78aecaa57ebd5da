#pragma once
// A cube texture on OpenGL: six compressed faces uploaded as S3TC (decoded
// in software when the driver lacks S3TC), in the row order of the file. A
// face the file lacks is filled with black so that the cube is complete.

#include <epoxy/gl.h>

#include "video/cCommonTextureCube.h"

namespace velmora::video {

class cOpenGLRenderer;

class cOpenGLTextureCube : public cCommonTextureCube {
public:
    cOpenGLTextureCube(cResourceManager* owner, cOpenGLRenderer* renderer);
    ~cOpenGLTextureCube() override;
    cOpenGLTextureCube(const cOpenGLTextureCube&) = delete;
    cOpenGLTextureCube& operator=(const cOpenGLTextureCube&) = delete;

    // Raises "cOpenGLTextureCube::Create : failed to create texture, %s".
    void Create() override;
    void Bind(int stage) override;

    GLuint GetTextureId() const { return m_TextureId; }
    // Reads level 0 of a face back as RGBA (rows in upload order); false on failure.
    bool ReadFace(int face, std::vector<std::uint8_t>& out);

private:
    cOpenGLRenderer* m_Renderer;
    GLuint m_TextureId = 0;
    int m_SentFiltering = -1;
    int m_SentAddressMode = -1;
};

} // namespace velmora::video

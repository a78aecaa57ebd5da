#include "video/opengl/cOpenGLTextureCube.h"

#include <algorithm>

#include "engine/core/cException.h"
#include "video/loaders/cDXTCodec.h"
#include "video/opengl/GLUtil.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

namespace {

class cScopedCubeBind {
public:
    explicit cScopedCubeBind(GLuint id) {
        GLint previous = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &previous);
        m_Previous = static_cast<GLuint>(previous);
        glBindTexture(GL_TEXTURE_CUBE_MAP, id);
    }
    ~cScopedCubeBind() { glBindTexture(GL_TEXTURE_CUBE_MAP, m_Previous); }
    cScopedCubeBind(const cScopedCubeBind&) = delete;
    cScopedCubeBind& operator=(const cScopedCubeBind&) = delete;

private:
    GLuint m_Previous = 0;
};

} // namespace

cOpenGLTextureCube::cOpenGLTextureCube(cResourceManager* owner, cOpenGLRenderer* renderer)
    : cCommonTextureCube(owner), m_Renderer(renderer) {}

cOpenGLTextureCube::~cOpenGLTextureCube() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<ITexture*>(this));
    if (m_TextureId) glDeleteTextures(1, &m_TextureId);
}

void cOpenGLTextureCube::Create() {
    if (m_Created) return;
    const sCubeImageData& image = m_Image;
    if (image.size == 0 || image.compression == TC_NONE) {
        RaiseError("cOpenGLTextureCube::Create : failed to create texture, unsupported image");
    }
    const std::uint32_t levels = std::max<std::uint32_t>(image.mipCount, 1);
    const std::uint64_t faceBytes = cDXTCodec::ChainBytes(image.compression, image.size, image.size, levels);
    const GLenum format = image.compression == TC_DXT1   ? GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
                          : image.compression == TC_DXT3 ? GL_COMPRESSED_RGBA_S3TC_DXT3_EXT
                                                         : GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    gl::ClearErrors();
    glGenTextures(1, &m_TextureId);
    cScopedCubeBind bind(m_TextureId);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    std::vector<std::uint8_t> black;
    std::vector<std::uint8_t> decoded;
    for (int face = 0; face < 6; ++face) {
        const std::vector<std::uint8_t>* data = &image.faces[face];
        if (data->size() < faceBytes) {
            // Opaque black in every format: colour endpoints 0, indices 0, alpha 255.
            black.assign(static_cast<std::size_t>(faceBytes), 0);
            if (image.compression != TC_DXT1) {
                for (std::size_t b = 0; b + 16 <= black.size(); b += 16) {
                    if (image.compression == TC_DXT3) {
                        std::fill(black.begin() + static_cast<std::ptrdiff_t>(b),
                                  black.begin() + static_cast<std::ptrdiff_t>(b + 8), 0xFF);
                    } else {
                        black[b] = 0xFF;
                    }
                }
            }
            data = &black;
        }
        std::uint64_t offset = 0;
        std::uint32_t s = image.size;
        for (std::uint32_t level = 0; level < levels; ++level) {
            const std::uint64_t bytes = cDXTCodec::LevelBytes(image.compression, s, s);
            const GLenum target = GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face);
            if (m_Renderer->HasS3TC()) {
                glCompressedTexImage2D(target, static_cast<GLint>(level), format, static_cast<GLsizei>(s),
                                       static_cast<GLsizei>(s), 0, static_cast<GLsizei>(bytes),
                                       data->data() + offset);
            } else {
                decoded.resize(static_cast<std::size_t>(s) * s * 4);
                cDXTCodec::DecodeLevel(image.compression, data->data() + offset, s, s, decoded.data());
                glTexImage2D(target, static_cast<GLint>(level), GL_RGBA8, static_cast<GLsizei>(s),
                             static_cast<GLsizei>(s), 0, GL_RGBA, GL_UNSIGNED_BYTE, decoded.data());
            }
            offset += bytes;
            s = std::max<std::uint32_t>(s >> 1, 1);
        }
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    const GLint mipmapped = m_Renderer->BlendsMipLevels() ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST;
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, levels > 1 ? mipmapped : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        gl::ClearErrors();
        glDeleteTextures(1, &m_TextureId);
        m_TextureId = 0;
        RaiseError("cOpenGLTextureCube::Create : failed to create texture, %s", gl::ErrorText(error));
    }
    m_Created = true;
    for (auto& face : m_Image.faces) std::vector<std::uint8_t>().swap(face);
}

void cOpenGLTextureCube::Bind(int stage) {
    if (!m_TextureId) return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
    if (stage < m_Renderer->GetFixedTextureUnits()) {
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_TEXTURE_CUBE_MAP);
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, m_TextureId);
    if (m_Filtering != m_SentFiltering) {
        const bool mipmapped = m_Image.mipCount > 1;
        GLint minFilter = GL_LINEAR, magFilter = GL_LINEAR;
        switch (m_Filtering) {
            case TF_POINT: minFilter = magFilter = GL_NEAREST; break;
            case TF_LINEAR: break;
            case TF_POINT_MIP_POINT:
                minFilter = mipmapped ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST;
                magFilter = GL_NEAREST;
                break;
            default:
                minFilter = !mipmapped                       ? GL_LINEAR
                            : m_Renderer->BlendsMipLevels() ? GL_LINEAR_MIPMAP_LINEAR
                                                            : GL_LINEAR_MIPMAP_NEAREST;
                break;
        }
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, magFilter);
        m_SentFiltering = m_Filtering;
    }
    if (m_AddressMode != m_SentAddressMode) {
        const GLint wrap = m_AddressMode == TA_WRAP ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, wrap);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, wrap);
        m_SentAddressMode = m_AddressMode;
    }
    m_Renderer->ApplyStageCombiner(stage);
}

bool cOpenGLTextureCube::ReadFace(int face, std::vector<std::uint8_t>& out) {
    if (!m_TextureId || face < 0 || face > 5) return false;
    out.assign(static_cast<std::size_t>(m_Image.size) * m_Image.size * 4, 0);
    cScopedCubeBind bind(m_TextureId);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::ClearErrors();
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                  out.data());
    return glGetError() == GL_NO_ERROR;
}

} // namespace velmora::video

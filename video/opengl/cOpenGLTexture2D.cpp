#include "video/opengl/cOpenGLTexture2D.h"

#include <algorithm>
#include <cstring>

#include "engine/core/cException.h"
#include "video/loaders/cDXTCodec.h"
#include "video/opengl/GLUtil.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

namespace {

GLenum CompressedFormat(int compression) {
    switch (compression) {
        case TC_DXT1: return GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
        case TC_DXT3: return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
        default: return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    }
}

// Binds a texture on the active unit for a moment and puts the previous one back.
class cScopedBind {
public:
    explicit cScopedBind(GLuint id) {
        GLint previous = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
        m_Previous = static_cast<GLuint>(previous);
        glBindTexture(GL_TEXTURE_2D, id);
    }
    ~cScopedBind() { glBindTexture(GL_TEXTURE_2D, m_Previous); }
    cScopedBind(const cScopedBind&) = delete;
    cScopedBind& operator=(const cScopedBind&) = delete;

private:
    GLuint m_Previous = 0;
};

} // namespace

cOpenGLTexture2D::cOpenGLTexture2D(cResourceManager* owner, cOpenGLRenderer* renderer)
    : cCommonTexture2D(owner), m_Renderer(renderer) {}

cOpenGLTexture2D::~cOpenGLTexture2D() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<ITexture*>(this));
    if (m_TextureId) glDeleteTextures(1, &m_TextureId);
}

void cOpenGLTexture2D::Create() {
    if (m_Created) return;
    const sImageData& image = m_Image;
    if (image.width == 0 || image.height == 0) RaiseError("cOpenGLTexture2D::Create : failed to create texture, empty image");
    const int maxSize = m_Renderer->GetMaxTextureSize();
    const bool compressed = image.compression != TC_NONE;
    if (!compressed && image.bytesPerPixel != 3 && image.bytesPerPixel != 4) {
        RaiseError("cOpenGLTexture2D::Create : failed to create texture, no device format for %u bytes per pixel",
                   image.bytesPerPixel);
    }
    const std::uint32_t dropped = LevelsToDrop(m_Renderer->GetTextureDetailReduction());
    const std::uint32_t width = std::max<std::uint32_t>(image.width >> dropped, 1);
    const std::uint32_t height = std::max<std::uint32_t>(image.height >> dropped, 1);
    if (maxSize > 0 && (width > static_cast<std::uint32_t>(maxSize) || height > static_cast<std::uint32_t>(maxSize))) {
        RaiseError("cOpenGLTexture2D::Create : failed to create texture, %ux%u exceeds the device limit %d", width,
                   height, maxSize);
    }

    gl::ClearErrors();
    glGenTextures(1, &m_TextureId);
    cScopedBind bind(m_TextureId);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    std::uint32_t uploaded = 0;
    if (compressed) {
        const std::uint32_t levels = std::max<std::uint32_t>(image.mipCount, 1);
        std::vector<std::uint8_t> level;
        std::vector<std::uint8_t> decoded;
        std::uint64_t offset = 0;
        std::uint32_t w = image.width, h = image.height;
        for (std::uint32_t l = 0; l < levels; ++l) {
            const std::uint64_t bytes = cDXTCodec::LevelBytes(image.compression, w, h);
            if (offset + bytes > image.pixels.size()) {
                RaiseError("cOpenGLTexture2D::Create : failed to create texture, the image data is too short");
            }
            if (l >= dropped) {
                level.assign(image.pixels.begin() + static_cast<std::ptrdiff_t>(offset),
                             image.pixels.begin() + static_cast<std::ptrdiff_t>(offset + bytes));
                cDXTCodec::FlipLevel(image.compression, level.data(), w, h);
                const GLint target = static_cast<GLint>(l - dropped);
                if (m_Renderer->HasS3TC()) {
                    glCompressedTexImage2D(GL_TEXTURE_2D, target, CompressedFormat(image.compression),
                                           static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0,
                                           static_cast<GLsizei>(bytes), level.data());
                } else {
                    decoded.resize(static_cast<std::size_t>(w) * h * 4);
                    cDXTCodec::DecodeLevel(image.compression, level.data(), w, h, decoded.data());
                    glTexImage2D(GL_TEXTURE_2D, target, GL_RGBA8, static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0,
                                 GL_RGBA, GL_UNSIGNED_BYTE, decoded.data());
                }
                ++uploaded;
            }
            offset += bytes;
            w = std::max<std::uint32_t>(w >> 1, 1);
            h = std::max<std::uint32_t>(h >> 1, 1);
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(uploaded - 1));
    } else {
        const GLenum format = image.bytesPerPixel == 4 ? GL_RGBA : GL_RGB;
        const GLint internal = image.bytesPerPixel == 4 ? GL_RGBA8 : GL_RGB8;
        const std::size_t needed = static_cast<std::size_t>(image.width) * image.height * image.bytesPerPixel;
        if (image.pixels.size() < needed) {
            RaiseError("cOpenGLTexture2D::Create : failed to create texture, the image data is too short");
        }
        glTexImage2D(GL_TEXTURE_2D, 0, internal, static_cast<GLsizei>(image.width), static_cast<GLsizei>(image.height),
                     0, format, GL_UNSIGNED_BYTE, image.pixels.data());
        if (epoxy_gl_version() >= 30 || epoxy_has_gl_extension("GL_ARB_framebuffer_object")) {
            glGenerateMipmap(GL_TEXTURE_2D);
        } else {
            glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
            glTexImage2D(GL_TEXTURE_2D, 0, internal, static_cast<GLsizei>(image.width),
                         static_cast<GLsizei>(image.height), 0, format, GL_UNSIGNED_BYTE, image.pixels.data());
        }
        uploaded = 0;
    }
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        gl::ClearErrors();
        glDeleteTextures(1, &m_TextureId);
        m_TextureId = 0;
        RaiseError("cOpenGLTexture2D::Create : failed to create texture, %s", gl::ErrorText(error));
    }
    m_DeviceWidth = compressed ? width : image.width;
    m_DeviceHeight = compressed ? height : image.height;
    m_DeviceLevels = uploaded;
    m_DroppedLevels = dropped;
    ApplySamplerStates();
    m_Created = true;
    std::vector<std::uint8_t>().swap(m_Image.pixels);
}

void cOpenGLTexture2D::ApplySamplerStates() {
    if (m_Filtering != m_SentFiltering || m_Anisotropy != m_SentAnisotropy) {
        GLint minFilter = GL_LINEAR, magFilter = GL_LINEAR;
        const bool anisotropic = m_Anisotropy > 0 && m_Renderer->HasAnisotropy();
        switch (m_Filtering) {
            case TF_POINT: minFilter = magFilter = anisotropic ? GL_LINEAR : GL_NEAREST; break;
            case TF_LINEAR: minFilter = magFilter = GL_LINEAR; break;
            case TF_POINT_MIP_POINT:
                minFilter = anisotropic ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
                magFilter = anisotropic ? GL_LINEAR : GL_NEAREST;
                break;
            default:
                minFilter = m_Renderer->BlendsMipLevels() ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST;
                magFilter = GL_LINEAR;
                break;
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
        if (m_Renderer->HasAnisotropy()) {
            const int level = anisotropic ? std::min(m_Anisotropy, m_Renderer->GetMaxAnisotropy()) : 1;
            glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, static_cast<GLfloat>(level));
        }
        m_SentFiltering = m_Filtering;
        m_SentAnisotropy = m_Anisotropy;
    }
    if (m_AddressMode != m_SentAddressMode) {
        const GLint wrap = m_AddressMode == TA_WRAP ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        m_SentAddressMode = m_AddressMode;
    }
}

void cOpenGLTexture2D::Bind(int stage) {
    if (!m_TextureId) return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
    if (stage < m_Renderer->GetFixedTextureUnits()) {
        glDisable(GL_TEXTURE_CUBE_MAP);
        glEnable(GL_TEXTURE_2D);
    }
    glBindTexture(GL_TEXTURE_2D, m_TextureId);
    ApplySamplerStates();
    m_Renderer->ApplyStageCombiner(stage);
}

bool cOpenGLTexture2D::UpdateRect(int x, int y, int width, int height, const void* pixels) {
    if (!m_TextureId || !pixels || m_Image.compression != TC_NONE) return false;
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || static_cast<std::uint32_t>(x + width) > m_DeviceWidth ||
        static_cast<std::uint32_t>(y + height) > m_DeviceHeight) {
        return false;
    }
    cScopedBind bind(m_TextureId);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl::ClearErrors();
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, m_Image.bytesPerPixel == 4 ? GL_RGBA : GL_RGB,
                    GL_UNSIGNED_BYTE, pixels);
    // The generated levels follow level 0, as automatically generated mip-maps do (without glGenerateMipmap
    // the texture was made with GL_GENERATE_MIPMAP, which does this by itself).
    if (m_DeviceLevels == 0 && (epoxy_gl_version() >= 30 || epoxy_has_gl_extension("GL_ARB_framebuffer_object"))) {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    return glGetError() == GL_NO_ERROR;
}

bool cOpenGLTexture2D::ReadData(std::vector<std::uint8_t>& out) {
    if (!m_TextureId) return false;
    out.assign(static_cast<std::size_t>(m_DeviceWidth) * m_DeviceHeight * 4, 0);
    cScopedBind bind(m_TextureId);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::ClearErrors();
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return glGetError() == GL_NO_ERROR;
}

} // namespace velmora::video

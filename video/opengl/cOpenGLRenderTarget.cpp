#include "video/opengl/cOpenGLRenderTarget.h"

#include <new>

#include "engine/core/cException.h"
#include "video/cCommonTexture2D.h"
#include "video/opengl/GLUtil.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

namespace {

// The colour texture of a target: one level made by drawing, sampled without mip-maps.
class cOpenGLTargetTexture : public cCommonTexture2D {
public:
    cOpenGLTargetTexture(cOpenGLRenderer* renderer, GLuint id, std::uint32_t width, std::uint32_t height,
                         std::uint32_t bytesPerPixel)
        : cCommonTexture2D(nullptr), m_Renderer(renderer), m_Id(id) {
        m_Image.width = width;
        m_Image.height = height;
        m_Image.bytesPerPixel = bytesPerPixel;
        m_Created = true;
        m_DeviceLevels = 1;
    }
    ~cOpenGLTargetTexture() override {
        m_Renderer->OnResourceDestroyed(static_cast<ITexture*>(this));
        glDeleteTextures(1, &m_Id);
    }
    cOpenGLTargetTexture(const cOpenGLTargetTexture&) = delete;
    cOpenGLTargetTexture& operator=(const cOpenGLTargetTexture&) = delete;

    void Create() override {}
    bool UpdateRect(int, int, int, int, const void*) override { return false; }
    bool ReadData(std::vector<std::uint8_t>& out) override {
        out.assign(static_cast<std::size_t>(m_Image.width) * m_Image.height * 4, 0);
        GLint previous = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
        glBindTexture(GL_TEXTURE_2D, m_Id);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::ClearErrors();
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        const bool ok = glGetError() == GL_NO_ERROR;
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
        return ok;
    }
    void Bind(int stage) override {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
        if (stage < m_Renderer->GetFixedTextureUnits()) {
            glDisable(GL_TEXTURE_CUBE_MAP);
            glEnable(GL_TEXTURE_2D);
        }
        glBindTexture(GL_TEXTURE_2D, m_Id);
        // The one level: mip-map filters fall back to their level-0 filter.
        const GLint filter = m_Filtering == TF_POINT || m_Filtering == TF_POINT_MIP_POINT ? GL_NEAREST : GL_LINEAR;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        const GLint wrap = m_AddressMode == TA_WRAP ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        m_Renderer->ApplyStageCombiner(stage);
    }

private:
    cOpenGLRenderer* m_Renderer;
    GLuint m_Id;
};

bool HasFloatTextures() {
    return epoxy_gl_version() >= 30 || epoxy_has_gl_extension("GL_ARB_texture_float");
}

bool HasOneChannelTextures() { return epoxy_gl_version() >= 30 || epoxy_has_gl_extension("GL_ARB_texture_rg"); }

bool HasPackedDepthStencil() {
    return epoxy_gl_version() >= 30 || epoxy_has_gl_extension("GL_ARB_framebuffer_object") ||
           epoxy_has_gl_extension("GL_EXT_packed_depth_stencil");
}

} // namespace

cOpenGLRenderTarget::cOpenGLRenderTarget(cOpenGLRenderer* renderer)
    : cCommonRenderTarget(renderer), m_GLRenderer(renderer) {}

cOpenGLRenderTarget::~cOpenGLRenderTarget() {
    if (m_Framebuffer) glDeleteFramebuffers(1, &m_Framebuffer);
    if (m_DepthBuffer) glDeleteRenderbuffers(1, &m_DepthBuffer);
    if (m_Texture) m_Texture->Release();
}

void cOpenGLRenderTarget::Create(int width, int height, int format) {
    if (!m_GLRenderer->QueryFeature(FEAT_RENDER_TO_TARGET)) RaiseError("cOpenGLRenderTarget::Create : not supported");
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width <= 0 || height <= 0 || width > m_GLRenderer->GetMaxTextureSize() || width > maxSize ||
        height > m_GLRenderer->GetMaxTextureSize() || height > maxSize) {
        RaiseError("cOpenGLRenderTarget::Create : invalid size %dx%d", width, height);
    }
    GLenum pixelFormat = GL_RGB, pixelType = GL_UNSIGNED_BYTE;
    std::uint32_t bytesPerPixel = 4;
    switch (format) {
        case 0:
        case 1: m_ColorFormat = GL_RGB8; break;
        case 2:
            m_ColorFormat = GL_RGBA8;
            pixelFormat = GL_RGBA;
            break;
        case 3:
        case 4:
        case 5:
            if (!HasFloatTextures()) RaiseError("cOpenGLRenderTarget::Create : float targets are not supported");
            m_ColorFormat = HasOneChannelTextures() ? GL_R32F : GL_RGBA32F_ARB;
            pixelFormat = HasOneChannelTextures() ? GL_RED : GL_RGBA;
            pixelType = GL_FLOAT;
            break;
        default: RaiseError("cOpenGLRenderTarget::Create : invalid format %d", format);
    }
    m_Width = static_cast<std::uint32_t>(width);
    m_Height = static_cast<std::uint32_t>(height);
    if (m_Texture) {
        m_Texture->Release();
        m_Texture = nullptr;
    }

    // Colour texture.
    gl::ClearErrors();
    GLuint id = 0;
    glGenTextures(1, &id);
    GLint previousTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(m_ColorFormat), width, height, 0, pixelFormat, pixelType, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        glDeleteTextures(1, &id);
        RaiseError("cOpenGLRenderTarget::CreateRenderTarget : %s", gl::ErrorText(error));
    }
    m_Texture = new (std::nothrow) cOpenGLTargetTexture(m_GLRenderer, id, m_Width, m_Height, bytesPerPixel);
    if (!m_Texture) {
        glDeleteTextures(1, &id);
        RaiseError("cOpenGLRenderTarget::CreateRenderTarget : failed to allocate memory");
    }
    m_Texture->SetAddressMode(TA_CLAMP_TO_EDGE);

    // Depth (and stencil) buffer.
    const bool packed = HasPackedDepthStencil();
    glGenRenderbuffers(1, &m_DepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, m_DepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, packed ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    error = glGetError();
    if (error != GL_NO_ERROR) RaiseError("cOpenGLRenderTarget::Create : %s", gl::ErrorText(error));

    // The framebuffer.
    GLint previousFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
    glGenFramebuffers(1, &m_Framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, id, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_DepthBuffer);
    if (packed) glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_DepthBuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    error = glGetError();
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        RaiseError("cOpenGLRenderTarget::Create : the framebuffer is incomplete (0x%04X)", static_cast<unsigned>(status));
    }
    if (error != GL_NO_ERROR) RaiseError("cOpenGLRenderTarget::Create : %s", gl::ErrorText(error));

    m_Projection = cMatrix::Perspective(90.0, static_cast<double>(width) / height, 0.25, 800.0);
}

void cOpenGLRenderTarget::Bind() {
    m_GLRenderer->PushTransform(MM_WORLD);
    m_GLRenderer->PushTransform(MM_PROJECTION);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_SavedFramebuffer);
    glGetIntegerv(GL_VIEWPORT, m_SavedViewport);
    glGetIntegerv(GL_SCISSOR_BOX, m_SavedScissor);
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    m_GLRenderer->SetViewportRect(0, 0, static_cast<int>(m_Width), static_cast<int>(m_Height));
    // A scissor rectangle of the window means nothing here: the whole target until one is set.
    glScissor(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height));

    // The whole target is cleared whatever the scissor and the depth-write state say.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(m_ClearColor.r / 255.0f, m_ClearColor.g / 255.0f, m_ClearColor.b / 255.0f, m_ClearColor.a / 255.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(m_GLRenderer->GetDepthWrite() ? GL_TRUE : GL_FALSE);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

void cOpenGLRenderTarget::Unbind() {
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_SavedFramebuffer));
    glScissor(m_SavedScissor[0], m_SavedScissor[1], m_SavedScissor[2], m_SavedScissor[3]);
    m_GLRenderer->SetViewportRect(m_SavedViewport[0], m_SavedViewport[1], m_SavedViewport[2], m_SavedViewport[3]);
    m_GLRenderer->PopTransform(MM_WORLD);
    m_GLRenderer->PopTransform(MM_PROJECTION);
}

} // namespace velmora::video

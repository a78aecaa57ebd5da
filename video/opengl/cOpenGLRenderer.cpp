// cOpenGLRenderer: creation, frame, feature queries and the resource factory.
#include "video/opengl/cOpenGLRenderer.h"

#include "video/cBackendResourceFactory.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <new>

#include "engine/IEngine.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "video/IResources.h"
#include "video/opengl/GLUtil.h"
#include "video/opengl/cOpenGLFont.h"
#include "video/opengl/cOpenGLIndexBuffer.h"
#include "video/opengl/cOpenGLShader.h"
#include "video/opengl/cOpenGLVertexBuffer.h"
#include "video/opengl/cOpenGLViewport.h"
#include "video/opengl/cOpenGLTexture2D.h"
#include "video/opengl/cOpenGLTextureCube.h"

namespace velmora::video {

// Makes the OpenGL classes of every resource kind this backend has.
class cOpenGLRenderer::cOpenGLResourceFactory
    : public cBackendResourceFactory<cOpenGLRenderer, cOpenGLTexture2D, cOpenGLTextureCube, cOpenGLFont, cOpenGLShader,
                                     cOpenGLVertexBuffer, cOpenGLIndexBuffer> {
public:
    using cBackendResourceFactory::cBackendResourceFactory;
};

IRenderer* cOpenGLRenderer::CreateInstance(const sRendererDesc& desc, tWindowHandle window, int width, int height,
                                           bool fullscreen) {
    cOpenGLRenderer* renderer = new (std::nothrow) cOpenGLRenderer();
    if (!renderer) {
        LogWarning("cOpenGLRenderer::CreateInstance : failed to allocate memory\n");
        return nullptr;
    }
    bool created = false;
    try {
        created = renderer->Create(desc, window, width, height, fullscreen);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    }
    if (!created) {
        delete renderer;
        return nullptr;
    }
    return renderer;
}

cOpenGLRenderer::cOpenGLRenderer() : cCommonRenderer(new cOpenGLResourceFactory(this)) {
    for (int& combiner : m_StageCombiner) combiner = -1;
}

cOpenGLRenderer::~cOpenGLRenderer() {
    if (m_Context) {
        // Device objects go while their context is still current.
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(m_Window), static_cast<SDL_GLContext>(m_Context));
        m_Resources.Clear();
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_Context));
        m_Context = nullptr;
    }
}

bool cOpenGLRenderer::Create(const sRendererDesc& desc, tWindowHandle window, int width, int height,
                             bool /*fullscreen*/) {
    LogMessage("Creating OpenGL renderer... ");
    if (!window) {
        LogWarning("cOpenGLRenderer::Create : no window\n");
        return false;
    }
    // The same depth-stencil choice as every backend makes from the descriptor.
    const bool stencil = (desc.depthFlags & kWithStencil) != 0;
    if (stencil ? !(desc.depthFlags & kDepth24) : !(desc.depthFlags & (kDepth16 | kDepth24 | kDepth32))) {
        LogWarning("cOpenGLRenderer::Create : unknown back buffer format\n");
        return false;
    }
    m_Window = window;
    m_Width = width;
    m_Height = height;
    SDL_GLContext context = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
    if (!context) {
        LogWarning("cOpenGLRenderer::Create : failed to create OpenGL context, %s\n", SDL_GetError());
        return false;
    }
    m_Context = context;
    m_GLVersion = epoxy_gl_version();
    if (m_GLVersion < 21) {
        LogWarning("cOpenGLRenderer::Create : OpenGL 2.1 is required, the driver offers %d.%d\n", m_GLVersion / 10,
                   m_GLVersion % 10);
        return false;
    }
    m_GLSLVersion = epoxy_glsl_version();
    SDL_GL_SetSwapInterval(0);

    GLint value = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &value);
    m_MaxTextureStages = value < 1 ? 1 : (value > kMaxTextureStages ? kMaxTextureStages : value);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
    m_MaxTextureSize = value;
    glGetIntegerv(GL_MAX_CLIP_PLANES, &value);
    m_MaxClipPlanes = value;
    glGetIntegerv(GL_MAX_LIGHTS, &value);
    m_MaxLights = value;
    value = 0;
    glGetIntegerv(GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS, &value);
    m_VertexTextureUnits = value;
    m_HasS3TC = epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");
    m_HasFramebufferObjects = m_GLVersion >= 30 || epoxy_has_gl_extension("GL_ARB_framebuffer_object") ||
                              epoxy_has_gl_extension("GL_EXT_framebuffer_object");
    if (epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic")) {
        GLfloat maxAnisotropy = 0.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maxAnisotropy);
        m_MaxAnisotropy = static_cast<int>(maxAnisotropy);
    }
    const char* rendererName = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    m_SoftwareRasterizer = gl::IsSoftwareRasterizer(rendererName);
    if (m_SoftwareRasterizer) {
        // A rasterizer on the CPU decodes compressed blocks at every texture sample, takes up to
        // sixteen samples per anisotropic lookup and reads two mip levels for a trilinear one; together
        // they cost several times the rest of a frame. Compressed images are decoded once at upload
        // instead, filtering is not anisotropic, and mip-mapped filtering reads the nearest level
        // (bilinear within it; the seams between levels hardly show on the island's ground).
        m_HasS3TC = false;
        m_MaxAnisotropy = 0;
        m_BlendsMipLevels = false;
    }

    // Initial states: lighting off, depth test on, point sprites with distance scaling.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // Point sprites are switched on around point drawing only: some drivers replace the texture
    // coordinates of every primitive while the sprite state is on.
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
    const GLfloat noAmbient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFrontFace(GL_CCW);
    if (desc.multisampling > 0) glEnable(GL_MULTISAMPLE);
    // Resolve the entry points used between glBegin and glEnd now: the loader looks at the GL
    // version on first use, which cannot be queried inside glBegin / glEnd.
    glMultiTexCoord2f(GL_TEXTURE0, 0.0f, 0.0f);
    glMultiTexCoord4f(GL_TEXTURE0, 0.0f, 0.0f, 0.0f, 1.0f);
    glColor4ub(255, 255, 255, 255);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    gl::CheckErrors("cOpenGLRenderer::Create");

    LogMessage("succeeded\n");
    LogMessage("OpenGL: %s, %s, GLSL %s\n", rendererName ? rendererName : "unknown",
               reinterpret_cast<const char*>(glGetString(GL_VERSION)),
               m_GLSLVersion > 0 ? reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION)) : "none");
    if (m_SoftwareRasterizer) {
        LogMessage("OpenGL: software rasterizer, compressed textures decoded at upload, anisotropic filtering off, "
                   "nearest mip level\n");
    }
    SetProjection(PROJ_ORTHOGRAPHIC, width, height, 0.0, 0.0, -1.0, -1.0);
    SetViewportRect(0, 0, width, height);
    LoadModelView();
    // The shadow starts at 2 already; going through 1 makes the device hold it as well.
    SetCullMode(CM_CCW);
    SetCullMode(CM_CW);
    return true;
}

int cOpenGLRenderer::GetClientWidth() const {
    IEngine* engine = GetEngine();
    const int width = engine ? engine->GetViewWidth() : 0;
    return width > 0 ? width : m_Width;
}

int cOpenGLRenderer::GetClientHeight() const {
    IEngine* engine = GetEngine();
    const int height = engine ? engine->GetViewHeight() : 0;
    return height > 0 ? height : m_Height;
}

int cOpenGLRenderer::GetTargetWidth() const {
    return m_RenderTarget ? static_cast<int>(m_RenderTarget->GetImageWidth()) : GetClientWidth();
}

int cOpenGLRenderer::GetTargetHeight() const {
    return m_RenderTarget ? static_cast<int>(m_RenderTarget->GetImageHeight()) : GetClientHeight();
}

// ---- Frame -------------------------------------------------------------------------------------

void cOpenGLRenderer::BeginFrame(const cColor& color) {
    // Clearing covers the viewport and ignores the write masks, as the frame contract says.
    glClearColor(color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
    glClearDepth(1.0);
    glClearStencil(0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFFFFFFFFu);
    GLint scissor[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    int x1 = m_ViewportX, y1 = m_ViewportY;
    int x2 = m_ViewportX + m_ViewportWidth, y2 = m_ViewportY + m_ViewportHeight;
    if (m_ScissorEnabled) {
        x1 = std::max(x1, scissor[0]);
        y1 = std::max(y1, scissor[1]);
        x2 = std::min(x2, scissor[0] + scissor[2]);
        y2 = std::min(y2, scissor[1] + scissor[3]);
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(x1, y1, std::max(x2 - x1, 0), std::max(y2 - y1, 0));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
    if (!m_ScissorEnabled) glDisable(GL_SCISSOR_TEST);
    glDepthMask(m_DepthWrite ? GL_TRUE : GL_FALSE);
    glStencilMask(0xFFFFFFFFu);
}

void cOpenGLRenderer::WaitForDevice() {
    if (m_Context) {
        glFinish();
    }
}

void cOpenGLRenderer::EndFrame() {
    FinishFrameStatistics();
    // An output viewport that is current presents into its own window.
    const cOpenGLViewport* viewport = static_cast<const cOpenGLViewport*>(m_Viewport);
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(viewport ? viewport->GetWindow() : m_Window));
    gl::CheckErrors("cOpenGLRenderer::EndFrame");
}

bool cOpenGLRenderer::ReadPixels(int x, int y, int width, int height, std::vector<std::uint8_t>& out) {
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > GetTargetWidth() || y + height > GetTargetHeight()) {
        return false;
    }
    out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return glGetError() == GL_NO_ERROR;
}

// ---- Queries -----------------------------------------------------------------------------------

bool cOpenGLRenderer::QueryFeature(int feature) {
    const bool glsl = m_GLSLVersion >= 110;
    switch (feature) {
        case FEAT_RENDER_TO_TARGET: return m_HasFramebufferObjects;
        case FEAT_ANISOTROPIC_FILTERING: return m_MaxAnisotropy > 0;
        case FEAT_CUBE_TEXTURES: return true;
        case FEAT_NP2_CUBE_TEXTURES: return m_GLVersion >= 20;
        case FEAT_MIPMAPPED_CUBE_TEXTURES: return true;
        case FEAT_NP2_TEXTURES: return false;
        case FEAT_VERTEX_SHADERS_1_1:
        case FEAT_VERTEX_SHADERS_2_0:
        case FEAT_FRAGMENT_SHADERS_1_1:
        case FEAT_FRAGMENT_SHADERS_1_2:
        case FEAT_FRAGMENT_SHADERS_1_3:
        case FEAT_FRAGMENT_SHADERS_1_4:
        case FEAT_FRAGMENT_SHADERS_2_0: return glsl;
        // Shader model 3 hardware reads textures in vertex programs.
        case FEAT_VERTEX_SHADERS_3_0:
        case FEAT_FRAGMENT_SHADERS_3_0: return m_GLSLVersion >= 120 && m_VertexTextureUnits > 0;
        default: RaiseError("cOpenGLRenderer::QueryFeature : unhandled feature %d", feature);
    }
}

} // namespace velmora::video

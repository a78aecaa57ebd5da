#include "video/opengl/cOpenGLRenderer.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <cmath>

#include "engine/core/EngineGlobals.h"
#include "engine/IEngine.h"
#include "engine/core/Log.h"

namespace velmora::video {

IRenderer* cOpenGLRenderer::CreateInstance(const sRendererDesc& desc, tWindowHandle window, int width, int height,
                                           bool fullscreen) {
    cOpenGLRenderer* renderer = new cOpenGLRenderer();
    if (!renderer->Create(desc, window, width, height, fullscreen)) {
        delete renderer;
        return nullptr;
    }
    return renderer;
}

bool cOpenGLRenderer::Create(const sRendererDesc& /*desc*/, tWindowHandle window, int width, int height,
                             bool /*fullscreen*/) {
    LogMessage("Creating OpenGL renderer... ");
    m_Window = window;
    SDL_GLContext context = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
    if (!context) {
        LogWarning("cOpenGLRenderer::Create : failed to create OpenGL context, %s\n", SDL_GetError());
        return false;
    }
    m_Context = context;
    SDL_GL_SetSwapInterval(0);
    glViewport(0, 0, width, height);
    LogMessage("succeeded\n");
    LogMessage("OpenGL: %s, %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
               reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    return true;
}

cOpenGLRenderer::~cOpenGLRenderer() {
    if (m_Context) {
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_Context));
    }
}

void cOpenGLRenderer::SetProjection(int type, int width, int height, double zNear, double zFar, double aspect,
                                    double fov) {
    IEngine* engine = GetEngine();
    if (width == 0) width = engine ? engine->GetViewWidth() : 1;
    if (height == 0) height = engine ? engine->GetViewHeight() : 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (type == 0) {
        glOrtho(0.0, width, 0.0, height, -4096.0, 4096.0);
    } else {
        if (aspect == -1.0) aspect = static_cast<double>(width) / (height ? height : 1);
        if (fov == -1.0) fov = 90.0;
        const double f = 1.0 / std::tan(fov * 0.5 * 3.141592653589793 / 180.0);
        const double m[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, -(zFar + zNear) / (zFar - zNear), -1,
                              0, 0, -2.0 * zFar * zNear / (zFar - zNear), 0};
        glLoadMatrixd(m);
    }
    glMatrixMode(GL_MODELVIEW);
}

void cOpenGLRenderer::BeginFrame(const cColor& color) {
    glClearColor(color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
    glClearDepth(1.0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void cOpenGLRenderer::EndFrame() { SDL_GL_SwapWindow(static_cast<SDL_Window*>(m_Window)); }

bool cOpenGLRenderer::QueryFeature(int feature) {
    // GLSL-capable contexts run the shader model 2.0 programs.
    return feature == 13 && epoxy_gl_version() >= 20;
}

} // namespace velmora::video

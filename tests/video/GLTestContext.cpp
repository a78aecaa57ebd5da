#include "video/GLTestContext.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/sRendererDesc.h"

namespace vtest {

namespace {

cGLTestContext* g_Context = nullptr;
bool g_Tried = false;
std::string g_Error;

class cShutdownEnvironment : public ::testing::Environment {
public:
    void TearDown() override { cGLTestContext::Shutdown(); }
};

const bool g_Registered = [] {
    ::testing::AddGlobalTestEnvironment(new cShutdownEnvironment);
    return true;
}();

} // namespace

const char* cGLTestContext::Error() { return g_Error.c_str(); }

cGLTestContext* cGLTestContext::Get() {
    if (g_Tried) return g_Context;
    g_Tried = true;
    (void)g_Registered;
    // Off-screen, software rendering, whatever the caller's session offers.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        g_Error = std::string("SDL_InitSubSystem: ") + SDL_GetError();
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_Window* window = SDL_CreateWindow("video tests", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        g_Error = std::string("SDL_CreateWindow: ") + SDL_GetError();
        return nullptr;
    }
    velmora::sRendererDesc desc;
    desc.rendererId = velmora::kRendererOpenGL;
    desc.depthFlags = velmora::kDepth24 | velmora::kWithStencil;
    velmora::video::IRenderer* renderer = velmora::video::CreateRenderer(desc, window, kWidth, kHeight, false);
    if (!renderer) {
        g_Error = "the OpenGL renderer could not be created (see the log above)";
        SDL_DestroyWindow(window);
        return nullptr;
    }
    GLint bits[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_RED_BITS, &bits[0]);
    glGetIntegerv(GL_GREEN_BITS, &bits[1]);
    glGetIntegerv(GL_BLUE_BITS, &bits[2]);
    glGetIntegerv(GL_ALPHA_BITS, &bits[3]);
    if (bits[0] != 8 || bits[1] != 8 || bits[2] != 8 || bits[3] != 8) {
        g_Error = "the framebuffer is not exactly 8-bit RGBA";
        delete renderer;
        SDL_DestroyWindow(window);
        return nullptr;
    }
    g_Context = new cGLTestContext();
    g_Context->m_Window = window;
    g_Context->m_Renderer = renderer;
    g_Context->m_Common = dynamic_cast<velmora::video::cCommonRenderer*>(renderer);
    return g_Context;
}

void cGLTestContext::Shutdown() {
    if (!g_Context) return;
    delete g_Context->m_Renderer;
    SDL_DestroyWindow(static_cast<SDL_Window*>(g_Context->m_Window));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    delete g_Context;
    g_Context = nullptr;
}

void cGLTestContext::Reset() {
    using namespace velmora::video;
    IRenderer* r = m_Renderer;
    for (int stage = 0; stage < 8; ++stage) r->SetTexture(nullptr, stage);
    r->SetShader(nullptr);
    r->SetViewportRect(0, 0, kWidth, kHeight);
    r->SetProjection(PROJ_ORTHOGRAPHIC, kWidth, kHeight, 0.0, 0.0, -1.0, -1.0);
    r->SetTransform(MM_WORLD, static_cast<const velmora::cMatrix*>(nullptr));
    r->SetTransform(MM_VIEW, static_cast<const velmora::cMatrix*>(nullptr));
    r->SetBlendFunc(BF_NONE, BF_NONE);
    r->SetAlphaTest(CMP_OFF, 0.0f);
    r->SetFogMode(FOG_OFF);
    r->SetScissor(false, 0, 0, 0, 0);
    r->SetDepthWrite(true);
    r->SetDepthFunc(CMP_LEQUAL);
    r->SetCullMode(CM_CW);
    r->SetFillMode(FM_SOLID);
    r->SetLighting(false);
    r->SetStencilTest(false);
    r->SetClipPlane(0, 0, 0, 0, 0, 0);
    r->BeginFrame(velmora::cColor(0, 0, 0, 255));
}

sImage cGLTestContext::ReadPixels() const {
    sImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.rgba.resize(static_cast<std::size_t>(kWidth) * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    return image;
}

std::array<std::uint8_t, 4> cGLTestContext::Pixel(int x, int y) const {
    std::array<std::uint8_t, 4> p{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
}

void cGLTestContext::Screenshot(const char* name) const {
    WritePNG(OutputDir() + "/" + name + ".png", ReadPixels());
}

} // namespace vtest

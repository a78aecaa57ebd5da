// Output viewports (a second window the renderer's context draws into) and
// the camera a renderer is made with.
#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <functional>
#include <string>

#include "engine/sRendererDesc.h"
#include "scene/camera/cCamera.h"
#include "video/GLTestContext.h"
#include "video/GPUTestSupport.h"
#include "video/IResources.h"
#include "video/opengl/cOpenGLRenderer.h"

using namespace velmora;
using namespace velmora::video;
using vtest::Captured;
using vtest::Near;

namespace {

constexpr int W = vtest::cGLTestContext::kWidth;
constexpr int H = vtest::cGLTestContext::kHeight;

// Another hidden window, destroyed with the object.
class cWindow {
public:
    explicit cWindow(Uint32 flags) { m_Window = SDL_CreateWindow("second", 0, 0, W, H, flags | SDL_WINDOW_HIDDEN); }
    ~cWindow() {
        if (m_Window) SDL_DestroyWindow(m_Window);
    }
    cWindow(const cWindow&) = delete;
    cWindow& operator=(const cWindow&) = delete;
    SDL_Window* Get() const { return m_Window; }

private:
    SDL_Window* m_Window = nullptr;
};

} // namespace

TEST(OutputViewports, DrawingGoesToTheCurrentViewportsWindow) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cWindow second(SDL_WINDOW_OPENGL);
    ASSERT_NE(second.Get(), nullptr) << SDL_GetError();
    IViewport* viewport = r->CreateViewport(second.Get());
    ASSERT_NE(viewport, nullptr);
    // Creation leaves the main window current.
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), static_cast<SDL_Window*>(static_cast<cOpenGLRenderer*>(r)->GetMainWindow()));

    r->BeginFrame(cColor(0, 0, 255, 255));
    r->SetViewport(viewport);
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), second.Get());
    r->BeginFrame(cColor(255, 0, 0, 255));
    EXPECT_EQ(ctx->Pixel(10, 10)[0], 255);
    r->EndFrame();  // presents the second window
    r->SetViewport(nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), static_cast<SDL_Window*>(static_cast<cOpenGLRenderer*>(r)->GetMainWindow()));
    // The main window kept its own picture.
    EXPECT_EQ(ctx->Pixel(10, 10)[2], 255);
    EXPECT_EQ(ctx->Pixel(10, 10)[0], 0);

    // Released while current: the main window is current again.
    r->SetViewport(viewport);
    viewport->Release();
    EXPECT_EQ(ctx->Common()->GetBoundViewport(), nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), static_cast<SDL_Window*>(static_cast<cOpenGLRenderer*>(r)->GetMainWindow()));
    EXPECT_EQ(ctx->Pixel(10, 10)[2], 255);
}

TEST(OutputViewports, WindowsWithoutOpenGLAreRefused) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    std::string log = Captured([&] { EXPECT_EQ(r->CreateViewport(nullptr), nullptr); });
    EXPECT_EQ(log, "cOpenGLViewport::Create : failed to create viewport, no window\n");
    cWindow plain(0);
    if (plain.Get() && !(SDL_GetWindowFlags(plain.Get()) & SDL_WINDOW_OPENGL)) {
        log = Captured([&] { EXPECT_EQ(r->CreateViewport(plain.Get()), nullptr); });
        EXPECT_EQ(log, "cOpenGLViewport::Create : failed to create viewport, the window has no OpenGL surface\n");
    }
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), static_cast<SDL_Window*>(static_cast<cOpenGLRenderer*>(r)->GetMainWindow()));
}

TEST(DefaultCamera, ARendererStartsWithItsOwnCameraCurrent) {
    VTEST_REQUIRE_GL(ctx);
    auto* shared = static_cast<cOpenGLRenderer*>(ctx->Renderer());
    // A renderer of its own on another window; the shared context is made current again after.
    cWindow window(SDL_WINDOW_OPENGL);
    ASSERT_NE(window.Get(), nullptr);
    sRendererDesc desc;
    desc.rendererId = kRendererOpenGL;
    desc.depthFlags = kDepth24 | kWithStencil;
    IRenderer* fresh = CreateRenderer(desc, window.Get(), W, H, false);
    ASSERT_NE(fresh, nullptr);
    auto* common = dynamic_cast<cCommonRenderer*>(fresh);
    ASSERT_NE(common, nullptr);
    scene::cCamera* camera = common->GetDefaultCamera();
    EXPECT_EQ(common->GetCamera(), camera);

    // Applied, it gives the view from its place along its direction and fills its frustum.
    camera->position = cVector3(0, 0, 5);
    camera->SetAspectRatio(static_cast<double>(W) / H);
    camera->SetNearDistance(1.0);
    camera->SetFarDistance(100.0);
    fresh->SetCamera(camera, true);
    cMatrix view;
    fresh->GetTransform(MM_VIEW, view);
    EXPECT_TRUE(view.Equals(cMatrix::LookAt(cVector3(0, 0, 5), cVector3(0, 0, 4), cVector3(0, 1, 0))));
    EXPECT_TRUE(camera->GetFrustum()->ContainsPoint(cVector3(0, 0, 0)));
    EXPECT_FALSE(camera->GetFrustum()->ContainsPoint(cVector3(0, 0, 10)));
    // Replaced and cleared like any other camera.
    fresh->SetCamera(nullptr);
    EXPECT_EQ(common->GetCamera(), nullptr);
    delete fresh;

    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(shared->GetMainWindow()), static_cast<SDL_GLContext>(shared->GetContext()));
    ctx->Reset();
    EXPECT_EQ(ctx->Pixel(1, 1)[3], 255);
}

// The common renderer's camera, frustum and binding rules, seen through
// small stand-ins for the camera, frustum and render target classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "video/GLTestContext.h"
#include "video/ICamera.h"
#include "video/IResources.h"

using namespace velmora;
using namespace velmora::video;

namespace {

class cFakeFrustum : public scene::IFrustum {
public:
    bool ContainsPoint(const cVector3&) const override { return true; }
    bool ContainsBox(const cVector3&, const cVector3&, const cMatrix&) const override { return true; }
    bool ContainsBox(const cVector3&, const cVector3&) const override { return true; }
    bool ContainsSphere(const float*) const override { return true; }
    bool ContainsSphere(const cVector3&, float) const override { return true; }
    void Build(const cMatrix& m) override {
        built = m;
        ++builds;
    }
    const cPlane& GetPlane(int) const override { return plane; }
    cMatrix built;
    int builds = 0;
    cPlane plane;
};

class cFakeCamera : public scene::ICamera {
public:
    void Release() override {}
    void LookAt(const cVector3&) override {}
    void MouseLook(float) override {}
    void Rotate(float, float, float, float) override {}
    void MoveForward(float) override {}
    void MoveRight(float) override {}
    void SetFieldOfView(double v) override { fov = v; }
    void SetAspectRatio(double v) override { aspect = v; }
    void SetNearDistance(double v) override { zNear = v; }
    void SetFarDistance(double v) override { zFar = v; }
    double GetFieldOfView() const override { return fov; }
    double GetAspectRatio() const override { return aspect; }
    double GetNearDistance() const override { return zNear; }
    double GetFarDistance() const override { return zFar; }
    const cVector3& GetPosition() const override { return position; }
    const cVector3& GetDirection() const override { return direction; }
    const cVector3& GetUp() const override { return up; }
    scene::IFrustum* GetFrustum() override { return &frustum; }

    cVector3 position{1, 2, 3}, direction{0, 0, -1}, up{0, 1, 0};
    double fov = 60.0, aspect = 2.0, zNear = 1.0, zFar = 100.0;
    cFakeFrustum frustum;
};

class cFakeTarget : public IRenderTarget {
public:
    explicit cFakeTarget(std::vector<std::string>& log, const char* name) : m_Log(log), m_Name(name) {}
    void Release() override {}
    void SetClearColor(const cColor&) override {}
    ITexture2D* GetTexture() override { return nullptr; }
    ITexture2D* GetSecondTexture() override { return nullptr; }
    std::uint32_t GetImageWidth() const override { return 32; }
    std::uint32_t GetImageHeight() const override { return 16; }
    cColor GetClearColor() const override { return cColor(); }
    void Bind() override { m_Log.push_back("bind " + m_Name); }
    void Unbind() override { m_Log.push_back("unbind " + m_Name); }

private:
    std::vector<std::string>& m_Log;
    std::string m_Name;
};

} // namespace

TEST(RendererBinding, CameraLoadsItsProjectionViewAndFrustum) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    cFakeCamera camera;
    r->SetCamera(&camera, true);
    cMatrix view, projection;
    r->GetTransform(MM_VIEW, view);
    r->GetTransform(MM_PROJECTION, projection);
    EXPECT_TRUE(projection.Equals(cMatrix::Perspective(60.0, 2.0, 1.0, 100.0)));
    EXPECT_TRUE(view.Equals(cMatrix::LookAt(cVector3(1, 2, 3), cVector3(1, 2, 2), cVector3(0, 1, 0))));
    EXPECT_EQ(camera.frustum.builds, 1);
    EXPECT_TRUE(camera.frustum.built.Equals(view * projection));
    EXPECT_EQ(ctx->Common()->GetCamera(), &camera);

    // Without the flag the projection stays.
    const cMatrix ortho = cMatrix::Orthographic(0, 10, 0, 10, -1, 1);
    r->SetProjectionMatrix(ortho);
    camera.position = cVector3(0, 0, 5);
    r->SetCamera(&camera, false);
    r->GetTransform(MM_PROJECTION, projection);
    EXPECT_TRUE(projection.Equals(ortho));
    EXPECT_EQ(camera.frustum.builds, 2);

    // No camera: the default view from the origin down -z with -y up.
    r->SetCamera(nullptr);
    r->GetTransform(MM_VIEW, view);
    EXPECT_TRUE(view.Equals(cMatrix::LookAt(cVector3(0, 0, 0), cVector3(0, 0, -1), cVector3(0, -1, 0))));
    EXPECT_EQ(ctx->Common()->GetCamera(), nullptr);
    r->GetFrustum(nullptr);  // nothing to fill, no harm
}

TEST(RendererBinding, RenderTargetsBindOnceAndClipTheViewport) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    std::vector<std::string> log;
    cFakeTarget a(log, "a"), b(log, "b");
    r->SetRenderTarget(&a);
    r->SetRenderTarget(&a);
    // While a target is bound the viewport is cut to its size and counted from its top.
    r->SetViewportRect(0, 0, 100, 100);
    int x, y, w, h;
    r->GetViewportRect(x, y, w, h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(y, 0);
    r->SetRenderTarget(&b);
    r->SetRenderTarget(nullptr);
    r->SetRenderTarget(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"bind a", "unbind a", "bind b", "unbind b"}));
    r->SetViewportRect(0, 0, 100, 100);
    r->GetViewportRect(x, y, w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, vtest::cGLTestContext::kHeight);
}

TEST(RendererBinding, DrawingFromMissingBuffersDoesNothing) {
    VTEST_REQUIRE_GL(ctx);
    IRenderer* r = ctx->Renderer();
    r->RenderPrimitives(PT_TRIANGLES, 0, 3);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 0, 3, 3);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 3, 3);
    r->RenderIndexedPrimitives(PT_TRIANGLES, 0, 3, 0);
    EXPECT_THROW(r->RenderPrimitives(9, 0, 3), cException);
    EXPECT_EQ(ctx->Pixel(1, 1)[0], 0);
    EXPECT_EQ(r->CreateVertexBuffer(0, nullptr, 12, 120), nullptr);
    EXPECT_EQ(r->CreateIndexBuffer(0, 4, 12), nullptr);  // not an index type
    EXPECT_EQ(r->GetVertexBufferMemoryUsage(), 0u);
}

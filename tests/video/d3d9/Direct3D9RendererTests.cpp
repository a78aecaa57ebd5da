// The Direct3D 9 renderer on a real device (under Wine on a virtual display in the Windows test
// run): creation, what the fixed-function pipeline draws, read-back, render targets, queries and
// the reset that a lost device goes through. Pictures are compared with a per-channel tolerance.
#ifdef _WIN32

#include "video/d3d9/D3D9Api.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/ITexture.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {
namespace {

constexpr int kSize = 64;

// A window with a 64 x 64 client area, destroyed with the object.
class cTestWindow {
public:
    cTestWindow() {
        static const wchar_t* kClass = L"VelmoraD3D9Test";
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = kClass;
            RegisterClassW(&wc);
            registered = true;
        }
        // A pop-up has no frame and no smallest size: its client area is exactly kSize square (a captioned
        // window would be widened, and the back buffer follows the window).
        m_Window = CreateWindowExW(0, kClass, L"d3d9 test", WS_POPUP, 0, 0, kSize, kSize, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        ShowWindow(m_Window, SW_SHOWNOACTIVATE);
    }
    ~cTestWindow() {
        if (m_Window) DestroyWindow(m_Window);
    }
    cTestWindow(const cTestWindow&) = delete;
    cTestWindow& operator=(const cTestWindow&) = delete;
    HWND Get() const { return m_Window; }

private:
    HWND m_Window = nullptr;
};

IRenderer* MakeRenderer(HWND window, std::uint8_t depthFlags) {
    sRendererDesc desc;
    desc.rendererId = kRendererDirect3D9;
    desc.depthFlags = depthFlags;
    return CreateRenderer(desc, window, kSize, kSize, false);
}

struct sPixel {
    int r, g, b, a;
};

::testing::AssertionResult Near(const sPixel& actual, const sPixel& expected, int tolerance = 3) {
    const bool ok = std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
                    std::abs(actual.b - expected.b) <= tolerance;
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << actual.r << ", " << actual.g << ", " << actual.b
                                         << ") instead of (" << expected.r << ", " << expected.g << ", "
                                         << expected.b << ")";
}

class Direct3D9RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Window = std::make_unique<cTestWindow>();
        ASSERT_NE(m_Window->Get(), nullptr);
        m_Renderer.reset(MakeRenderer(m_Window->Get(), kDepth24 | kWithStencil));
        ASSERT_NE(m_Renderer, nullptr) << "no Direct3D 9 device";
    }
    void TearDown() override {
        m_Renderer.reset();
        m_Window.reset();
    }

    // The pixel at (x, y) counted from the bottom-left of what is being drawn into.
    sPixel At(int x, int y) {
        std::vector<std::uint8_t> rgba;
        EXPECT_TRUE(m_Renderer->ReadPixels(x, y, 1, 1, rgba));
        if (rgba.size() < 4) return sPixel{-1, -1, -1, -1};
        return sPixel{rgba[0], rgba[1], rgba[2], rgba[3]};
    }
    cDirect3D9Renderer* Backend() { return static_cast<cDirect3D9Renderer*>(m_Renderer.get()); }

    std::unique_ptr<cTestWindow> m_Window;
    std::unique_ptr<IRenderer> m_Renderer;
};

const sPixel kRed{255, 0, 0, 255};
const sPixel kGreen{0, 255, 0, 255};
const sPixel kBlue{0, 0, 255, 255};
const sPixel kBlack{0, 0, 0, 255};

TEST(Direct3D9CreationTest, DepthFormatsFromTheDescriptor) {
    cTestWindow window;
    // Stencil needs 24-bit depth; no depth at all has no format either.
    ::testing::internal::CaptureStdout();
    IRenderer* stencilOnly = MakeRenderer(window.Get(), kWithStencil);
    IRenderer* none = MakeRenderer(window.Get(), 0);
    const std::string log = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(stencilOnly, nullptr);
    EXPECT_EQ(none, nullptr);
    EXPECT_NE(log.find("cDirect3D9Renderer::Create : unknown back buffer format"), std::string::npos) << log;
    for (std::uint8_t flags : {std::uint8_t(kDepth24 | kWithStencil), std::uint8_t(kDepth16),
                               std::uint8_t(kDepth16 | kDepth24 | kDepth32)}) {
        std::unique_ptr<IRenderer> renderer(MakeRenderer(window.Get(), flags));
        EXPECT_NE(renderer, nullptr) << "depth flags " << int(flags);
    }
}

TEST(Direct3D9CreationTest, OtherRendererIdsAreNotMadeHere) {
    cTestWindow window;
    sRendererDesc desc;
    desc.rendererId = kRendererOpenGL;
    EXPECT_EQ(CreateRenderer(desc, window.Get(), kSize, kSize, false), nullptr);
}

TEST_F(Direct3D9RendererTest, ClearsAndReadsBackWithTheOriginAtTheBottomLeft) {
    m_Renderer->BeginFrame(cColor(255, 0, 0));
    EXPECT_TRUE(Near(At(0, 0), kRed));
    EXPECT_TRUE(Near(At(kSize - 1, kSize - 1), kRed));
    // A triangle over the bottom-left half.
    m_Renderer->SetCullMode(CM_NONE);
    m_Renderer->RenderTriangle2D(cVector2(0, 0), cVector2(kSize, 0), cVector2(0, kSize), cColor(0, 0, 255));
    EXPECT_TRUE(Near(At(2, 2), kBlue));
    EXPECT_TRUE(Near(At(kSize - 3, kSize - 3), kRed));
    std::vector<std::uint8_t> rgba;
    EXPECT_FALSE(m_Renderer->ReadPixels(kSize - 1, 0, 2, 1, rgba));
    EXPECT_FALSE(m_Renderer->ReadPixels(-1, 0, 1, 1, rgba));
    m_Renderer->EndFrame();
}

TEST_F(Direct3D9RendererTest, RectanglesCoverExactlyTheirPixels) {
    m_Renderer->BeginFrame(cColor(0, 0, 0));
    m_Renderer->RenderRect(nullptr, cRect(10, 20, 20, 30), cRect(0, 0, 1, 1), cColor(0, 255, 0));
    EXPECT_TRUE(Near(At(10, 20), kGreen));
    EXPECT_TRUE(Near(At(19, 29), kGreen));
    EXPECT_TRUE(Near(At(9, 20), kBlack));
    EXPECT_TRUE(Near(At(20, 20), kBlack));
    EXPECT_TRUE(Near(At(10, 19), kBlack));
    EXPECT_TRUE(Near(At(10, 30), kBlack));
    m_Renderer->EndFrame();
}

TEST_F(Direct3D9RendererTest, TexturesKeepTheirBottomRowAtTheBottomAndTheirColours) {
    // 2 x 2 RGB, bottom row first: red, green / blue, white.
    const std::uint8_t pixels[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    ITexture2D* texture = m_Renderer->CreateTexture(pixels, 2, 2, 3);
    ASSERT_NE(texture, nullptr);
    texture->SetFiltering(TF_POINT);
    m_Renderer->BeginFrame(cColor(0, 0, 0));
    m_Renderer->RenderRect(texture, cRect(0, 0, kSize, kSize), cRect(0, 1, 1, 0), cColor(255, 255, 255));
    EXPECT_TRUE(Near(At(8, 8), kRed));
    EXPECT_TRUE(Near(At(kSize - 8, 8), kGreen));
    EXPECT_TRUE(Near(At(8, kSize - 8), kBlue));
    EXPECT_TRUE(Near(At(kSize - 8, kSize - 8), sPixel{255, 255, 255, 255}));
    // The vertex colour modulates the texture.
    m_Renderer->RenderRect(texture, cRect(0, 0, kSize, kSize), cRect(0, 1, 1, 0), cColor(128, 128, 128));
    EXPECT_TRUE(Near(At(8, 8), sPixel{128, 0, 0, 255}, 4));
    m_Renderer->EndFrame();
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(texture->ReadData(back));
    ASSERT_EQ(back.size(), 16u);
    EXPECT_EQ(back[0], 255);  // bottom-left red
    EXPECT_EQ(back[4 * 2 + 2], 255);  // top-left blue
    texture->Release();
}

TEST_F(Direct3D9RendererTest, BuffersDrawWithTheirColoursInTheEnginesByteOrder) {
    struct sVertex {
        float x, y, z;
        std::uint8_t rgba[4];
    };
    const sVertexElement format[] = {{0, T_FLOAT, 3, VU_POSITION}, {12, T_UBYTE, 4, VU_COLOR}, {0, 0, 0, VU_END}};
    const sVertex vertices[4] = {{0, 0, 0, {255, 0, 0, 255}},
                                 {kSize, 0, 0, {255, 0, 0, 255}},
                                 {kSize, kSize, 0, {255, 0, 0, 255}},
                                 {0, kSize, 0, {255, 0, 0, 255}}};
    const std::uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    for (int usage : {0, 2}) {
        IVertexBuffer* vb = m_Renderer->CreateVertexBuffer(usage, format, sizeof(sVertex), sizeof(vertices));
        IIndexBuffer* ib = m_Renderer->CreateIndexBuffer(usage, T_USHORT, sizeof(indices));
        ASSERT_NE(vb, nullptr);
        ASSERT_NE(ib, nullptr);
        ASSERT_TRUE(vb->Fill(vertices, sizeof(vertices)));
        ASSERT_TRUE(ib->Fill(indices, sizeof(indices)));
        m_Renderer->SetCullMode(CM_NONE);
        m_Renderer->BeginFrame(cColor(0, 0, 0));
        m_Renderer->SetVertexBuffer(vb);
        m_Renderer->SetIndexBuffer(ib);
        m_Renderer->RenderIndexedPrimitives(PT_TRIANGLES, 0, 0, 4, 6);
        EXPECT_TRUE(Near(At(kSize / 2, kSize / 2), kRed)) << "usage " << usage;
        // Immediate drawing between buffer draws leaves the buffers bound.
        m_Renderer->RenderLine2D(cVector2(0, 0), cVector2(1, 1), cColor(0, 0, 255));
        m_Renderer->RenderRect(nullptr, cRect(0, 0, kSize, kSize), cRect(0, 0, 1, 1), cColor(0, 0, 0));
        m_Renderer->RenderPrimitives(PT_TRIANGLE_FAN, 0, 4);
        EXPECT_TRUE(Near(At(kSize / 2, kSize / 2), kRed)) << "usage " << usage;
        // A locked and rewritten buffer draws the new colours.
        auto* locked = static_cast<sVertex*>(vb->Lock(true));
        ASSERT_NE(locked, nullptr);
        for (int i = 0; i < 4; ++i) {
            locked[i].rgba[0] = 0;
            locked[i].rgba[2] = 255;
        }
        ASSERT_TRUE(vb->Unlock());
        m_Renderer->RenderPrimitives(PT_TRIANGLE_FAN, 0, 4);
        EXPECT_TRUE(Near(At(kSize / 2, kSize / 2), kBlue)) << "usage " << usage;
        m_Renderer->EndFrame();
        m_Renderer->SetVertexBuffer(nullptr);
        m_Renderer->SetIndexBuffer(nullptr);
        vb->Release();
        ib->Release();
    }
}

TEST_F(Direct3D9RendererTest, DepthInTheEnginesRangeIsKeptUpToTheNearPlane) {
    // A perspective projection with depth -1..1: a quad just beyond the near plane must still draw,
    // and the nearer of two overlapping quads wins.
    m_Renderer->SetProjection(PROJ_PERSPECTIVE, kSize, kSize, 0.1, 100.0, -1.0, 90.0);
    m_Renderer->SetCullMode(CM_NONE);
    m_Renderer->SetDepthFunc(CMP_LEQUAL);
    m_Renderer->BeginFrame(cColor(0, 0, 0));
    const cVector3 nearQuad[4] = {{-1, -1, -0.15f}, {1, -1, -0.15f}, {1, 1, -0.15f}, {-1, 1, -0.15f}};
    const cVector3 farQuad[4] = {{-50, -50, -50}, {50, -50, -50}, {50, 50, -50}, {-50, 50, -50}};
    m_Renderer->RenderQuad(nullptr, nearQuad, cRect(0, 0, 1, 1), cColor(0, 255, 0));
    m_Renderer->RenderQuad(nullptr, farQuad, cRect(0, 0, 1, 1), cColor(255, 0, 0));
    EXPECT_TRUE(Near(At(kSize / 2, kSize / 2), kGreen));
    m_Renderer->EndFrame();
}

TEST_F(Direct3D9RendererTest, RenderTargetsHoldTheirBottomRowFirstAndRestoreTheWindow) {
    IRenderTarget* target = m_Renderer->CreateRenderTarget(32, 32, 2);
    ASSERT_NE(target, nullptr);
    target->SetClearColor(cColor(0, 255, 0, 255));
    cMatrix projectionBefore;
    m_Renderer->GetTransform(MM_PROJECTION, projectionBefore);
    m_Renderer->BeginFrame(cColor(0, 0, 0));
    m_Renderer->SetRenderTarget(target);
    m_Renderer->SetProjection(PROJ_ORTHOGRAPHIC, 32, 32, 0, 0, -1, -1);
    // Clockwise on screen and culled clockwise: the mirrored drawing must cull the same faces.
    m_Renderer->SetCullMode(CM_CW);
    m_Renderer->RenderTriangle2D(cVector2(0, 0), cVector2(0, 16), cVector2(16, 0), cColor(0, 0, 255));
    m_Renderer->RenderTriangle2D(cVector2(0, 0), cVector2(16, 0), cVector2(0, 16), cColor(0, 0, 255));
    EXPECT_TRUE(Near(At(2, 2), kBlue));
    EXPECT_TRUE(Near(At(30, 30), kGreen));
    m_Renderer->SetRenderTarget(nullptr);
    cMatrix projectionAfter;
    m_Renderer->GetTransform(MM_PROJECTION, projectionAfter);
    EXPECT_TRUE(projectionAfter.Equals(projectionBefore));
    int x, y, w, h;
    m_Renderer->GetViewportRect(x, y, w, h);
    EXPECT_EQ(w, kSize);
    EXPECT_EQ(h, kSize);

    std::vector<std::uint8_t> texels;
    ASSERT_TRUE(target->GetTexture()->ReadData(texels));
    ASSERT_EQ(texels.size(), 32u * 32u * 4u);
    EXPECT_TRUE(Near(sPixel{texels[0], texels[1], texels[2], 255}, kBlue));
    const std::size_t topRight = (31u * 32u + 31u) * 4u;
    EXPECT_TRUE(Near(sPixel{texels[topRight], texels[topRight + 1], texels[topRight + 2], 255}, kGreen));

    // Sampled on the window the picture stands the right way up.
    m_Renderer->SetCullMode(CM_NONE);
    m_Renderer->RenderRect(target->GetTexture(), cRect(0, 0, kSize, kSize), cRect(0, 1, 1, 0), cColor(255, 255, 255));
    EXPECT_TRUE(Near(At(4, 4), kBlue));
    EXPECT_TRUE(Near(At(kSize - 4, kSize - 4), kGreen));
    m_Renderer->EndFrame();
    target->Release();
}

TEST_F(Direct3D9RendererTest, OcclusionQueriesCountThePixelsDrawn) {
    IOcclusionQuery* query = m_Renderer->CreateOcclusionQuery();
    ASSERT_NE(query, nullptr);
    m_Renderer->BeginFrame(cColor(0, 0, 0));
    query->Begin();
    m_Renderer->RenderRect(nullptr, cRect(0, 0, 10, 10), cRect(0, 0, 1, 1), cColor(255, 255, 255));
    query->End();
    EXPECT_EQ(query->GetResult(), 100u);
    EXPECT_EQ(query->GetLastResult(), 100u);
    m_Renderer->EndFrame();
    m_Renderer->WaitForDevice();
    query->Release();
}

TEST_F(Direct3D9RendererTest, ADeviceResetKeepsEveryResourceWorking) {
    // What a lost device goes through: the default-pool resources go, the device is reset, and
    // they come back with their contents where the engine cannot redraw them.
    struct sVertex {
        float x, y, z;
        std::uint8_t rgba[4];
    };
    const sVertexElement format[] = {{0, T_FLOAT, 3, VU_POSITION}, {12, T_UBYTE, 4, VU_COLOR}, {0, 0, 0, VU_END}};
    const sVertex vertices[4] = {{0, 0, 0, {0, 0, 255, 255}},
                                 {kSize, 0, 0, {0, 0, 255, 255}},
                                 {kSize, kSize, 0, {0, 0, 255, 255}},
                                 {0, kSize, 0, {0, 0, 255, 255}}};
    IVertexBuffer* dynamic = m_Renderer->CreateVertexBuffer(2, format, sizeof(sVertex), sizeof(vertices));
    ASSERT_NE(dynamic, nullptr);
    ASSERT_TRUE(dynamic->Fill(vertices, sizeof(vertices)));
    IRenderTarget* target = m_Renderer->CreateRenderTarget(16, 16, 0);
    ASSERT_NE(target, nullptr);
    IOcclusionQuery* query = m_Renderer->CreateOcclusionQuery();
    ASSERT_NE(query, nullptr);
    m_Renderer->SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
    m_Renderer->SetVertexBuffer(dynamic);

    ASSERT_TRUE(Backend()->ResetDevice());
    EXPECT_EQ(Backend()->GetResetCount(), 1);

    m_Renderer->SetCullMode(CM_NONE);
    m_Renderer->BeginFrame(cColor(0, 0, 0));
    query->Begin();
    m_Renderer->RenderPrimitives(PT_TRIANGLE_FAN, 0, 4);
    query->End();
    EXPECT_TRUE(Near(At(kSize / 2, kSize / 2), kBlue));
    EXPECT_EQ(query->GetResult(), static_cast<std::uint32_t>(kSize * kSize));
    // The blend state came back from the shadow: half-transparent red over blue.
    m_Renderer->RenderRect(nullptr, cRect(0, 0, kSize, kSize), cRect(0, 0, 1, 1), cColor(255, 0, 0, 128));
    EXPECT_TRUE(Near(At(kSize / 2, kSize / 2), sPixel{128, 0, 127, 255}, 4));
    target->SetClearColor(cColor(0, 255, 0, 255));
    m_Renderer->SetRenderTarget(target);
    EXPECT_TRUE(Near(At(8, 8), kGreen));
    m_Renderer->SetRenderTarget(nullptr);
    m_Renderer->EndFrame();
    EXPECT_FALSE(Backend()->IsDeviceLost());

    m_Renderer->SetVertexBuffer(nullptr);
    dynamic->Release();
    target->Release();
    query->Release();
}

TEST_F(Direct3D9RendererTest, AResizedWindowGetsABackBufferOfItsSizeAtTheNextFrame) {
    IRenderTarget* target = m_Renderer->CreateRenderTarget(16, 16, 0);
    ASSERT_NE(target, nullptr);
    constexpr int kWidth = 160, kHeight = 120;
    // The window's frame, whatever its style: the outer size less the client area.
    RECT outer{};
    RECT client{};
    GetWindowRect(m_Window->Get(), &outer);
    GetClientRect(m_Window->Get(), &client);
    const int frameWidth = (outer.right - outer.left) - (client.right - client.left);
    const int frameHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
    SetWindowPos(m_Window->Get(), nullptr, 0, 0, kWidth + frameWidth, kHeight + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(m_Window->Get(), &client);
    ASSERT_EQ(client.right, kWidth) << "the window manager kept the old size";

    m_Renderer->BeginFrame(cColor(0, 255, 0));
    EXPECT_EQ(Backend()->GetResetCount(), 1);
    // The whole new area is there and cleared: the viewport followed the window.
    int x = -1, y = -1, width = 0, height = 0;
    m_Renderer->GetViewportRect(x, y, width, height);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    EXPECT_TRUE(Near(At(kWidth - 1, kHeight - 1), kGreen));
    EXPECT_TRUE(Near(At(0, 0), kGreen));
    m_Renderer->SetProjection(PROJ_ORTHOGRAPHIC, kWidth, kHeight, 0.0, 0.0, -1.0, -1.0);
    m_Renderer->RenderRect(nullptr, cRect(kWidth - 8, kHeight - 8, kWidth, kHeight), cRect(0, 0, 1, 1),
                           cColor(255, 0, 0));
    EXPECT_TRUE(Near(At(kWidth - 4, kHeight - 4), kRed));
    // The default-pool resources came back with the new device.
    target->SetClearColor(cColor(0, 0, 255, 255));
    m_Renderer->SetRenderTarget(target);
    EXPECT_TRUE(Near(At(8, 8), kBlue));
    m_Renderer->SetRenderTarget(nullptr);
    m_Renderer->EndFrame();

    // The same size again costs no reset.
    m_Renderer->BeginFrame(cColor(0, 0, 0));
    m_Renderer->EndFrame();
    EXPECT_EQ(Backend()->GetResetCount(), 1);
    EXPECT_FALSE(Backend()->IsDeviceLost());
    target->Release();
}

TEST_F(Direct3D9RendererTest, OutputViewportsPresentIntoTheirWindow) {
    cTestWindow second;
    IViewport* viewport = m_Renderer->CreateViewport(second.Get());
    ASSERT_NE(viewport, nullptr);
    m_Renderer->SetViewport(viewport);
    m_Renderer->BeginFrame(cColor(0, 0, 255));
    EXPECT_TRUE(Near(At(1, 1), kBlue));
    m_Renderer->EndFrame();
    m_Renderer->SetViewport(nullptr);
    m_Renderer->BeginFrame(cColor(255, 0, 0));
    EXPECT_TRUE(Near(At(1, 1), kRed));
    m_Renderer->EndFrame();
    viewport->Release();
}

TEST_F(Direct3D9RendererTest, FeaturesAndStacks) {
    EXPECT_FALSE(m_Renderer->QueryFeature(FEAT_NP2_TEXTURES));
    EXPECT_TRUE(m_Renderer->QueryFeature(FEAT_RENDER_TO_TARGET));
    EXPECT_THROW(m_Renderer->QueryFeature(FEAT_COUNT), cException);
    EXPECT_GE(m_Renderer->GetMaxTextureStages(), 1);
    for (int i = 0; i < cDirect3D9Renderer::kStackDepth; ++i) m_Renderer->PushTransform(MM_VIEW);
    EXPECT_THROW(m_Renderer->PushTransform(MM_VIEW), cException);
    for (int i = 0; i < cDirect3D9Renderer::kStackDepth; ++i) m_Renderer->PopTransform(MM_VIEW);
    EXPECT_THROW(m_Renderer->PopTransform(MM_VIEW), cException);
    EXPECT_THROW(m_Renderer->RenderBezier2(sBezier2(), 1), cException);
    // The same blend function twice reaches the device once.
    const std::uint64_t before = Backend()->GetDeviceCallCount();
    m_Renderer->SetBlendFunc(BF_ONE, BF_ONE);
    m_Renderer->SetBlendFunc(BF_ONE, BF_ONE);
    EXPECT_EQ(Backend()->GetDeviceCallCount(), before + 1);
}

TEST_F(Direct3D9RendererTest, ViewportRectanglesAreClippedToTheWindow) {
    m_Renderer->SetViewportRect(0, 0, 100, 50);
    int x, y, w, h;
    m_Renderer->GetViewportRect(x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, kSize - 50);
    EXPECT_EQ(w, kSize);
    EXPECT_EQ(h, 50);
}

} // namespace
} // namespace velmora::video

#endif // _WIN32

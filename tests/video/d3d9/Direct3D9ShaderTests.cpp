// The shipped Direct3D 9 shaders drawn from their committed bytecode (under Wine in the Windows
// test run): the renderer finds the bytecode beside the "_d3d9" file, the uniforms reach the
// registers the programs read, the engine's matrix reaches the vertex programs the right way
// round, and what the pixel programs compute (after the build's clean-up pass) is the formula of
// their source.
#ifdef _WIN32

#include "video/d3d9/D3D9Api.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/filesystem/FileSystemFactory.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "video/IBuffers.h"
#include "video/IRenderer.h"
#include "video/IShader.h"
#include "video/ITexture.h"
#include "video/d3d9/cDirect3D9Shader.h"

namespace velmora::video {
namespace {

constexpr int kSize = 32;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcW(window, message, w, l);
}

class Direct3D9ShaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VelmoraD3D9ShaderTest";
        RegisterClassW(&wc);
        // A pop-up's client area is exactly kSize square (a captioned window would be widened to its smallest
        // width, and the back buffer follows the window).
        m_Window = CreateWindowExW(0, wc.lpszClassName, L"shader test", WS_POPUP, 0, 0, kSize, kSize, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        ASSERT_NE(m_Window, nullptr);
        // The shaders and their bytecode are read below the source folder the tests run in.
        m_PreviousFileSystem = GetProcessFileSystem();
        SetProcessFileSystem(&m_FileSystem);
        sRendererDesc desc;
        desc.rendererId = kRendererDirect3D9;
        desc.depthFlags = kDepth24 | kWithStencil;
        m_Renderer.reset(CreateRenderer(desc, m_Window, kSize, kSize, false));
        ASSERT_NE(m_Renderer, nullptr);
    }
    void TearDown() override {
        m_Renderer.reset();
        SetProcessFileSystem(m_PreviousFileSystem);
        if (m_Window) DestroyWindow(m_Window);
    }

    // A 1 x 1 texture of one colour (bytes red, green, blue, alpha).
    ITexture2D* Plain(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
        const std::uint8_t pixel[4] = {r, g, b, a};
        ITexture2D* texture = m_Renderer->CreateTexture(pixel, 1, 1, 4);
        m_Textures.push_back(texture);
        return texture;
    }
    std::vector<std::uint8_t> Pixel(int x, int y) {
        std::vector<std::uint8_t> rgba;
        EXPECT_TRUE(m_Renderer->ReadPixels(x, y, 1, 1, rgba));
        rgba.resize(4);
        return rgba;
    }
    void ReleaseTextures() {
        for (ITexture2D* texture : m_Textures) texture->Release();
        m_Textures.clear();
    }

    HWND m_Window = nullptr;
    cPlatformFileSystem m_FileSystem;
    IFileSystem* m_PreviousFileSystem = nullptr;
    std::unique_ptr<IRenderer> m_Renderer;
    std::vector<ITexture2D*> m_Textures;
};

float Byte(std::uint8_t b) { return b / 255.0f; }

TEST_F(Direct3D9ShaderTest, TerrainBlendsItsLayersAndFogsAsItsSourceSays) {
    IShader* shader = m_Renderer->CreateShader("data/shaders/common/terrain.txt", "", "");
    ASSERT_NE(shader, nullptr);
    auto* d3d = static_cast<cDirect3D9Shader*>(shader);
    EXPECT_TRUE(d3d->HasVertexShader());
    EXPECT_TRUE(d3d->HasPixelShader());
    EXPECT_EQ(shader->GetName(), "data/shaders/common/terrain_d3d9.txt");

    // Colour, layer weights (0.25, 0.25, 0, 0: the base takes half), light, base, four details.
    const std::uint8_t diffuse[3] = {153, 102, 51}, weights[4] = {64, 64, 0, 0}, light[3] = {128, 255, 255},
                       base[3] = {102, 102, 102}, detail0[3] = {204, 0, 0}, detail1[3] = {0, 204, 0};
    ITexture2D* stages[8] = {Plain(diffuse[0], diffuse[1], diffuse[2]),
                             Plain(weights[0], weights[1], weights[2], weights[3]),
                             Plain(light[0], light[1], light[2]),
                             Plain(base[0], base[1], base[2]),
                             Plain(detail0[0], detail0[1], detail0[2]),
                             Plain(detail1[0], detail1[1], detail1[2]),
                             Plain(0, 0, 0),
                             Plain(0, 0, 0)};
    const float baseWeight = std::max(1.0f - (Byte(weights[0]) + Byte(weights[1])), 0.0f);
    float expected[3];
    for (int c = 0; c < 3; ++c) {
        const float layers = Byte(base[c]) * baseWeight + Byte(detail0[c]) * Byte(weights[0]) +
                             Byte(detail1[c]) * Byte(weights[1]);
        expected[c] = (Byte(diffuse[c]) + layers - 0.5f) * Byte(light[c]);
    }

    struct sVertex {
        float position[3], normal[3], uv0[2], uv1[2];
    };
    const sVertexElement format[] = {{0, T_FLOAT, 3, VU_POSITION},
                                     {12, T_FLOAT, 3, VU_NORMAL},
                                     {24, T_FLOAT, 2, VU_TEXCOORD0},
                                     {32, T_FLOAT, 2, VU_TEXCOORD1},
                                     {0, 0, 0, VU_END}};
    const sVertex quad[4] = {{{0, 0, 0}, {0, 0, 1}, {0, 0}, {0, 0}},
                             {{kSize, 0, 0}, {0, 0, 1}, {1, 0}, {1, 0}},
                             {{kSize, kSize, 0}, {0, 0, 1}, {1, 1}, {1, 1}},
                             {{0, kSize, 0}, {0, 0, 1}, {0, 1}, {0, 1}}};
    IVertexBuffer* buffer = m_Renderer->CreateVertexBuffer(0, format, sizeof(sVertex), sizeof(quad));
    ASSERT_NE(buffer, nullptr);
    ASSERT_TRUE(buffer->Fill(quad, sizeof(quad)));

    for (int stage = 0; stage < 8; ++stage) m_Renderer->SetTexture(stages[stage], stage);
    m_Renderer->SetCullMode(CM_NONE);
    m_Renderer->SetVertexBuffer(buffer);
    // The camera 10 units in front of the quad's centre.
    shader->SetUniform("u_Camera", cVector3(kSize / 2.0f, kSize / 2.0f, 10.0f));
    for (const char* scale : {"u_ScaleBase", "u_Scale0", "u_Scale1", "u_Scale2", "u_Scale3"}) {
        shader->SetUniform(scale, 1.0f, 1.0f);
    }

    for (float density : {0.0f, 0.05f, 0.1f}) {
        shader->SetUniform("u_Fog", 0.0f, 0.0f, 1.0f, density);
        m_Renderer->BeginFrame(cColor(255, 0, 255));
        m_Renderer->SetShader(shader);
        m_Renderer->RenderPrimitives(PT_TRIANGLE_FAN, 0, 4);
        m_Renderer->SetShader(nullptr);
        const float fog = std::exp(-density * density * 100.0f);
        const float fogColour[3] = {0.0f, 0.0f, 1.0f};
        const std::vector<std::uint8_t> centre = Pixel(kSize / 2, kSize / 2);
        for (int c = 0; c < 3; ++c) {
            // The blend is unclamped (as in the OpenGL program); only the written colour is.
            const float value = std::min(std::max(fogColour[c] + (expected[c] - fogColour[c]) * fog, 0.0f), 1.0f);
            EXPECT_NEAR(centre[c], value * 255.0f, 4.0) << "channel " << c << " at fog density " << density;
        }
        // The engine's matrix reached the program: the quad covers the window corner to corner.
        EXPECT_NE(Pixel(0, 0)[0], 255) << "corner left undrawn";
        EXPECT_NE(Pixel(kSize - 1, kSize - 1)[0], 255) << "corner left undrawn";
        m_Renderer->EndFrame();
    }
    for (int stage = 0; stage < 8; ++stage) m_Renderer->SetTexture(nullptr, stage);
    m_Renderer->SetVertexBuffer(nullptr);
    buffer->Release();
    shader->Release();
    ReleaseTextures();
}

TEST_F(Direct3D9ShaderTest, ColourShadersPassTheVertexColourOn) {
    struct sVertex {
        float position[3];
        std::uint8_t rgba[4];
    };
    const sVertexElement format[] = {{0, T_FLOAT, 3, VU_POSITION}, {12, T_UBYTE, 4, VU_COLOR}, {0, 0, 0, VU_END}};
    const sVertex quad[4] = {{{0, 0, 0}, {200, 100, 50, 255}},
                             {{kSize, 0, 0}, {200, 100, 50, 255}},
                             {{kSize, kSize, 0}, {200, 100, 50, 255}},
                             {{0, kSize, 0}, {200, 100, 50, 255}}};
    IVertexBuffer* buffer = m_Renderer->CreateVertexBuffer(0, format, sizeof(sVertex), sizeof(quad));
    ASSERT_NE(buffer, nullptr);
    ASSERT_TRUE(buffer->Fill(quad, sizeof(quad)));
    m_Renderer->SetCullMode(CM_NONE);
    for (const char* name : {"data/shaders/common/vegetation.txt", "data/shaders/common/sunlight.txt"}) {
        IShader* shader = m_Renderer->CreateShader(name, "", "");
        ASSERT_NE(shader, nullptr) << name;
        m_Renderer->BeginFrame(cColor(0, 0, 0));
        m_Renderer->SetVertexBuffer(buffer);
        m_Renderer->SetShader(shader);
        m_Renderer->RenderPrimitives(PT_TRIANGLE_FAN, 0, 4);
        m_Renderer->SetShader(nullptr);
        const std::vector<std::uint8_t> centre = Pixel(kSize / 2, kSize / 2);
        EXPECT_NEAR(centre[0], 200, 2) << name;
        EXPECT_NEAR(centre[1], 100, 2) << name;
        EXPECT_NEAR(centre[2], 50, 2) << name;
        m_Renderer->EndFrame();
        m_Renderer->SetVertexBuffer(nullptr);
        shader->Release();
    }
    // The pixel stage of a vertex-only shader stays fixed-function.
    IShader* sunlight = m_Renderer->CreateShader("data/shaders/common/sunlight.txt", "", "");
    ASSERT_NE(sunlight, nullptr);
    EXPECT_FALSE(static_cast<cDirect3D9Shader*>(sunlight)->HasPixelShader());
    sunlight->Release();
    buffer->Release();
}

TEST(Direct3D9ShaderNameTest, BytecodeFilesSitBesideTheSourceWithTheHeadersKey) {
    EXPECT_EQ(cDirect3D9Shader::BytecodeName("data/shaders/common/terrain_d3d9.txt", "", "", "ps"),
              "data/shaders/common/terrain_d3d9.ps.bin");
    const std::string a = cDirect3D9Shader::BytecodeName("a/b_d3d9.txt", "#define X\n", "", "vs");
    const std::string b = cDirect3D9Shader::BytecodeName("a/b_d3d9.txt", "", "#define X\n", "vs");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind("a/b_d3d9.", 0), 0u);
    EXPECT_EQ(a.substr(a.size() - 7), ".vs.bin");
    // A dot in a folder name is no extension.
    EXPECT_EQ(cDirect3D9Shader::BytecodeName("a.b/shader", "", "", "vs"), "a.b/shader.vs.bin");
}

} // namespace
} // namespace velmora::video

#endif // _WIN32

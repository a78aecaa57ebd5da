#pragma once
// One off-screen OpenGL renderer per test program: an SDL window on the
// offscreen video driver (Mesa's software rasterizer, exact 8-bit RGBA,
// 24-bit depth, 8-bit stencil) and the engine's OpenGL renderer on it,
// created on first use and destroyed after the last test. Tests of later
// features (shaders, terrain, fonts) reuse it.

#include <array>
#include <cstdint>

#include "video/VideoTestSupport.h"
#include "video/cCommonRenderer.h"

namespace vtest {

class cGLTestContext {
public:
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 96;

    // The shared context; null (with the reason in Error()) when no GL context can be had.
    static cGLTestContext* Get();
    static const char* Error();

    velmora::video::IRenderer* Renderer() { return m_Renderer; }
    velmora::video::cCommonRenderer* Common() { return m_Common; }

    // Puts the renderer back to the states a test starts from: orthographic pixels over the
    // whole window, identity world and view, blending, alpha test, fog and scissor off, depth
    // writes on, culling 2, no textures, cleared to opaque black.
    void Reset();
    // The framebuffer as RGBA, bottom row first.
    sImage ReadPixels() const;
    std::array<std::uint8_t, 4> Pixel(int x, int y) const;
    // Writes the framebuffer to OutputDir()/name.png.
    void Screenshot(const char* name) const;

    // Destroys renderer and window (called once after all tests).
    static void Shutdown();

private:
    cGLTestContext() = default;
    void* m_Window = nullptr;
    velmora::video::IRenderer* m_Renderer = nullptr;
    velmora::video::cCommonRenderer* m_Common = nullptr;
};

// Fetches the context or skips the test with the reason.
#define VTEST_REQUIRE_GL(ctx)                                                        \
    vtest::cGLTestContext* ctx = vtest::cGLTestContext::Get();                       \
    if (!ctx) GTEST_FAIL() << "no OpenGL context: " << vtest::cGLTestContext::Error(); \
    ctx->Reset()

} // namespace vtest

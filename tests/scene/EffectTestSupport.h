#pragma once
// A recording renderer for the effect tests: the null renderer's buffer,
// texture and draw lines plus the render states the effects set, quads and
// transform stack operations; its view matrix is whatever the test sets, and
// its vertex buffers can be made to refuse Lock.

#include <string>

#include "scene/support/cNullRenderer.h"

namespace velmora::scene::test {

class cEffectRenderer : public cNullRenderer {
public:
    using cNullRenderer::RenderQuad;
    using cNullRenderer::SetTransform;

    cMatrix view;
    int alphaFunc = 0, blendSource = 0, blendDestination = 0;
    cVector3 quad[4];  // corners of the last quad
    bool failLocks = false;

    void SetBlendFunc(int s, int d) override {
        blendSource = s, blendDestination = d;
        calls.push_back("blend " + std::to_string(s) + " " + std::to_string(d));
    }
    void SetAlphaTest(int func, float) override {
        alphaFunc = func;
        calls.push_back("alpha " + std::to_string(func));
    }
    void SetDepthWrite(bool on) override { calls.push_back(on ? "depth on" : "depth off"); }
    void SetCullMode(int mode) override { calls.push_back("cull " + std::to_string(mode)); }
    void PushTransform(int mode) override { calls.push_back("push " + std::to_string(mode)); }
    void PopTransform(int mode) override { calls.push_back("pop " + std::to_string(mode)); }
    void SetTransform(int mode, const cMatrix& m, bool multiply) override {
        calls.push_back("transform " + std::to_string(mode) + (multiply ? " times " : " ") + std::to_string(int(m[12])) +
                        std::to_string(int(m[13])) + std::to_string(int(m[14])));
    }
    void GetTransform(int mode, cMatrix& out) override { out = mode == video::MM_VIEW ? view : cMatrix(); }
    int GetAlphaTestFunc() const override { return alphaFunc; }
    int GetBlendSrc() const override { return blendSource; }
    int GetBlendDst() const override { return blendDestination; }
    void RenderQuad(video::ITexture* texture, const cVector3 corners[4], const cRect&, const cColor& color) override {
        for (int i = 0; i < 4; ++i) quad[i] = corners[i];
        calls.push_back("quad " + (texture ? texture->GetName() : std::string("none")) +
                        (color == cColor(255, 255, 255, 255) ? " white" : " tinted"));
    }
    video::IVertexBuffer* CreateVertexBuffer(int usage, const video::sVertexElement* format, int stride,
                                             std::size_t size) override {
        if (!failLocks) return cNullRenderer::CreateVertexBuffer(usage, format, stride, size);
        auto* buffer = new cLocklessBuffer(*this, format, stride, size);
        buffer->id = nextId++;
        vertexBuffers.push_back(buffer);
        return buffer;
    }

private:
    struct cLocklessBuffer : cMemoryVertexBuffer {
        using cMemoryVertexBuffer::cMemoryVertexBuffer;
        void* Lock(bool) override { return nullptr; }
    };
};

} // namespace velmora::scene::test

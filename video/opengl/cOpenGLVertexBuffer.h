#pragma once
// A vertex buffer on OpenGL: a buffer object whose format is bound to the
// fixed-function arrays (vertex, normal, colour, texture coordinate sets 0-2),
// which GLSL 1.20 programs read as gl_Vertex, gl_Normal, gl_Color and
// gl_MultiTexCoord0-2. A one-float position goes through generic attribute 0,
// which stands for the vertex position. While a buffer without colours is
// bound, lighting takes the material's diffuse colour and unlit drawing is
// white; a buffer with colours feeds them to both.

#include <epoxy/gl.h>

#include "video/cCommonVertexBuffer.h"

namespace velmora::video {

class cOpenGLRenderer;

class cOpenGLVertexBuffer : public cCommonVertexBuffer {
public:
    cOpenGLVertexBuffer(cResourceManager* owner, cOpenGLRenderer* renderer);
    ~cOpenGLVertexBuffer() override;

    // False when the bytes do not fit or the buffer is locked.
    bool Fill(const void* data, std::size_t bytes) override;
    void* Lock(bool writable) override;
    bool Unlock() override;
    bool IsValid() const override { return m_Buffer != 0; }
    void Bind() override;
    void Unbind() override;

    GLuint GetBufferId() const { return m_Buffer; }

protected:
    // Raises "cOpenGLVertexBuffer::Create : failed to create vertex buffer, %s".
    void CreateDeviceBuffer() override;

private:
    // Fixed-function stages that take coordinate set 0 when the format has no set of their own.
    static constexpr int kFirstSharedStage = 2;
    static constexpr int kLastSharedStage = 3;
    // The format's element for texture coordinate set `set`, or null.
    const sVertexElement* FindTexCoordSet(int set) const;
    // Set 0 when the fixed-function `stage` borrows it (the format has set 0 and none for the stage), else null.
    const sVertexElement* SharedSet(int stage) const;

    GLuint m_Buffer = 0;
    void* m_Mapped = nullptr;
    bool m_Bound = false;
};

} // namespace velmora::video

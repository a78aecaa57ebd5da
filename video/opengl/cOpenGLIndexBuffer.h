#pragma once
// An index buffer on OpenGL: an element buffer object of 16- or 32-bit indices.

#include <epoxy/gl.h>

#include "video/cCommonIndexBuffer.h"

namespace velmora::video {

class cOpenGLRenderer;

class cOpenGLIndexBuffer : public cCommonIndexBuffer {
public:
    cOpenGLIndexBuffer(cResourceManager* owner, cOpenGLRenderer* renderer);
    ~cOpenGLIndexBuffer() override;

    // False when the bytes do not fit or the buffer is locked.
    bool Fill(const void* data, std::size_t bytes) override;
    void* Lock(bool writable) override;
    bool Unlock() override;
    bool IsValid() const override { return m_Buffer != 0; }
    void Bind() override;
    void Unbind() override;

    GLuint GetBufferId() const { return m_Buffer; }

protected:
    // Raises "cOpenGLIndexBuffer::Create : failed to create index buffer, %s".
    void CreateDeviceBuffer() override;

private:
    GLuint m_Buffer = 0;
    void* m_Mapped = nullptr;
};

} // namespace velmora::video

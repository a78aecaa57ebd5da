#include "video/opengl/cOpenGLIndexBuffer.h"

#include "engine/core/cException.h"
#include "video/opengl/GLUtil.h"
#include "video/opengl/cOpenGLRenderer.h"
#include "video/opengl/cScopedBufferBinding.h"

namespace velmora::video {

cOpenGLIndexBuffer::cOpenGLIndexBuffer(cResourceManager* owner, cOpenGLRenderer* renderer)
    : cCommonIndexBuffer(owner, renderer) {}

cOpenGLIndexBuffer::~cOpenGLIndexBuffer() {
    if (m_Buffer) {
        if (m_Mapped) Unlock();
        glDeleteBuffers(1, &m_Buffer);
    }
}

void cOpenGLIndexBuffer::CreateDeviceBuffer() {
    gl::ClearErrors();
    glGenBuffers(1, &m_Buffer);
    if (!m_Buffer) RaiseError("cOpenGLIndexBuffer::Create : failed to create index buffer, no buffer object");
    cScopedBufferBinding bind(GL_ELEMENT_ARRAY_BUFFER, m_Buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_Size), nullptr,
                 m_Usage == 2 ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        glDeleteBuffers(1, &m_Buffer);
        m_Buffer = 0;
        RaiseError("cOpenGLIndexBuffer::Create : failed to create index buffer, %s", gl::ErrorText(error));
    }
}

bool cOpenGLIndexBuffer::Fill(const void* data, std::size_t bytes) {
    if (!data || bytes == 0) return true;
    if (!m_Buffer || m_Mapped || bytes > m_Size) return false;
    cScopedBufferBinding bind(GL_ELEMENT_ARRAY_BUFFER, m_Buffer);
    gl::ClearErrors();
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), data);
    return glGetError() == GL_NO_ERROR;
}

void* cOpenGLIndexBuffer::Lock(bool writable) {
    if (!m_Buffer) return nullptr;
    if (m_Mapped) return m_Mapped;
    cScopedBufferBinding bind(GL_ELEMENT_ARRAY_BUFFER, m_Buffer);
    m_Mapped = glMapBuffer(GL_ELEMENT_ARRAY_BUFFER, writable ? GL_READ_WRITE : GL_READ_ONLY);
    return m_Mapped;
}

bool cOpenGLIndexBuffer::Unlock() {
    if (!m_Buffer || !m_Mapped) return false;
    cScopedBufferBinding bind(GL_ELEMENT_ARRAY_BUFFER, m_Buffer);
    m_Mapped = nullptr;
    return glUnmapBuffer(GL_ELEMENT_ARRAY_BUFFER) == GL_TRUE;
}

void cOpenGLIndexBuffer::Bind() {
    if (m_Buffer) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_Buffer);
}

void cOpenGLIndexBuffer::Unbind() { glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0); }

} // namespace velmora::video

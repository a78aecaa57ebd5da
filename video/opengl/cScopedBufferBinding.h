#pragma once
// Binds a buffer object to a target for the scope and puts the previous
// binding back (private to the OpenGL backend's buffers).

#include <epoxy/gl.h>

namespace velmora::video {

class cScopedBufferBinding {
public:
    // target: GL_ARRAY_BUFFER or GL_ELEMENT_ARRAY_BUFFER.
    cScopedBufferBinding(GLenum target, GLuint buffer) : m_Target(target) {
        GLint previous = 0;
        glGetIntegerv(target == GL_ARRAY_BUFFER ? GL_ARRAY_BUFFER_BINDING : GL_ELEMENT_ARRAY_BUFFER_BINDING, &previous);
        m_Previous = static_cast<GLuint>(previous);
        if (m_Previous != buffer) glBindBuffer(target, buffer);
        m_Changed = m_Previous != buffer;
    }
    ~cScopedBufferBinding() {
        if (m_Changed) glBindBuffer(m_Target, m_Previous);
    }
    cScopedBufferBinding(const cScopedBufferBinding&) = delete;
    cScopedBufferBinding& operator=(const cScopedBufferBinding&) = delete;

private:
    GLenum m_Target;
    GLuint m_Previous = 0;
    bool m_Changed = false;
};

} // namespace velmora::video

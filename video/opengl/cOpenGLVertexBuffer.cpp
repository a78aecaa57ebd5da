#include "video/opengl/cOpenGLVertexBuffer.h"

#include "engine/core/cException.h"
#include "video/opengl/GLUtil.h"
#include "video/opengl/cOpenGLMaterial.h"
#include "video/opengl/cOpenGLRenderer.h"
#include "video/opengl/cScopedBufferBinding.h"

namespace velmora::video {

namespace {

const void* Offset(std::int32_t offset) { return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset)); }

} // namespace

cOpenGLVertexBuffer::cOpenGLVertexBuffer(cResourceManager* owner, cOpenGLRenderer* renderer)
    : cCommonVertexBuffer(owner, renderer) {}

cOpenGLVertexBuffer::~cOpenGLVertexBuffer() {
    // Arrays left enabled on a deleted buffer would read client memory at the next draw.
    if (m_Bound) Unbind();
    if (m_Buffer) {
        if (m_Mapped) Unlock();
        glDeleteBuffers(1, &m_Buffer);
    }
}

void cOpenGLVertexBuffer::CreateDeviceBuffer() {
    gl::ClearErrors();
    glGenBuffers(1, &m_Buffer);
    if (!m_Buffer) RaiseError("cOpenGLVertexBuffer::Create : failed to create vertex buffer, no buffer object");
    cScopedBufferBinding bind(GL_ARRAY_BUFFER, m_Buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_Size), nullptr,
                 m_Usage == 2 ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        glDeleteBuffers(1, &m_Buffer);
        m_Buffer = 0;
        RaiseError("cOpenGLVertexBuffer::Create : failed to create vertex buffer, %s", gl::ErrorText(error));
    }
}

bool cOpenGLVertexBuffer::Fill(const void* data, std::size_t bytes) {
    if (!data || bytes == 0) return true;
    if (!m_Buffer || m_Mapped || bytes > m_Size) return false;
    cScopedBufferBinding bind(GL_ARRAY_BUFFER, m_Buffer);
    gl::ClearErrors();
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), data);
    return glGetError() == GL_NO_ERROR;
}

void* cOpenGLVertexBuffer::Lock(bool writable) {
    if (!m_Buffer) return nullptr;
    if (m_Mapped) return m_Mapped;
    cScopedBufferBinding bind(GL_ARRAY_BUFFER, m_Buffer);
    m_Mapped = glMapBuffer(GL_ARRAY_BUFFER, writable ? GL_READ_WRITE : GL_READ_ONLY);
    return m_Mapped;
}

bool cOpenGLVertexBuffer::Unlock() {
    if (!m_Buffer || !m_Mapped) return false;
    cScopedBufferBinding bind(GL_ARRAY_BUFFER, m_Buffer);
    m_Mapped = nullptr;
    return glUnmapBuffer(GL_ARRAY_BUFFER) == GL_TRUE;
}

const sVertexElement* cOpenGLVertexBuffer::FindTexCoordSet(int set) const {
    for (const sVertexElement& element : m_Format) {
        if (element.usage == VU_TEXCOORD0 + set) return &element;
    }
    return nullptr;
}

const sVertexElement* cOpenGLVertexBuffer::SharedSet(int stage) const {
    return FindTexCoordSet(stage) ? nullptr : FindTexCoordSet(0);
}

void cOpenGLVertexBuffer::Bind() {
    if (!m_Buffer) return;
    glBindBuffer(GL_ARRAY_BUFFER, m_Buffer);
    const GLsizei stride = static_cast<GLsizei>(m_Stride);
    bool colors = false;
    for (const sVertexElement& element : m_Format) {
        switch (element.usage) {
            case VU_POSITION:
                if (element.count >= 2) {
                    glVertexPointer(element.count, GL_FLOAT, stride, Offset(element.offset));
                    glEnableClientState(GL_VERTEX_ARRAY);
                } else {
                    glVertexAttribPointer(0, 1, GL_FLOAT, GL_FALSE, stride, Offset(element.offset));
                    glEnableVertexAttribArray(0);
                }
                break;
            case VU_NORMAL:
                glNormalPointer(GL_FLOAT, stride, Offset(element.offset));
                glEnableClientState(GL_NORMAL_ARRAY);
                break;
            case VU_COLOR:
                glColorPointer(4, GL_UNSIGNED_BYTE, stride, Offset(element.offset));
                glEnableClientState(GL_COLOR_ARRAY);
                colors = true;
                break;
            default:
                glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(element.usage - VU_TEXCOORD0));
                glTexCoordPointer(element.count, GL_FLOAT, stride, Offset(element.offset));
                glEnableClientState(GL_TEXTURE_COORD_ARRAY);
                break;
        }
    }
    // The fixed-function stages from 2 on read coordinate set 0 (the light map over the colour map's
    // coordinates); a format with its own set for such a stage keeps it.
    for (int stage = kFirstSharedStage; stage <= kLastSharedStage; ++stage) {
        if (const sVertexElement* set0 = SharedSet(stage)) {
            glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
            glTexCoordPointer(set0->count, GL_FLOAT, stride, Offset(set0->offset));
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    glClientActiveTexture(GL_TEXTURE0);
    // As a device does without vertex colours: lighting takes the material's diffuse colour,
    // unlit drawing is white.
    cOpenGLMaterial::UseVertexColors(colors);
    if (!colors) glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    m_Bound = true;
}

void cOpenGLVertexBuffer::Unbind() {
    for (const sVertexElement& element : m_Format) {
        switch (element.usage) {
            case VU_POSITION:
                if (element.count >= 2) {
                    glDisableClientState(GL_VERTEX_ARRAY);
                } else {
                    glDisableVertexAttribArray(0);
                }
                break;
            case VU_NORMAL: glDisableClientState(GL_NORMAL_ARRAY); break;
            case VU_COLOR: glDisableClientState(GL_COLOR_ARRAY); break;
            default:
                glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(element.usage - VU_TEXCOORD0));
                glDisableClientState(GL_TEXTURE_COORD_ARRAY);
                break;
        }
    }
    for (int stage = kFirstSharedStage; stage <= kLastSharedStage; ++stage) {
        if (SharedSet(stage)) {
            glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    glClientActiveTexture(GL_TEXTURE0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    cOpenGLMaterial::UseVertexColors(true);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    m_Bound = false;
}

} // namespace velmora::video

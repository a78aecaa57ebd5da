#include "video/opengl/cOpenGLOcclusionQuery.h"

#include <chrono>
#include <thread>

#include "engine/core/Log.h"
#include "engine/core/cException.h"

namespace velmora::video {

namespace {

// GL counts one query of a kind at a time.
cOpenGLOcclusionQuery* g_OpenQuery = nullptr;

} // namespace

cOpenGLOcclusionQuery::~cOpenGLOcclusionQuery() {
    if (m_Open) End();
    if (m_Query) glDeleteQueries(1, &m_Query);
}

void cOpenGLOcclusionQuery::Create() {
    GLint bits = 0;
    glGetQueryiv(GL_SAMPLES_PASSED, GL_QUERY_COUNTER_BITS, &bits);
    if (bits <= 0) RaiseError("cOpenGLOcclusionQuery::Create : not supported");
    glGenQueries(1, &m_Query);
    if (!m_Query) RaiseError("cOpenGLOcclusionQuery::Create : not supported");
}

void cOpenGLOcclusionQuery::Begin() {
    if (!m_Query || g_OpenQuery) return;
    glBeginQuery(GL_SAMPLES_PASSED, m_Query);
    g_OpenQuery = this;
    m_Open = true;
    m_Pending = false;
}

void cOpenGLOcclusionQuery::End() {
    if (!m_Open) return;
    glEndQuery(GL_SAMPLES_PASSED);
    g_OpenQuery = nullptr;
    m_Open = false;
    m_Pending = true;
}

bool cOpenGLOcclusionQuery::IsAvailable() {
    if (!m_Pending) return !m_Open;
    GLuint available = GL_FALSE;
    glGetQueryObjectuiv(m_Query, GL_QUERY_RESULT_AVAILABLE, &available);
    return available == GL_TRUE;
}

std::uint32_t cOpenGLOcclusionQuery::GetResult() {
    if (!m_Pending) return m_LastResult;
    const auto start = std::chrono::steady_clock::now();
    const auto limit = std::chrono::milliseconds(kMaxWaitMilliseconds);
    for (int tries = 0; !IsAvailable(); ++tries) {
        if (std::chrono::steady_clock::now() - start > limit) {
            LogWarning("cOpenGLOcclusionQuery::GetResult : no answer from the device after %d ms\n",
                       kMaxWaitMilliseconds);
            return m_LastResult;
        }
        glFlush();
        if (tries > 16) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    GLuint samples = 0;
    glGetQueryObjectuiv(m_Query, GL_QUERY_RESULT, &samples);
    m_LastResult = samples;
    m_Pending = false;
    return m_LastResult;
}

} // namespace velmora::video

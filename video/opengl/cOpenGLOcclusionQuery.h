#pragma once
// An occlusion query on OpenGL: the samples that pass the depth test between
// Begin and End (GL_SAMPLES_PASSED; without multisampling, pixels).
//
// GetResult waits for the answer, flushing while the driver says "not yet",
// but at most kMaxWaitMilliseconds: past that it logs a warning and returns the
// last result. A query never begun, or still open, answers the last result at
// once.

#include <epoxy/gl.h>

#include <cstdint>

#include "video/IResources.h"

namespace velmora::video {

class cOpenGLOcclusionQuery : public IOcclusionQuery {
public:
    static constexpr int kMaxWaitMilliseconds = 2000;

    cOpenGLOcclusionQuery() = default;
    ~cOpenGLOcclusionQuery() override;
    cOpenGLOcclusionQuery(const cOpenGLOcclusionQuery&) = delete;
    cOpenGLOcclusionQuery& operator=(const cOpenGLOcclusionQuery&) = delete;

    // Raises "cOpenGLOcclusionQuery::Create : not supported" without a sample counter.
    void Create();
    void Release() override { delete this; }
    std::uint32_t GetResult() override;
    std::uint32_t GetLastResult() const override { return m_LastResult; }
    // Ignored while this query is open, or while another one is.
    void Begin() override;
    // Ignored unless this query is open.
    void End() override;
    // True when an ended query's answer is ready (or there is nothing to wait for).
    bool IsAvailable() override;

private:
    GLuint m_Query = 0;
    std::uint32_t m_LastResult = 0;
    bool m_Open = false;
    bool m_Pending = false;  // ended, result not read yet
};

} // namespace velmora::video

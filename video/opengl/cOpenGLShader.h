#pragma once
// A shader on OpenGL: both sources compiled as GLSL 1.20 (a "#version 120"
// line is put first unless the source names its own version) and linked into
// one program. A missing program leaves its stage to the fixed-function
// pipeline; with neither, Bind returns drawing to the fixed function.
//
// The engine's world-view-projection matrix is gl_ModelViewProjectionMatrix
// (the renderer keeps GL's modelview = world x view and projection current,
// so it is always the matrix of the moment). Vertex data reaches the programs
// through the built-in attributes (gl_Vertex, gl_Normal, gl_Color,
// gl_MultiTexCoord0-2).
//
// Samplers: the n-th sampler declared (fragment program first, then those only
// the vertex program declares; an array takes one stage per element) reads
// texture stage n. SetUniform(name, int) on a sampler moves it to another stage.
//
// Uniforms: each setter writes its floats into the named uniform whatever its
// declared kind: integer and boolean uniforms take the values converted, a
// shorter value leaves the remaining components as they were, a longer one
// runs on into the following array elements and is cut at the end.

#include <epoxy/gl.h>

#include <map>
#include <string>
#include <vector>

#include "video/cCommonShader.h"

namespace velmora::video {

class cOpenGLRenderer;

class cOpenGLShader : public cCommonShader {
public:
    // Longest compiler or linker log quoted in an error message.
    static constexpr std::size_t kMaxLogLength = 3000;

    cOpenGLShader(cResourceManager* owner, cOpenGLRenderer* renderer);
    ~cOpenGLShader() override;

    using cCommonShader::SetUniform;
    bool SetUniform(const char* name, float x, float y) override;
    bool SetUniform(const char* name, float x, float y, float z) override;
    bool SetUniform(const char* name, float x, float y, float z, float w) override;
    bool SetUniform(const char* name, float value) override;
    bool SetUniform(const char* name, int value) override;
    bool SetUniform(const char* name, const float* matrix16) override;
    bool SetUniformArray(const char* name, const float* values, int count) override;
    bool SetUniformArray(const char* name, const cVector2* values, int count) override;
    bool SetUniformArray(const char* name, const cVector3* values, int count) override;
    bool SetUniformArray(const char* name, const cVector4* values, int count) override;

    // Compiles and links; raises "cOpenGLShader::CompileShader( vertex ) : <log>", "( fragment )"
    // or "cOpenGLShader::CompileShader : failed to link program, <log>".
    void CompileShader() override;
    void Bind() override;
    void Unbind() override;

    GLuint GetProgram() const { return m_Program; }
    // The stage a sampler reads (-1 when the program has no such sampler).
    int GetSamplerStage(const std::string& name) const;
    // The sampler names in the order they were declared (the stage order).
    static std::vector<std::string> DeclaredSamplers(const std::string& source);
    // The source with the version line first: its own "#version" moved to the front, or
    // "#version 120" added.
    static std::string WithVersion(const std::string& source);

private:
    struct sUniform {
        GLint location = -1;
        GLenum type = 0;
        GLint size = 0;  // array elements
    };

    GLuint CompileStage(GLenum stage, const std::string& source, const char* label);
    void ReadUniforms();
    void AssignSamplers();
    void DeleteObjects();
    const sUniform* FindUniform(const char* name) const;
    // Writes n values into the uniform, as the header describes; false when the program
    // has no such uniform.
    bool Write(const char* name, const float* values, int n);
    bool WriteInts(const char* name, const int* values, int n);

    cOpenGLRenderer* m_GLRenderer;
    GLuint m_Program = 0;
    GLuint m_VertexShader = 0;
    GLuint m_FragmentShader = 0;
    std::map<std::string, sUniform> m_Uniforms;
};

} // namespace velmora::video

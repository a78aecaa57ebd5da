#pragma once
// Shaders: one text file with a "<vertex>" and an optional "<fragment>"
// section, created and cached by IRenderer::CreateShader under the file name
// and the two header texts. The OpenGL renderer reads the "_ogl" variant of
// the file (GLSL 1.20). Uniform setters write the named value into both
// programs; a program that does not declare the name ignores it.
//
// In the OpenGL variant the engine's world-view-projection matrix is
// gl_ModelViewProjectionMatrix, vertex elements arrive as gl_Vertex, gl_Normal,
// gl_Color and gl_MultiTexCoord0-2, and the n-th sampler the program declares
// (fragment program first) reads texture stage n. Matrices are sent as their 16
// floats unchanged: pass the engine's matrix transposed (as "u_WorldMatrix" is)
// and multiply row vectors on the left, "v * u_WorldMatrix".

#include <string>

#include "engine/core/cMatrix.h"
#include "engine/core/cVector2.h"
#include "engine/core/cVector3.h"
#include "engine/core/cVector4.h"

namespace velmora::video {

class IShader {
public:
    // Releases the device programs.
    virtual ~IShader() = default;
    // Lowers the count; at zero the shader leaves the renderer's cache and is destroyed.
    virtual void Release() = 0;
    // Raises the count; returns this shader.
    virtual IShader* AddRef() = 0;
    // The file name (with the renderer's suffix).
    virtual const std::string& GetName() const = 0;
    // Uniform setters; each returns true.
    virtual bool SetUniform(const char* name, const cVector2& v) = 0;
    virtual bool SetUniform(const char* name, float x, float y) = 0;
    virtual bool SetUniform(const char* name, const cVector3& v) = 0;
    virtual bool SetUniform(const char* name, float x, float y, float z) = 0;
    virtual bool SetUniform(const char* name, const cVector4& v) = 0;
    virtual bool SetUniform(const char* name, float x, float y, float z, float w) = 0;
    virtual bool SetUniform(const char* name, float value) = 0;
    virtual bool SetUniform(const char* name, int value) = 0;
    // 16 floats, no transposition.
    virtual bool SetUniform(const char* name, const cMatrix& m) = 0;
    virtual bool SetUniform(const char* name, const float* matrix16) = 0;
    // Arrays of count floats, or count 2-, 3- or 4-float vectors.
    virtual bool SetUniformArray(const char* name, const float* values, int count) = 0;
    virtual bool SetUniformArray(const char* name, const cVector2* values, int count) = 0;
    virtual bool SetUniformArray(const char* name, const cVector3* values, int count) = 0;
    virtual bool SetUniformArray(const char* name, const cVector4* values, int count) = 0;
    // Compiles both programs from the loaded sources; throws cException with the compiler's text.
    virtual void CompileShader() = 0;
    // Makes the programs current (called by IRenderer::SetShader).
    virtual void Bind() = 0;
    // Returns drawing to the fixed-function pipeline.
    virtual void Unbind() = 0;
};

} // namespace velmora::video

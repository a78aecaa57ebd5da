#pragma once
// A shader on Direct3D 9: a vs_1_1 vertex program and an optional ps_2_0 pixel
// program in HLSL (the "_d3d9" file). The shipped shaders carry precompiled
// bytecode beside their source ("<file>.vs.bin" and "<file>.ps.bin", or with
// the headers' key before ".vs" for a shader requested with headers); only a
// program without bytecode is compiled, with D3DCompile from d3dcompiler_47.dll,
// loaded when first needed. Uniforms are found by name in each program's
// constant table and written to the registers it names. Bind sets the two the
// renderer owns: "d3d_WorldViewProjectionMatrix" (the device's whole transform)
// and "d3d_ProjectionFix" (what the device adds to the engine's projection, for
// programs that project with "u_ProjectionMatrix" themselves).

#include "video/d3d9/D3D9Api.h"

#include <cstdint>
#include <string>
#include <vector>

#include "video/cCommonShader.h"
#include "video/d3d9/ShaderConstantTable.h"

namespace velmora::video {

class cDirect3D9Renderer;

class cDirect3D9Shader : public cCommonShader {
public:
    cDirect3D9Shader(cResourceManager* owner, cDirect3D9Renderer* renderer);
    ~cDirect3D9Shader() override;

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
    // Takes the bytecode files when they are there, else compiles the sources. Raises
    // "cDirect3D9Shader::CompileShader( vertex ) : %s" (or fragment) with the compiler's text.
    void CompileShader() override;
    void Bind() override;
    void Unbind() override;

    // The bytecode file of a program ("vs" or "ps") of a shader file requested with these headers.
    static std::string BytecodeName(const std::string& shaderName, const std::string& vertexHeader,
                                    const std::string& fragmentHeader, const char* program);
    const std::vector<d3d9::sShaderConstant>& GetVertexConstants() const { return m_VertexConstants; }
    const std::vector<d3d9::sShaderConstant>& GetFragmentConstants() const { return m_FragmentConstants; }
    bool HasPixelShader() const { return m_PixelShader != nullptr; }
    bool HasVertexShader() const { return m_VertexShader != nullptr; }

private:
    // Writes `count` elements of `components` floats each (one register per element, as arrays of
    // scalars and vectors take them); a matrix takes its floats register after register.
    void Write(const char* name, const float* values, int components, int count);
    // Bytecode of one program: the file when it is there and valid, else the compiler's.
    std::vector<std::uint8_t> Program(const std::string& source, const char* program, const char* target);

    cDirect3D9Renderer* m_D3DRenderer;
    IDirect3DVertexShader9* m_VertexShader = nullptr;
    IDirect3DPixelShader9* m_PixelShader = nullptr;
    std::vector<d3d9::sShaderConstant> m_VertexConstants;
    std::vector<d3d9::sShaderConstant> m_FragmentConstants;
};

} // namespace velmora::video

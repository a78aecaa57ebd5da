#pragma once
// The device-independent part of a shader: its cache identity (file name and
// the two header texts), reference count and the two program sources read
// from the shader file. A backend derives from it, compiles the sources and
// sets uniforms on its device programs.
//
// Shader file: a line "<vertex>" starts the vertex program, "<fragment>" the
// fragment program; each runs to the other marker or to the end of the file,
// in either order. A missing section leaves that program empty; text outside
// the sections and after a zero byte is ignored.

#include <string>

#include "video/IShader.h"

namespace velmora {
class IFile;
}

namespace velmora::video {

class cResourceManager;
class cCommonRenderer;

class cCommonShader : public IShader {
public:
    // owner: the cache the shader lives in; renderer: told when the shader goes away.
    cCommonShader(cResourceManager* owner, cCommonRenderer* renderer) : m_Owner(owner), m_Renderer(renderer) {}
    // Forgets the shader wherever the renderer still has it bound.
    ~cCommonShader() override;
    cCommonShader(const cCommonShader&) = delete;
    cCommonShader& operator=(const cCommonShader&) = delete;

    // At zero the shader leaves the cache (if bound, the renderer returns to fixed function)
    // and is destroyed.
    void Release() override;
    IShader* AddRef() override;
    const std::string& GetName() const override { return m_Name; }

    // The vector forms forward to the float forms.
    bool SetUniform(const char* name, const cVector2& v) override { return SetUniform(name, v.x, v.y); }
    bool SetUniform(const char* name, const cVector3& v) override { return SetUniform(name, v.x, v.y, v.z); }
    bool SetUniform(const char* name, const cVector4& v) override { return SetUniform(name, v.x, v.y, v.z, v.w); }
    bool SetUniform(const char* name, const cMatrix& m) override { return SetUniform(name, m.Data()); }
    using IShader::SetUniform;

    // Reads the whole file and splits it into the two sources, each header (when not empty)
    // put in front of its program followed by a line break. Throws on a read failure and when the file
    // holds neither section.
    void LoadShaderCode(IFile* file, const std::string& vertexHeader, const std::string& fragmentHeader);
    // The splitting of LoadShaderCode on text already read.
    static void SplitSections(const std::string& text, std::string& vertexSource, std::string& fragmentSource);

    void SetName(const std::string& name) { m_Name = name; }
    const std::string& GetVertexSource() const { return m_VertexSource; }
    const std::string& GetFragmentSource() const { return m_FragmentSource; }
    const std::string& GetVertexHeader() const { return m_VertexHeader; }
    const std::string& GetFragmentHeader() const { return m_FragmentHeader; }
    int GetReferenceCount() const { return m_RefCount; }

protected:
    cResourceManager* m_Owner;
    cCommonRenderer* m_Renderer;
    std::string m_Name;
    int m_RefCount = 1;
    std::string m_VertexSource;
    std::string m_FragmentSource;
    std::string m_VertexHeader;
    std::string m_FragmentHeader;
};

} // namespace velmora::video

#include "video/cCommonShader.h"

#include <new>
#include <stdexcept>

#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "video/cCommonRenderer.h"
#include "video/cResourceManager.h"

namespace velmora::video {

namespace {

const char kVertexMarker[] = "<vertex>";
const char kFragmentMarker[] = "<fragment>";

// The text after `marker` up to the first `other` marker behind it (or the end); false when
// the marker is absent.
bool FindSection(const std::string& text, const std::string& marker, const std::string& other, std::string& out) {
    const std::size_t start = text.find(marker);
    if (start == std::string::npos) return false;
    const std::size_t begin = start + marker.size();
    const std::size_t end = text.find(other, begin);
    out = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    return true;
}

} // namespace

cCommonShader::~cCommonShader() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<IShader*>(this));
}

IShader* cCommonShader::AddRef() {
    ++m_RefCount;
    return this;
}

void cCommonShader::Release() {
    if (m_RefCount <= 0) return;
    if (--m_RefCount > 0) return;
    if (m_Renderer && m_Renderer->GetBoundShader() == this) m_Renderer->SetShader(nullptr);
    if (m_Owner) m_Owner->RemoveShader(this);
    delete this;
}

void cCommonShader::SplitSections(const std::string& text, std::string& vertexSource, std::string& fragmentSource) {
    vertexSource.clear();
    fragmentSource.clear();
    FindSection(text, kVertexMarker, kFragmentMarker, vertexSource);
    FindSection(text, kFragmentMarker, kVertexMarker, fragmentSource);
}

void cCommonShader::LoadShaderCode(IFile* file, const std::string& vertexHeader, const std::string& fragmentHeader) {
    if (!file) RaiseError("cCommonShader::LoadShaderCode : NULL pointer to file");
    const std::int32_t size = file->GetSize();
    if (size < 0) RaiseError("cCommonShader::LoadShaderCode : failed to read the file");
    std::string text;
    try {
        text.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        RaiseError("cCommonShader::LoadShaderCode : failed to allocate memory");
    } catch (const std::length_error&) {
        RaiseError("cCommonShader::LoadShaderCode : failed to allocate memory");
    }
    const std::int32_t got = size > 0 ? file->Read(&text[0], 1, size) : 0;
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);

    SplitSections(text, m_VertexSource, m_FragmentSource);
    // One missing section leaves that stage to the fixed function; a file without either (cut short, or not
    // a shader at all) would make a program that draws nothing of its own.
    if (m_VertexSource.empty() && m_FragmentSource.empty()) {
        RaiseError("cCommonShader::LoadShaderCode : the file holds neither a vertex nor a fragment section");
    }
    m_VertexHeader = vertexHeader;
    m_FragmentHeader = fragmentHeader;
    // A header goes only in front of a program the file has: a header alone is no program.
    if (!vertexHeader.empty() && !m_VertexSource.empty()) m_VertexSource.insert(0, vertexHeader + "\n");
    if (!fragmentHeader.empty() && !m_FragmentSource.empty()) m_FragmentSource.insert(0, fragmentHeader + "\n");
}

} // namespace velmora::video

#include "video/d3d9/cDirect3D9Shader.h"

#include <d3dcompiler.h>

#include <algorithm>
#include <cstdio>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "engine/filesystem/IFileSystem.h"
#include "video/d3d9/D3D9Util.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

namespace {

using tD3DCompile = HRESULT(WINAPI*)(LPCVOID, SIZE_T, LPCSTR, const D3D_SHADER_MACRO*, ID3DInclude*, LPCSTR, LPCSTR,
                                     UINT, UINT, ID3DBlob**, ID3DBlob**);

// The compiler, loaded once when a program without bytecode is met; null when Windows has none.
tD3DCompile Compiler() {
    static bool tried = false;
    static tD3DCompile compile = nullptr;
    if (!tried) {
        tried = true;
        HMODULE module = LoadLibraryW(L"d3dcompiler_47.dll");
        if (module) compile = reinterpret_cast<tD3DCompile>(reinterpret_cast<void*>(GetProcAddress(module, "D3DCompile")));
    }
    return compile;
}

std::uint32_t Fnv1a(const std::string& text, std::uint32_t hash = 2166136261u) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

bool ReadFile(const std::string& name, std::vector<std::uint8_t>& out) {
    IFileSystem* fs = cCommonRenderer::GetResourceFileSystem();
    if (!fs || !fs->FileExists(name.c_str())) return false;
    IFile* file = fs->OpenFile(name.c_str());
    if (!file) return false;
    const std::int32_t size = file->GetSize();
    bool ok = size > 0 && size < (1 << 20);
    if (ok) {
        out.resize(static_cast<std::size_t>(size));
        ok = file->Read(out.data(), 1, size) == size;
    }
    file->Release();
    return ok;
}

} // namespace

cDirect3D9Shader::cDirect3D9Shader(cResourceManager* owner, cDirect3D9Renderer* renderer)
    : cCommonShader(owner, renderer), m_D3DRenderer(renderer) {}

cDirect3D9Shader::~cDirect3D9Shader() {
    if (m_D3DRenderer && m_D3DRenderer->GetBoundShader() == this) Unbind();
    d3d9::SafeRelease(m_VertexShader);
    d3d9::SafeRelease(m_PixelShader);
}

std::string cDirect3D9Shader::BytecodeName(const std::string& shaderName, const std::string& vertexHeader,
                                           const std::string& fragmentHeader, const char* program) {
    std::string base = shaderName;
    const std::size_t dot = base.find_last_of('.');
    const std::size_t slash = base.find_last_of('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) base.erase(dot);
    if (!vertexHeader.empty() || !fragmentHeader.empty()) {
        char key[16];
        std::snprintf(key, sizeof(key), ".%08x", Fnv1a(fragmentHeader, Fnv1a(vertexHeader + '\x1f')));
        base += key;
    }
    return base + "." + program + ".bin";
}

std::vector<std::uint8_t> cDirect3D9Shader::Program(const std::string& source, const char* program,
                                                    const char* target) {
    const bool vertex = program[0] == 'v';
    std::vector<std::uint8_t> code;
    std::vector<d3d9::sShaderConstant> table;
    const std::uint32_t expected = vertex ? 0xFFFE0101u : 0xFFFF0200u;
    if (!GetName().empty() && ReadFile(BytecodeName(GetName(), m_VertexHeader, m_FragmentHeader, program), code) &&
        d3d9::ShaderVersion(code.data(), code.size()) == expected &&
        d3d9::ParseConstantTable(code.data(), code.size(), table)) {
        return code;
    }
    tD3DCompile compile = Compiler();
    if (!compile) {
        RaiseError("cDirect3D9Shader::CompileShader( %s ) : no bytecode and no shader compiler (d3dcompiler_47.dll)",
                   vertex ? "vertex" : "fragment");
    }
    ID3DBlob* blob = nullptr;
    ID3DBlob* errors = nullptr;
    const HRESULT hr = compile(source.data(), source.size(), GetName().c_str(), nullptr, nullptr, "main", target, 0,
                               0, &blob, &errors);
    if (FAILED(hr) || !blob) {
        std::string text = errors ? std::string(static_cast<const char*>(errors->GetBufferPointer()),
                                                errors->GetBufferSize())
                                  : std::string(d3d9::ErrorText(hr));
        if (text.size() > 2000) text.resize(2000);
        d3d9::SafeRelease(errors);
        d3d9::SafeRelease(blob);
        RaiseError("cDirect3D9Shader::CompileShader( %s ) : %s", vertex ? "vertex" : "fragment", text.c_str());
    }
    d3d9::SafeRelease(errors);
    const std::uint8_t* p = static_cast<const std::uint8_t*>(blob->GetBufferPointer());
    code.assign(p, p + blob->GetBufferSize());
    blob->Release();
    return code;
}

void cDirect3D9Shader::CompileShader() {
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    if (!m_VertexSource.empty()) {
        const std::vector<std::uint8_t> code = Program(m_VertexSource, "vs", "vs_1_1");
        d3d9::ParseConstantTable(code.data(), code.size(), m_VertexConstants);
        const HRESULT hr = device->CreateVertexShader(reinterpret_cast<const DWORD*>(code.data()), &m_VertexShader);
        if (FAILED(hr)) {
            m_VertexShader = nullptr;
            RaiseError("cDirect3D9Shader::CompileShader : CreateVertexShader failed, %s", d3d9::ErrorText(hr));
        }
    }
    if (!m_FragmentSource.empty()) {
        const std::vector<std::uint8_t> code = Program(m_FragmentSource, "ps", "ps_2_0");
        d3d9::ParseConstantTable(code.data(), code.size(), m_FragmentConstants);
        const HRESULT hr = device->CreatePixelShader(reinterpret_cast<const DWORD*>(code.data()), &m_PixelShader);
        if (FAILED(hr)) {
            m_PixelShader = nullptr;
            RaiseError("cDirect3D9Shader::CompileShader : CreatePixelShader failed, %s", d3d9::ErrorText(hr));
        }
    }
}

void cDirect3D9Shader::Write(const char* name, const float* values, int components, int count) {
    if (!name || !values || count <= 0) return;
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    for (int program = 0; program < 2; ++program) {
        const auto& table = program == 0 ? m_VertexConstants : m_FragmentConstants;
        if ((program == 0 && !m_VertexShader) || (program == 1 && !m_PixelShader)) continue;
        const d3d9::sShaderConstant* c = d3d9::FindConstant(table, name);
        if (!c || c->registerSet != d3d9::RS_FLOAT4 || c->registerCount == 0) continue;
        std::vector<float> registers(static_cast<std::size_t>(c->registerCount) * 4, 0.0f);
        const bool matrix = c->parameterClass == d3d9::PC_MATRIX_ROWS || c->parameterClass == d3d9::PC_MATRIX_COLUMNS;
        if (matrix || components == 16) {
            // Raw: the floats fill the registers in order.
            const std::size_t n = std::min(registers.size(), static_cast<std::size_t>(components) * count);
            std::copy(values, values + n, registers.begin());
        } else {
            const int perRegister = std::min(components, 4);
            const int elements = std::min(count, static_cast<int>(c->registerCount));
            for (int e = 0; e < elements; ++e) {
                for (int k = 0; k < perRegister; ++k) registers[static_cast<std::size_t>(e) * 4 + k] = values[e * components + k];
            }
        }
        if (program == 0) {
            device->SetVertexShaderConstantF(c->registerIndex, registers.data(), c->registerCount);
        } else {
            device->SetPixelShaderConstantF(c->registerIndex, registers.data(), c->registerCount);
        }
    }
}

bool cDirect3D9Shader::SetUniform(const char* name, float x, float y) {
    const float v[2] = {x, y};
    Write(name, v, 2, 1);
    return true;
}

bool cDirect3D9Shader::SetUniform(const char* name, float x, float y, float z) {
    const float v[3] = {x, y, z};
    Write(name, v, 3, 1);
    return true;
}

bool cDirect3D9Shader::SetUniform(const char* name, float x, float y, float z, float w) {
    const float v[4] = {x, y, z, w};
    Write(name, v, 4, 1);
    return true;
}

bool cDirect3D9Shader::SetUniform(const char* name, float value) {
    Write(name, &value, 1, 1);
    return true;
}

bool cDirect3D9Shader::SetUniform(const char* name, int value) {
    const float v = static_cast<float>(value);
    Write(name, &v, 1, 1);
    return true;
}

bool cDirect3D9Shader::SetUniform(const char* name, const float* matrix16) {
    Write(name, matrix16, 16, 1);
    return true;
}

bool cDirect3D9Shader::SetUniformArray(const char* name, const float* values, int count) {
    Write(name, values, 1, count);
    return true;
}

bool cDirect3D9Shader::SetUniformArray(const char* name, const cVector2* values, int count) {
    Write(name, reinterpret_cast<const float*>(values), 2, count);
    return true;
}

bool cDirect3D9Shader::SetUniformArray(const char* name, const cVector3* values, int count) {
    Write(name, reinterpret_cast<const float*>(values), 3, count);
    return true;
}

bool cDirect3D9Shader::SetUniformArray(const char* name, const cVector4* values, int count) {
    Write(name, reinterpret_cast<const float*>(values), 4, count);
    return true;
}

void cDirect3D9Shader::Bind() {
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    if (m_VertexShader) {
        // The combined matrix as the device applies it (with the renderer's depth and pixel
        // fix-ups); a column-major constant takes the matrix's columns as its registers.
        const cMatrix wvp = m_D3DRenderer->GetDeviceWorldViewProjection();
        if (const d3d9::sShaderConstant* c = d3d9::FindConstant(m_VertexConstants, "d3d_WorldViewProjectionMatrix")) {
            const cMatrix laid = c->parameterClass == d3d9::PC_MATRIX_COLUMNS ? wvp.Transposed() : wvp;
            device->SetVertexShaderConstantF(c->registerIndex, laid.Data(), std::min<UINT>(c->registerCount, 4));
        }
        if (const d3d9::sShaderConstant* c = d3d9::FindConstant(m_VertexConstants, "d3d_ProjectionFix")) {
            const cMatrix fix = m_D3DRenderer->GetDeviceFix();
            const cMatrix laid = c->parameterClass == d3d9::PC_MATRIX_COLUMNS ? fix.Transposed() : fix;
            device->SetVertexShaderConstantF(c->registerIndex, laid.Data(), std::min<UINT>(c->registerCount, 4));
        }
    }
    // The fog for shaders that blend it themselves: the fixed-function fog after a vertex shader
    // differs between drivers.
    float fog[4];
    m_D3DRenderer->GetShaderFog(fog);
    if (const d3d9::sShaderConstant* c = d3d9::FindConstant(m_VertexConstants, "d3d_Fog")) {
        device->SetVertexShaderConstantF(c->registerIndex, fog, 1);
    }
    if (const d3d9::sShaderConstant* c = d3d9::FindConstant(m_FragmentConstants, "d3d_Fog")) {
        device->SetPixelShaderConstantF(c->registerIndex, fog, 1);
    }
    device->SetVertexShader(m_VertexShader);
    device->SetPixelShader(m_PixelShader);
}

void cDirect3D9Shader::Unbind() {
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
}

} // namespace velmora::video

#include "video/d3d9/cDirect3D9Buffers.h"

#include <algorithm>
#include <cstring>

#include "engine/core/cException.h"
#include "video/d3d9/D3D9Util.h"

namespace velmora::video {

namespace {

BYTE FloatType(int count) {
    switch (count) {
        case 1: return D3DDECLTYPE_FLOAT1;
        case 2: return D3DDECLTYPE_FLOAT2;
        case 3: return D3DDECLTYPE_FLOAT3;
        default: return D3DDECLTYPE_FLOAT4;
    }
}

} // namespace

// ---- Vertex buffer -----------------------------------------------------------------------------

cDirect3D9VertexBuffer::cDirect3D9VertexBuffer(cResourceManager* owner, cDirect3D9Renderer* renderer)
    : cCommonVertexBuffer(owner, renderer), m_D3DRenderer(renderer) {}

cDirect3D9VertexBuffer::~cDirect3D9VertexBuffer() {
    if (m_Buffer && m_D3DRenderer->GetBoundVertexBuffer() == this) Unbind();
    if (Dynamic()) m_D3DRenderer->RemoveDeviceResource(this);
    if (m_Buffer && m_Locked && !m_UsesCopy) m_Buffer->Unlock();
    d3d9::SafeRelease(m_Buffer);
    d3d9::SafeRelease(m_Declaration);
}

std::vector<D3DVERTEXELEMENT9> cDirect3D9VertexBuffer::BuildDeclaration(const std::vector<sVertexElement>& format) {
    std::vector<D3DVERTEXELEMENT9> elements;
    for (const sVertexElement& element : format) {
        D3DVERTEXELEMENT9 e{};
        e.Stream = 0;
        e.Offset = static_cast<WORD>(element.offset);
        e.Method = D3DDECLMETHOD_DEFAULT;
        e.UsageIndex = 0;
        switch (element.usage) {
            case VU_POSITION:
                e.Type = FloatType(element.count);
                e.Usage = D3DDECLUSAGE_POSITION;
                break;
            case VU_NORMAL:
                e.Type = D3DDECLTYPE_FLOAT3;
                e.Usage = D3DDECLUSAGE_NORMAL;
                break;
            case VU_COLOR:
                e.Type = D3DDECLTYPE_D3DCOLOR;
                e.Usage = D3DDECLUSAGE_COLOR;
                break;
            case VU_TEXCOORD0:
            case VU_TEXCOORD1:
            case VU_TEXCOORD2:
                e.Type = FloatType(element.count);
                e.Usage = D3DDECLUSAGE_TEXCOORD;
                e.UsageIndex = static_cast<BYTE>(element.usage - VU_TEXCOORD0);
                break;
            default: RaiseError("cDirect3D9VertexBuffer::GetDeclType : unhandled usage");
        }
        elements.push_back(e);
    }
    elements.push_back(D3DVERTEXELEMENT9(D3DDECL_END()));
    return elements;
}

HRESULT cDirect3D9VertexBuffer::MakeBuffer() {
    const DWORD usage = Dynamic() ? (D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY) : 0;
    const D3DPOOL pool = Dynamic() ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
    return m_D3DRenderer->GetDevice()->CreateVertexBuffer(static_cast<UINT>(m_Size), usage, 0, pool, &m_Buffer,
                                                          nullptr);
}

void cDirect3D9VertexBuffer::CreateDeviceBuffer() {
    const std::vector<D3DVERTEXELEMENT9> elements = BuildDeclaration(m_Format);
    HRESULT hr = m_D3DRenderer->GetDevice()->CreateVertexDeclaration(elements.data(), &m_Declaration);
    if (FAILED(hr)) {
        m_Declaration = nullptr;
        RaiseError("cDirect3D9VertexBuffer::InitializeVertexFormat : failed to create vertex declaration, %s",
                   d3d9::ErrorText(hr));
    }
    hr = MakeBuffer();
    if (FAILED(hr)) {
        m_Buffer = nullptr;
        RaiseError("cDirect3D9VertexBuffer::Create : failed to create vertex buffer, %s", d3d9::ErrorText(hr));
    }
    for (const sVertexElement& element : m_Format) {
        if (element.usage == VU_COLOR) m_ColorOffsets.push_back(element.offset);
    }
    m_UsesCopy = Dynamic() || !m_ColorOffsets.empty();
    if (m_UsesCopy) m_Copy.assign(m_Size, 0);
    if (Dynamic()) m_D3DRenderer->AddDeviceResource(this);
}

bool cDirect3D9VertexBuffer::Upload(std::size_t bytes) {
    if (!m_Buffer) return false;
    bytes = std::min(bytes, m_Size);
    void* target = nullptr;
    // A dynamic buffer is written whole each time: the device may hand out fresh memory.
    const DWORD flags = Dynamic() ? D3DLOCK_DISCARD : 0;
    const UINT lockBytes = Dynamic() ? 0 : static_cast<UINT>(bytes);
    if (FAILED(m_Buffer->Lock(0, lockBytes, &target, flags))) return false;
    std::uint8_t* dst = static_cast<std::uint8_t*>(target);
    std::memcpy(dst, m_Copy.data(), Dynamic() ? m_Size : bytes);
    // The engine's colours are red first, the device's blue first.
    const std::size_t limit = Dynamic() ? m_Size : bytes;
    for (int offset : m_ColorOffsets) {
        for (std::size_t at = static_cast<std::size_t>(offset); at + 4 <= limit; at += static_cast<std::size_t>(m_Stride)) {
            std::swap(dst[at], dst[at + 2]);
        }
    }
    return SUCCEEDED(m_Buffer->Unlock());
}

bool cDirect3D9VertexBuffer::Fill(const void* data, std::size_t bytes) {
    if (!data || bytes == 0) return true;
    if (!m_Buffer || m_Locked || bytes > m_Size) return false;
    if (m_UsesCopy) {
        std::memcpy(m_Copy.data(), data, bytes);
        return Upload(bytes);
    }
    void* target = nullptr;
    if (FAILED(m_Buffer->Lock(0, static_cast<UINT>(bytes), &target, 0))) return false;
    std::memcpy(target, data, bytes);
    return SUCCEEDED(m_Buffer->Unlock());
}

void* cDirect3D9VertexBuffer::Lock(bool writable) {
    if (!m_Buffer || m_Locked) return nullptr;
    m_LockedWritable = writable;
    if (m_UsesCopy) {
        m_Locked = true;
        return m_Copy.data();
    }
    void* data = nullptr;
    if (FAILED(m_Buffer->Lock(0, 0, &data, writable ? 0 : D3DLOCK_READONLY))) return nullptr;
    m_Locked = true;
    return data;
}

bool cDirect3D9VertexBuffer::Unlock() {
    if (!m_Buffer || !m_Locked) return false;
    m_Locked = false;
    if (m_UsesCopy) return m_LockedWritable ? Upload(m_Size) : true;
    return SUCCEEDED(m_Buffer->Unlock());
}

void cDirect3D9VertexBuffer::Bind() {
    if (!m_Buffer) return;
    IDirect3DDevice9* device = m_D3DRenderer->GetDevice();
    device->SetStreamSource(0, m_Buffer, 0, static_cast<UINT>(m_Stride));
    device->SetVertexDeclaration(m_Declaration);
}

void cDirect3D9VertexBuffer::Unbind() { m_D3DRenderer->GetDevice()->SetStreamSource(0, nullptr, 0, 0); }

void cDirect3D9VertexBuffer::OnDeviceLost() {
    if (m_D3DRenderer->GetBoundVertexBuffer() == this) Unbind();
    d3d9::SafeRelease(m_Buffer);
}

void cDirect3D9VertexBuffer::OnDeviceReset() {
    if (FAILED(MakeBuffer())) {
        m_Buffer = nullptr;
        return;
    }
    Upload(m_Size);
}

// ---- Index buffer ------------------------------------------------------------------------------

cDirect3D9IndexBuffer::cDirect3D9IndexBuffer(cResourceManager* owner, cDirect3D9Renderer* renderer)
    : cCommonIndexBuffer(owner, renderer), m_D3DRenderer(renderer) {}

cDirect3D9IndexBuffer::~cDirect3D9IndexBuffer() {
    if (m_Buffer && m_D3DRenderer->GetBoundIndexBuffer() == this) Unbind();
    if (Dynamic()) m_D3DRenderer->RemoveDeviceResource(this);
    if (m_Buffer && m_Locked && !Dynamic()) m_Buffer->Unlock();
    d3d9::SafeRelease(m_Buffer);
}

HRESULT cDirect3D9IndexBuffer::MakeBuffer() {
    const DWORD usage = Dynamic() ? (D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY) : 0;
    const D3DPOOL pool = Dynamic() ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
    const D3DFORMAT format = m_DataType == T_UINT ? D3DFMT_INDEX32 : D3DFMT_INDEX16;
    return m_D3DRenderer->GetDevice()->CreateIndexBuffer(static_cast<UINT>(m_Size), usage, format, pool, &m_Buffer,
                                                         nullptr);
}

void cDirect3D9IndexBuffer::CreateDeviceBuffer() {
    const HRESULT hr = MakeBuffer();
    if (FAILED(hr)) {
        m_Buffer = nullptr;
        RaiseError("cDirect3D9IndexBuffer::Create : failed to create index buffer, %s", d3d9::ErrorText(hr));
    }
    if (Dynamic()) {
        m_Copy.assign(m_Size, 0);
        m_D3DRenderer->AddDeviceResource(this);
    }
}

bool cDirect3D9IndexBuffer::Upload() {
    if (!m_Buffer) return false;
    void* target = nullptr;
    if (FAILED(m_Buffer->Lock(0, 0, &target, D3DLOCK_DISCARD))) return false;
    // Written whole: the discarding lock may hand out fresh memory.
    std::memcpy(target, m_Copy.data(), m_Size);
    return SUCCEEDED(m_Buffer->Unlock());
}

bool cDirect3D9IndexBuffer::Fill(const void* data, std::size_t bytes) {
    if (!data || bytes == 0) return true;
    if (!m_Buffer || m_Locked || bytes > m_Size) return false;
    if (Dynamic()) {
        std::memcpy(m_Copy.data(), data, bytes);
        return Upload();
    }
    void* target = nullptr;
    if (FAILED(m_Buffer->Lock(0, static_cast<UINT>(bytes), &target, 0))) return false;
    std::memcpy(target, data, bytes);
    return SUCCEEDED(m_Buffer->Unlock());
}

void* cDirect3D9IndexBuffer::Lock(bool writable) {
    if (!m_Buffer || m_Locked) return nullptr;
    if (Dynamic()) {
        m_Locked = true;
        return m_Copy.data();
    }
    void* data = nullptr;
    if (FAILED(m_Buffer->Lock(0, 0, &data, writable ? 0 : D3DLOCK_READONLY))) return nullptr;
    m_Locked = true;
    return data;
}

bool cDirect3D9IndexBuffer::Unlock() {
    if (!m_Buffer || !m_Locked) return false;
    m_Locked = false;
    if (Dynamic()) return Upload();
    return SUCCEEDED(m_Buffer->Unlock());
}

void cDirect3D9IndexBuffer::Bind() {
    if (m_Buffer) m_D3DRenderer->GetDevice()->SetIndices(m_Buffer);
}

void cDirect3D9IndexBuffer::Unbind() { m_D3DRenderer->GetDevice()->SetIndices(nullptr); }

void cDirect3D9IndexBuffer::OnDeviceLost() {
    if (m_D3DRenderer->GetBoundIndexBuffer() == this) Unbind();
    d3d9::SafeRelease(m_Buffer);
}

void cDirect3D9IndexBuffer::OnDeviceReset() {
    if (FAILED(MakeBuffer())) {
        m_Buffer = nullptr;
        return;
    }
    Upload();
}

} // namespace velmora::video

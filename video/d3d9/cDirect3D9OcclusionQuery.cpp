#include "video/d3d9/cDirect3D9OcclusionQuery.h"

#include "engine/core/cException.h"
#include "video/d3d9/D3D9Util.h"

namespace velmora::video {

cDirect3D9OcclusionQuery::cDirect3D9OcclusionQuery(cDirect3D9Renderer* renderer) : m_Renderer(renderer) {
    renderer->AddDeviceResource(this);
}

cDirect3D9OcclusionQuery::~cDirect3D9OcclusionQuery() {
    m_Renderer->RemoveDeviceResource(this);
    d3d9::SafeRelease(m_Query);
}

void cDirect3D9OcclusionQuery::Create() {
    IDirect3DDevice9* device = m_Renderer->GetDevice();
    if (device->CreateQuery(D3DQUERYTYPE_OCCLUSION, nullptr) == D3DERR_NOTAVAILABLE) {
        RaiseError("cDirect3D9OcclusionQuery::Create : not supported");
    }
    const HRESULT hr = device->CreateQuery(D3DQUERYTYPE_OCCLUSION, &m_Query);
    if (FAILED(hr)) {
        m_Query = nullptr;
        RaiseError("cDirect3D9OcclusionQuery::Create : %s", d3d9::ErrorText(hr));
    }
}

void cDirect3D9OcclusionQuery::Begin() {
    if (m_Query) m_Query->Issue(D3DISSUE_BEGIN);
}

void cDirect3D9OcclusionQuery::End() {
    if (!m_Query) return;
    m_Query->Issue(D3DISSUE_END);
    m_Issued = true;
}

std::uint32_t cDirect3D9OcclusionQuery::GetResult() {
    if (!m_Query || !m_Issued) return m_LastResult;
    // Bounded: a lost device never answers, and then the last count stands.
    const ULONGLONG start = GetTickCount64();
    DWORD pixels = 0;
    HRESULT hr;
    while ((hr = m_Query->GetData(&pixels, sizeof(pixels), D3DGETDATA_FLUSH)) == S_FALSE) {
        if (GetTickCount64() - start > kWaitMilliseconds) return m_LastResult;
        Sleep(0);
    }
    if (hr == S_OK) m_LastResult = pixels;
    return m_LastResult;
}

bool cDirect3D9OcclusionQuery::IsAvailable() {
    return m_Query && m_Issued && m_Query->GetData(nullptr, 0, 0) == S_OK;
}

void cDirect3D9OcclusionQuery::OnDeviceLost() {
    d3d9::SafeRelease(m_Query);
    m_Issued = false;
}

void cDirect3D9OcclusionQuery::OnDeviceReset() {
    if (FAILED(m_Renderer->GetDevice()->CreateQuery(D3DQUERYTYPE_OCCLUSION, &m_Query))) m_Query = nullptr;
}

} // namespace velmora::video

// cDirect3D9Renderer: creation, frame, lost devices, feature queries, read-back and the resource factory.
#include "video/d3d9/cDirect3D9Renderer.h"

#include "video/cBackendResourceFactory.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/IEngine.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "video/IBuffers.h"
#include "video/IResources.h"
#include "video/IShader.h"
#include "video/d3d9/D3D9Util.h"
#include "video/d3d9/cDirect3D9Buffers.h"
#include "video/d3d9/cDirect3D9Font.h"
#include "video/d3d9/cDirect3D9Shader.h"
#include "video/d3d9/cDirect3D9Texture2D.h"
#include "video/d3d9/cDirect3D9TextureCube.h"
#include "video/d3d9/cDirect3D9Viewport.h"

namespace velmora::video {

using d3d9::ErrorText;

// Makes the Direct3D 9 classes of every resource kind.
class cDirect3D9Renderer::cDirect3D9ResourceFactory
    : public cBackendResourceFactory<cDirect3D9Renderer, cDirect3D9Texture2D, cDirect3D9TextureCube, cDirect3D9Font,
                                     cDirect3D9Shader, cDirect3D9VertexBuffer, cDirect3D9IndexBuffer> {
public:
    using cBackendResourceFactory::cBackendResourceFactory;
};

IRenderer* cDirect3D9Renderer::CreateInstance(const sRendererDesc& desc, tWindowHandle window, int width, int height,
                                              bool fullscreen) {
    cDirect3D9Renderer* renderer = new (std::nothrow) cDirect3D9Renderer();
    if (!renderer) {
        LogWarning("cDirect3D9Renderer::CreateInstance : failed to allocate memory\n");
        return nullptr;
    }
    bool created = false;
    try {
        created = renderer->Create(desc, window, width, height, fullscreen);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
    }
    if (!created) {
        delete renderer;
        return nullptr;
    }
    return renderer;
}

cDirect3D9Renderer::cDirect3D9Renderer() : cCommonRenderer(new cDirect3D9ResourceFactory(this)) {
    for (int& combiner : m_StageCombiner) combiner = -1;
    std::memset(m_SamplerKnown, 0, sizeof(m_SamplerKnown));
    std::memset(m_SamplerStates, 0, sizeof(m_SamplerStates));
}

cDirect3D9Renderer::~cDirect3D9Renderer() {
    // Resources go while the device still exists; then the device, then the Direct3D object.
    if (m_Device) {
        m_Device->SetStreamSource(0, nullptr, 0, 0);
        m_Device->SetIndices(nullptr);
        m_Device->SetVertexShader(nullptr);
        m_Device->SetPixelShader(nullptr);
        for (DWORD stage = 0; stage < kMaxTextureStages; ++stage) m_Device->SetTexture(stage, nullptr);
    }
    m_Resources.Clear();
    d3d9::SafeRelease(m_EventQuery);
    d3d9::SafeRelease(m_Device);
    d3d9::SafeRelease(m_D3D);
}

bool cDirect3D9Renderer::Create(const sRendererDesc& desc, tWindowHandle window, int width, int height,
                                bool fullscreen) {
    LogMessage("Creating Direct3D9 renderer... ");
    m_Window = static_cast<HWND>(window);
    if (!m_Window || !GetClientRect(m_Window, &m_ClientRect)) {
        LogWarning("cDirect3D9Renderer::Create : no window\n");
        return false;
    }
    m_Width = width > 0 ? width : static_cast<int>(m_ClientRect.right - m_ClientRect.left);
    m_Height = height > 0 ? height : static_cast<int>(m_ClientRect.bottom - m_ClientRect.top);

    m_D3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_D3D) {
        LogWarning("cDirect3D9Renderer::Create : failed to create Direct3D9 object\n");
        return false;
    }
    D3DDISPLAYMODE mode{};
    HRESULT hr = m_D3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    if (FAILED(hr)) {
        LogWarning("cDirect3D9Renderer::Create : failed to get adapter display mode, %s\n", ErrorText(hr));
        return false;
    }
    hr = m_D3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &m_Caps);
    if (FAILED(hr)) {
        LogWarning("cDirect3D9Renderer::Create : failed to get device caps, %s\n", ErrorText(hr));
        return false;
    }

    // Depth-stencil format from the descriptor: with stencil only 24-bit depth; without it the
    // largest depth asked for.
    D3DFORMAT depth = D3DFMT_UNKNOWN;
    if (desc.depthFlags & kWithStencil) {
        if (desc.depthFlags & kDepth24) depth = D3DFMT_D24S8;
    } else {
        if (desc.depthFlags & kDepth16) depth = D3DFMT_D16;
        if (desc.depthFlags & kDepth24) depth = D3DFMT_D24X8;
        if (desc.depthFlags & kDepth32) depth = D3DFMT_D32;
    }
    if (depth == D3DFMT_UNKNOWN) {
        LogWarning("cDirect3D9Renderer::Create : unknown back buffer format\n");
        return false;
    }
    // Many devices have no 32-bit depth buffer: take the next smaller one they have.
    auto depthSupported = [&](D3DFORMAT format) {
        return SUCCEEDED(m_D3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format,
                                                  D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, format));
    };
    if (depth == D3DFMT_D32 && !depthSupported(D3DFMT_D32)) depth = D3DFMT_D24X8;
    if (depth == D3DFMT_D24X8 && !depthSupported(D3DFMT_D24X8)) depth = D3DFMT_D16;

    D3DPRESENT_PARAMETERS& pp = m_PresentParameters;
    pp = D3DPRESENT_PARAMETERS{};
    if (fullscreen) {
        pp.BackBufferWidth = static_cast<UINT>(m_Width);
        pp.BackBufferHeight = static_cast<UINT>(m_Height);
        pp.Windowed = FALSE;
        pp.FullScreen_RefreshRateInHz = mode.RefreshRate;
    } else {
        pp.Windowed = TRUE;
    }
    pp.BackBufferFormat = mode.Format;
    pp.BackBufferCount = 1;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    if (desc.multisampling > 0 && desc.multisampling < 16) {
        const D3DMULTISAMPLE_TYPE samples = static_cast<D3DMULTISAMPLE_TYPE>(desc.multisampling + 1);
        if (SUCCEEDED(m_D3D->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, pp.Windowed,
                                                        samples, nullptr))) {
            pp.MultiSampleType = samples;
        }
    }
    pp.MultiSampleQuality = 0;
    pp.SwapEffect = pp.MultiSampleType != D3DMULTISAMPLE_NONE ? D3DSWAPEFFECT_DISCARD : D3DSWAPEFFECT_COPY;
    pp.hDeviceWindow = nullptr;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = depth;
    pp.Flags = D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    // FPU_PRESERVE keeps the process's double precision (timers, scripts) intact.
    DWORD flags = D3DCREATE_FPU_PRESERVE;
    flags |= m_Caps.VertexProcessingCaps != 0 ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                              : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    D3DPRESENT_PARAMETERS used = pp;
    hr = m_D3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_Window, flags, &used, &m_Device);
    if (FAILED(hr) && (flags & D3DCREATE_HARDWARE_VERTEXPROCESSING)) {
        used = pp;
        flags = D3DCREATE_FPU_PRESERVE | D3DCREATE_SOFTWARE_VERTEXPROCESSING;
        hr = m_D3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_Window, flags, &used, &m_Device);
    }
    if (FAILED(hr)) {
        m_Device = nullptr;
        LogWarning("cDirect3D9Renderer::Create : failed to create Direct3D9 device, %s\n", ErrorText(hr));
        return false;
    }
    ApplyInitialStates();
    LogMessage("succeeded\n");
    D3DADAPTER_IDENTIFIER9 id{};
    if (SUCCEEDED(m_D3D->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id))) {
        LogMessage("Direct3D9: %s, vertex shaders %lu.%lu, pixel shaders %lu.%lu\n", id.Description,
                   static_cast<unsigned long>(D3DSHADER_VERSION_MAJOR(m_Caps.VertexShaderVersion)),
                   static_cast<unsigned long>(D3DSHADER_VERSION_MINOR(m_Caps.VertexShaderVersion)),
                   static_cast<unsigned long>(D3DSHADER_VERSION_MAJOR(m_Caps.PixelShaderVersion)),
                   static_cast<unsigned long>(D3DSHADER_VERSION_MINOR(m_Caps.PixelShaderVersion)));
    }
    SetProjection(PROJ_ORTHOGRAPHIC, m_Width, m_Height, 0.0, 0.0, -1.0, -1.0);
    SetViewportRect(0, 0, m_Width, m_Height);
    LoadWorldView();
    // The shadow starts at 2 already; going through 1 makes the device hold it as well.
    SetCullMode(CM_CCW);
    SetCullMode(CM_CW);
    return true;
}

void cDirect3D9Renderer::ApplyInitialStates() {
    m_Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_Device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    m_Device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_Device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    m_Device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    const float one = 1.0f;
    DWORD bits = 0;
    std::memcpy(&bits, &one, sizeof(bits));
    m_Device->SetRenderState(D3DRS_POINTSCALE_A, bits);
    m_Device->SetRenderState(D3DRS_POINTSCALE_B, bits);
    m_Device->SetRenderState(D3DRS_POINTSCALE_C, bits);
    // Fog follows the eye distance whatever the projection (table fog would read the depth).
    m_Device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
    // No ambient light but the lights' own, as on every backend.
    m_Device->SetRenderState(D3DRS_AMBIENT, 0);
    if (m_PresentParameters.MultiSampleType != D3DMULTISAMPLE_NONE) {
        m_Device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, TRUE);
    }
    for (int& combiner : m_StageCombiner) combiner = -1;
    std::memset(m_SamplerKnown, 0, sizeof(m_SamplerKnown));
}

int cDirect3D9Renderer::GetClientWidth() const {
    IEngine* engine = GetEngine();
    const int width = engine ? engine->GetViewWidth() : 0;
    return width > 0 ? width : m_Width;
}

int cDirect3D9Renderer::GetClientHeight() const {
    IEngine* engine = GetEngine();
    const int height = engine ? engine->GetViewHeight() : 0;
    return height > 0 ? height : m_Height;
}

int cDirect3D9Renderer::GetTargetWidth() const {
    return m_RenderTarget ? static_cast<int>(m_RenderTarget->GetImageWidth()) : GetClientWidth();
}

int cDirect3D9Renderer::GetTargetHeight() const {
    return m_RenderTarget ? static_cast<int>(m_RenderTarget->GetImageHeight()) : GetClientHeight();
}

int cDirect3D9Renderer::GetMaxTextureStages() {
    const int stages = static_cast<int>(m_Caps.MaxSimultaneousTextures);
    return std::max(1, std::min(stages, static_cast<int>(kMaxTextureStages)));
}

int cDirect3D9Renderer::GetMaxTextureSize() const {
    return static_cast<int>(std::min(m_Caps.MaxTextureWidth, m_Caps.MaxTextureHeight));
}

// ---- Device resources and lost devices --------------------------------------------------------

void cDirect3D9Renderer::AddDeviceResource(cDirect3D9DeviceResource* resource) {
    m_DeviceResources.push_back(resource);
}

void cDirect3D9Renderer::RemoveDeviceResource(cDirect3D9DeviceResource* resource) {
    m_DeviceResources.erase(std::remove(m_DeviceResources.begin(), m_DeviceResources.end(), resource),
                            m_DeviceResources.end());
}

bool cDirect3D9Renderer::ResetDevice() {
    if (!m_Device) return false;
    if (m_InScene) {
        m_Device->EndScene();
        m_InScene = false;
    }
    // Everything in the default pool goes before the reset, or the device refuses it.
    const std::vector<cDirect3D9DeviceResource*> resources = m_DeviceResources;
    for (cDirect3D9DeviceResource* resource : resources) resource->OnDeviceLost();
    d3d9::SafeRelease(m_EventQuery);
    D3DPRESENT_PARAMETERS pp = m_PresentParameters;
    const HRESULT hr = m_Device->Reset(&pp);
    if (FAILED(hr)) {
        LogWarning("cDirect3D9Renderer::ResetDevice : %s\n", ErrorText(hr));
        m_DeviceLost = true;
        return false;
    }
    // A reset device holds the default states: send the shadow again.
    ApplyInitialStates();
    DeviceSetAlphaTest(m_AlphaFunc, m_AlphaRef);
    DeviceSetBlendFunc(m_BlendSrc, m_BlendDst);
    DeviceSetFillMode(m_FillMode);
    DeviceSetCullMode(m_CullMode);
    DeviceSetDepthWrite(m_DepthWrite);
    DeviceSetFogMode(m_FogMode);
    SetFogColor(0, m_FogColor[0], m_FogColor[1], m_FogColor[2], m_FogColor[3]);
    SetFogParameter(FP_START, m_FogStart);
    SetFogParameter(FP_END, m_FogEnd);
    SetFogParameter(FP_DENSITY, m_FogDensity);
    LoadProjection();
    LoadWorldView();
    m_Device->SetTransform(D3DTS_TEXTURE0, reinterpret_cast<const D3DMATRIX*>(m_TextureMatrix.Data()));
    for (cDirect3D9DeviceResource* resource : resources) resource->OnDeviceReset();
    LoadViewport();
    for (int stage = 0; stage < kMaxTextureStages; ++stage) {
        if (m_Textures[stage]) DeviceSetTexture(m_Textures[stage], stage);
    }
    if (m_VertexBuffer) m_VertexBuffer->Bind();
    if (m_IndexBuffer) m_IndexBuffer->Bind();
    if (m_Shader) m_Shader->Bind();
    if (m_Material) m_Material->Bind();
    m_DeviceLost = false;
    ++m_ResetCount;
    LogMessage("cDirect3D9Renderer : device reset\n");
    return true;
}

bool cDirect3D9Renderer::CheckDevice() {
    const HRESULT hr = m_Device->TestCooperativeLevel();
    if (SUCCEEDED(hr)) {
        m_DeviceLost = false;
        return true;
    }
    if (hr == D3DERR_DEVICELOST) {
        // Another application has the device (a locked screen, a full-screen program): wait.
        m_DeviceLost = true;
        return false;
    }
    if (hr == D3DERR_DEVICENOTRESET) {
        if (ResetDevice()) return true;
        // A reset may fail while the device is lost again; try at the next frame then.
        if (m_Device->TestCooperativeLevel() == D3DERR_DEVICELOST) return false;
    }
    RaiseError("cDirect3D9Renderer::EndFrame : device lost");
}

// ---- Frame -------------------------------------------------------------------------------------

bool cDirect3D9Renderer::FollowWindowSize() {
    if (!m_Device || !m_PresentParameters.Windowed || m_RenderTarget || !m_Window) return true;
    RECT client{};
    if (!GetClientRect(m_Window, &client)) return true;
    const int width = static_cast<int>(client.right - client.left);
    const int height = static_cast<int>(client.bottom - client.top);
    // A minimised window has no client area: the old back buffer waits for it.
    if (width <= 0 || height <= 0 || (width == m_Width && height == m_Height)) return true;
    const bool wholeWindow =
        m_ViewportX == 0 && m_ViewportY == 0 && m_ViewportWidth == m_Width && m_ViewportHeight == m_Height;
    m_PresentParameters.BackBufferWidth = static_cast<UINT>(width);
    m_PresentParameters.BackBufferHeight = static_cast<UINT>(height);
    m_Width = width;
    m_Height = height;
    if (wholeWindow) {
        m_ViewportWidth = width;
        m_ViewportHeight = height;
    }
    // A failed reset leaves the device lost with the new size: CheckDevice tries again.
    if (!ResetDevice()) return false;
    LogMessage("cDirect3D9Renderer : back buffer resized to %d x %d\n", width, height);
    return true;
}

void cDirect3D9Renderer::BeginFrame(const cColor& color) {
    if (!CheckDevice() || !FollowWindowSize()) return;
    DWORD flags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;
    // Clearing stencil without a stencil buffer makes the device refuse the whole clear.
    const D3DFORMAT depth = m_PresentParameters.AutoDepthStencilFormat;
    if (m_RenderTarget || depth == D3DFMT_D24S8) flags |= D3DCLEAR_STENCIL;
    m_Device->Clear(0, nullptr, flags, d3d9::ToD3DColor(color), 1.0f, 0);
    if (!m_InScene && SUCCEEDED(m_Device->BeginScene())) m_InScene = true;
}

void cDirect3D9Renderer::EndFrame() {
    FinishFrameStatistics();
    if (m_InScene) {
        m_Device->EndScene();
        m_InScene = false;
    }
    if (m_DeviceLost) {
        CheckDevice();
        return;
    }
    HRESULT hr;
    const cDirect3D9Viewport* viewport = static_cast<const cDirect3D9Viewport*>(m_Viewport);
    if (viewport && viewport->GetSwapChain()) {
        hr = viewport->GetSwapChain()->Present(nullptr, nullptr, viewport->GetWindow(), nullptr, 0);
    } else {
        hr = m_Device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    if (hr == D3DERR_DEVICELOST) {
        m_DeviceLost = true;
        CheckDevice();
    }
}

void cDirect3D9Renderer::WaitForDevice() {
    if (!m_Device || m_DeviceLost) return;
    if (!m_EventQuery && FAILED(m_Device->CreateQuery(D3DQUERYTYPE_EVENT, &m_EventQuery))) {
        m_EventQuery = nullptr;
        return;
    }
    m_EventQuery->Issue(D3DISSUE_END);
    // Bounded: a device that never answers (lost under the wait) leaves after two seconds.
    const ULONGLONG start = GetTickCount64();
    BOOL done = FALSE;
    while (m_EventQuery->GetData(&done, sizeof(done), D3DGETDATA_FLUSH) == S_FALSE) {
        if (GetTickCount64() - start > 2000) break;
        Sleep(0);
    }
}

bool cDirect3D9Renderer::ReadPixels(int x, int y, int width, int height, std::vector<std::uint8_t>& out) {
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > GetTargetWidth() || y + height > GetTargetHeight() ||
        !m_Device || m_DeviceLost) {
        return false;
    }
    IDirect3DSurface9* target = nullptr;
    if (FAILED(m_Device->GetRenderTarget(0, &target))) return false;
    D3DSURFACE_DESC desc{};
    target->GetDesc(&desc);
    if (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8) {
        target->Release();
        return false;
    }
    if (static_cast<UINT>(x + width) > desc.Width || static_cast<UINT>(y + height) > desc.Height) {
        target->Release();
        return false;
    }
    // A multisampled target is resolved into a plain one first.
    IDirect3DSurface9* source = target;
    IDirect3DSurface9* resolved = nullptr;
    if (desc.MultiSampleType != D3DMULTISAMPLE_NONE) {
        if (FAILED(m_Device->CreateRenderTarget(desc.Width, desc.Height, desc.Format, D3DMULTISAMPLE_NONE, 0, FALSE,
                                                &resolved, nullptr)) ||
            FAILED(m_Device->StretchRect(target, nullptr, resolved, nullptr, D3DTEXF_NONE))) {
            d3d9::SafeRelease(resolved);
            target->Release();
            return false;
        }
        source = resolved;
    }
    IDirect3DSurface9* copy = nullptr;
    bool ok = SUCCEEDED(m_Device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                              D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
              SUCCEEDED(m_Device->GetRenderTargetData(source, copy));
    D3DLOCKED_RECT locked{};
    if (ok) ok = SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
    if (ok) {
        out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        const bool alpha = desc.Format == D3DFMT_A8R8G8B8;
        const int surfaceHeight = static_cast<int>(desc.Height);
        for (int row = 0; row < height; ++row) {
            // Targets hold their bottom row first (they are drawn flipped); the window its top row.
            const int engineRow = y + row;
            const int surfaceRow = m_FlipY ? engineRow : surfaceHeight - 1 - engineRow;
            const std::uint8_t* src = static_cast<const std::uint8_t*>(locked.pBits) +
                                      static_cast<std::ptrdiff_t>(surfaceRow) * locked.Pitch + x * 4;
            std::uint8_t* dst = out.data() + static_cast<std::size_t>(row) * width * 4;
            for (int i = 0; i < width; ++i) {
                dst[i * 4 + 0] = src[i * 4 + 2];
                dst[i * 4 + 1] = src[i * 4 + 1];
                dst[i * 4 + 2] = src[i * 4 + 0];
                dst[i * 4 + 3] = alpha ? src[i * 4 + 3] : 255;
            }
        }
        copy->UnlockRect();
    }
    d3d9::SafeRelease(copy);
    d3d9::SafeRelease(resolved);
    target->Release();
    return ok;
}

// ---- Queries -----------------------------------------------------------------------------------

bool cDirect3D9Renderer::QueryFeature(int feature) {
    const DWORD vs = m_Caps.VertexShaderVersion;
    const DWORD ps = m_Caps.PixelShaderVersion;
    switch (feature) {
        case FEAT_RENDER_TO_TARGET: return m_Caps.NumSimultaneousRTs >= 1;
        case FEAT_ANISOTROPIC_FILTERING: return (m_Caps.RasterCaps & D3DPRASTERCAPS_ANISOTROPY) != 0;
        case FEAT_CUBE_TEXTURES: return (m_Caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP) != 0;
        case FEAT_NP2_CUBE_TEXTURES: return (m_Caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP_POW2) == 0;
        case FEAT_MIPMAPPED_CUBE_TEXTURES: return (m_Caps.TextureCaps & D3DPTEXTURECAPS_MIPCUBEMAP) != 0;
        case FEAT_NP2_TEXTURES: return false;
        case FEAT_VERTEX_SHADERS_1_1: return vs >= D3DVS_VERSION(1, 1);
        case FEAT_VERTEX_SHADERS_2_0: return vs >= D3DVS_VERSION(2, 0);
        case FEAT_VERTEX_SHADERS_3_0: return vs >= D3DVS_VERSION(3, 0);
        case FEAT_FRAGMENT_SHADERS_1_1: return ps >= D3DPS_VERSION(1, 1);
        case FEAT_FRAGMENT_SHADERS_1_2: return ps >= D3DPS_VERSION(1, 2);
        case FEAT_FRAGMENT_SHADERS_1_3: return ps >= D3DPS_VERSION(1, 3);
        case FEAT_FRAGMENT_SHADERS_1_4: return ps >= D3DPS_VERSION(1, 4);
        case FEAT_FRAGMENT_SHADERS_2_0: return ps >= D3DPS_VERSION(2, 0);
        case FEAT_FRAGMENT_SHADERS_3_0: return ps >= D3DPS_VERSION(3, 0);
        default: RaiseError("cDirect3D9Renderer::QueryFeature : unhandled feature %d", feature);
    }
}

} // namespace velmora::video

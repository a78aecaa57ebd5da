// cDirect3D9Renderer: render states, fog, clip planes, scissor, stencil, lights, texture stages.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "engine/core/cException.h"
#include "video/ITexture.h"
#include "video/d3d9/D3D9Util.h"
#include "video/d3d9/cDirect3D9Renderer.h"

namespace velmora::video {

namespace {

DWORD FloatBits(float value) {
    DWORD bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

} // namespace

void cDirect3D9Renderer::DeviceSetAlphaTest(int func, float reference) {
    CountDeviceCall();
    if (func == CMP_OFF) {
        m_Device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        return;
    }
    const float clamped = std::clamp(reference, 0.0f, 1.0f);
    m_Device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_Device->SetRenderState(D3DRS_ALPHAREF, static_cast<DWORD>(clamped * 255.0f));
    m_Device->SetRenderState(D3DRS_ALPHAFUNC, d3d9::CompareFunc(func));
}

void cDirect3D9Renderer::DeviceSetBlendFunc(int src, int dst) {
    CountDeviceCall();
    if (src == BF_NONE || dst == BF_NONE) {
        m_Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        return;
    }
    m_Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_Device->SetRenderState(D3DRS_SRCBLEND, d3d9::BlendFactor(src));
    m_Device->SetRenderState(D3DRS_DESTBLEND, d3d9::BlendFactor(dst));
}

void cDirect3D9Renderer::SetBlendColor(float r, float g, float b, float a) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_BLENDFACTOR, d3d9::ToD3DColor(r, g, b, a));
}

void cDirect3D9Renderer::DeviceSetFillMode(int mode) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_FILLMODE, d3d9::FillMode(mode));
}

void cDirect3D9Renderer::DeviceSetCullMode(int mode) {
    CountDeviceCall();
    // Drawing into a target is mirrored vertically, which turns clockwise into counter-clockwise.
    if (m_FlipY && mode != CM_NONE) mode = mode == CM_CW ? CM_CCW : CM_CW;
    m_Device->SetRenderState(D3DRS_CULLMODE, d3d9::CullMode(mode));
}

void cDirect3D9Renderer::DeviceSetDepthWrite(bool enable) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_ZWRITEENABLE, enable ? TRUE : FALSE);
}

void cDirect3D9Renderer::DeviceSetFogMode(int mode) {
    CountDeviceCall();
    if (mode == FOG_OFF) {
        m_Device->SetRenderState(D3DRS_FOGENABLE, FALSE);
        return;
    }
    m_Device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    m_Device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
    m_Device->SetRenderState(D3DRS_FOGVERTEXMODE, d3d9::FogMode(mode));
}

void cDirect3D9Renderer::SetFogColor(int index, float r, float g, float b, float a) {
    if (index != 0) return;
    m_FogColor[0] = r;
    m_FogColor[1] = g;
    m_FogColor[2] = b;
    m_FogColor[3] = a;
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_FOGCOLOR, d3d9::ToD3DColor(r, g, b, a));
}

void cDirect3D9Renderer::SetFogParameter(int parameter, float value) {
    CountDeviceCall();
    switch (parameter) {
        case FP_START:
            m_FogStart = value;
            m_Device->SetRenderState(D3DRS_FOGSTART, FloatBits(value));
            break;
        case FP_END:
            m_FogEnd = value;
            m_Device->SetRenderState(D3DRS_FOGEND, FloatBits(value));
            break;
        case FP_DENSITY:
            m_FogDensity = value;
            m_Device->SetRenderState(D3DRS_FOGDENSITY, FloatBits(value));
            break;
        default: break;
    }
}

void cDirect3D9Renderer::GetShaderFog(float fog[4]) const {
    fog[0] = m_FogColor[0];
    fog[1] = m_FogColor[1];
    fog[2] = m_FogColor[2];
    fog[3] = m_FogMode == FOG_OFF ? 0.0f : m_FogDensity;
}

void cDirect3D9Renderer::SetClipPlane(int index, int enable, float a, float b, float c, float d) {
    CountDeviceCall();
    if (enable == 0) {
        m_Device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
        return;
    }
    const int maxPlanes = std::min(static_cast<int>(m_Caps.MaxUserClipPlanes), 6);
    if (index < 0 || index >= std::max(maxPlanes, 1)) {
        RaiseError("cDirect3D9Renderer::SetClipPlane : invalid plane index %d", index);
    }
    float plane[4] = {a, b, c, d};
    if (m_Shader) {
        // With programs the device clips in clip space: the plane goes through the inverse
        // transpose of the device's whole transform (with its own depth and pixel fix-ups).
        const cVector4 p = cVector4(a, b, c, d) * GetDeviceWorldViewProjection().Inverse().Transposed();
        plane[0] = p.x;
        plane[1] = p.y;
        plane[2] = p.z;
        plane[3] = p.w;
    }
    m_Device->SetClipPlane(static_cast<DWORD>(index), plane);
    m_Device->SetRenderState(D3DRS_CLIPPLANEENABLE, 1u << index);
}

void cDirect3D9Renderer::SetScissor(bool enable, int x, int y, int width, int height) {
    CountDeviceCall();
    m_ScissorEnabled = enable;
    m_Device->SetRenderState(D3DRS_SCISSORTESTENABLE, enable ? TRUE : FALSE);
    if (!enable) return;
    // The rectangle counts from the top-left of the target; a flipped target stores rows bottom first.
    RECT rect;
    rect.left = x;
    rect.right = x + std::max(width, 0);
    if (m_FlipY) {
        rect.top = GetTargetHeight() - (y + std::max(height, 0));
        rect.bottom = GetTargetHeight() - y;
    } else {
        rect.top = y;
        rect.bottom = y + std::max(height, 0);
    }
    m_Device->SetScissorRect(&rect);
}

void cDirect3D9Renderer::SetStencilTest(bool enable) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_STENCILENABLE, enable ? TRUE : FALSE);
}

void cDirect3D9Renderer::DeviceSetStencilFunc(int func, int reference) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_STENCILFUNC, d3d9::CompareFunc(func));
    m_Device->SetRenderState(D3DRS_STENCILREF, static_cast<DWORD>(reference));
}

void cDirect3D9Renderer::SetStencilOp(int fail, int depthFail, int pass) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_STENCILFAIL, d3d9::StencilOp(fail));
    m_Device->SetRenderState(D3DRS_STENCILZFAIL, d3d9::StencilOp(depthFail));
    m_Device->SetRenderState(D3DRS_STENCILPASS, d3d9::StencilOp(pass));
}

void cDirect3D9Renderer::SetStencilMask(std::uint32_t mask) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_STENCILMASK, mask);
}

void cDirect3D9Renderer::SetDepthFunc(int func) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_ZFUNC, d3d9::CompareFunc(func));
}

void cDirect3D9Renderer::SetPointSize(float size) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_POINTSIZE, FloatBits(size));
    m_Device->SetRenderState(D3DRS_POINTSIZE_MIN, FloatBits(size));
}

void cDirect3D9Renderer::SetLighting(bool enable) {
    CountDeviceCall();
    m_Device->SetRenderState(D3DRS_LIGHTING, enable ? TRUE : FALSE);
}

void cDirect3D9Renderer::EnableLight(int index, bool enable) {
    CountDeviceCall();
    if (index < 0 || index >= 8) RaiseError("cDirect3D9Renderer::EnableLight : invalid light index %d", index);
    m_Device->LightEnable(static_cast<DWORD>(index), enable ? TRUE : FALSE);
}

void cDirect3D9Renderer::SetLight(int index, const sLight& light) {
    CountDeviceCall();
    if (index < 0 || index >= 8) RaiseError("cDirect3D9Renderer::SetLight : invalid light index %d", index);
    D3DLIGHT9 l{};
    l.Diffuse = D3DCOLORVALUE{0.6f, 0.6f, 0.6f, 1.0f};
    l.Ambient = D3DCOLORVALUE{0.4f, 0.4f, 0.4f, 1.0f};
    l.Specular = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
    if (light.type == LT_DIRECTIONAL) {
        // The engine's direction points towards the light (as on every backend); the device's
        // the way the light travels.
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Direction = D3DVECTOR{-light.direction.x, -light.direction.y, -light.direction.z};
    } else {
        // A point light reaches everything, unattenuated, as OpenGL's default light does.
        l.Type = D3DLIGHT_POINT;
        l.Position = D3DVECTOR{light.position.x, light.position.y, light.position.z};
        l.Range = std::sqrt(FLT_MAX);
        l.Attenuation0 = 1.0f;
    }
    m_Device->SetLight(static_cast<DWORD>(index), &l);
    D3DMATERIAL9 material{};
    material.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = D3DCOLORVALUE{0.6f, 0.6f, 0.6f, 1.0f};
    m_Device->SetMaterial(&material);
}

void cDirect3D9Renderer::DeviceSetTexture(ITexture* texture, int stage) {
    CountDeviceCall();
    // A device with a single texture stage takes every texture at stage 0.
    const int unit = GetMaxTextureStages() < 2 ? 0 : stage;
    if (texture) {
        texture->Bind(unit);
        return;
    }
    m_Device->SetTexture(static_cast<DWORD>(unit), nullptr);
    // An empty stage passes the colour on (and ends the cascade, as the device's default does).
    if (unit > 0) {
        m_Device->SetTextureStageState(static_cast<DWORD>(unit), D3DTSS_COLOROP, D3DTOP_DISABLE);
        m_Device->SetTextureStageState(static_cast<DWORD>(unit), D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        m_StageCombiner[unit] = -1;
    }
}

void cDirect3D9Renderer::SetSamplerState(int stage, D3DSAMPLERSTATETYPE type, DWORD value) {
    const int t = static_cast<int>(type);
    if (stage < 0 || stage >= kMaxTextureStages || t < 0 || t >= 14) {
        m_Device->SetSamplerState(static_cast<DWORD>(stage), type, value);
        return;
    }
    if (m_SamplerKnown[stage][t] && m_SamplerStates[stage][t] == value) return;
    m_SamplerKnown[stage][t] = true;
    m_SamplerStates[stage][t] = value;
    m_Device->SetSamplerState(static_cast<DWORD>(stage), type, value);
}

void cDirect3D9Renderer::ApplyStageCombiner(int stage) {
    if (stage < 0 || stage >= kMaxTextureStages) return;
    const int kind = stage < 2 ? stage : 2;
    if (m_StageCombiner[stage] == kind) return;
    m_StageCombiner[stage] = kind;
    const DWORD s = static_cast<DWORD>(stage);
    // Colour and alpha start from the texture and the stage before (the diffuse colour at stage 0).
    m_Device->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, kind == 2 ? 0 : s);
    m_Device->SetTextureStageState(s, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_Device->SetTextureStageState(s, D3DTSS_COLORARG2, D3DTA_CURRENT);
    if (kind == 0) {
        m_Device->SetTextureStageState(s, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_Device->SetTextureStageState(s, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        m_Device->SetTextureStageState(s, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        m_Device->SetTextureStageState(s, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        return;
    }
    // Stage 1 adds the detail map around grey (texture + current - 0.5); later stages modulate.
    m_Device->SetTextureStageState(s, D3DTSS_COLOROP, kind == 1 ? D3DTOP_ADDSIGNED : D3DTOP_MODULATE);
    m_Device->SetTextureStageState(s, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    m_Device->SetTextureStageState(s, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
}

} // namespace velmora::video

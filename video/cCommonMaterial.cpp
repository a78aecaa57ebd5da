#include "video/cCommonMaterial.h"

#include <algorithm>

#include "engine/core/Log.h"
#include "video/ITexture.h"
#include "video/cCommonRenderer.h"

namespace velmora::video {

cCommonMaterial::~cCommonMaterial() {
    if (m_Renderer) m_Renderer->OnResourceDestroyed(static_cast<IMaterial*>(this));
}

IMaterial* cCommonMaterial::AddRef() {
    ++m_RefCount;
    return this;
}

void cCommonMaterial::Release() {
    if (m_RefCount <= 0) return;
    if (--m_RefCount > 0) return;
    if (m_Renderer && m_Renderer->GetBoundMaterial() == this) m_Renderer->SetMaterial(nullptr);
    delete this;
}

void cCommonMaterial::SetMaterialColor(int index, const float* rgba) {
    if (!rgba) {
        LogWarning("cCommonMaterial::SetMaterialColor : color not set, NULL-pointer\n");
        return;
    }
    SetMaterialColor(index, rgba[0], rgba[1], rgba[2], rgba[3]);
}

void cCommonMaterial::SetMaterialColor(int index, float r, float g, float b, float a) {
    if (index < 0 || index > 3) return;
    m_Colors[index][0] = r;
    m_Colors[index][1] = g;
    m_Colors[index][2] = b;
    m_Colors[index][3] = a;
}

void cCommonMaterial::SetMaterialColor(int index, const cColor& color) {
    SetMaterialColor(index, color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
}

void cCommonMaterial::SetTexture(ITexture* texture, int stage) {
    if (stage < 0 || stage >= kStages) {
        LogWarning("cCommonMaterial::SetTexture : invalid stage index %d\n", stage);
        return;
    }
    m_Textures[stage] = texture;
}

void cCommonMaterial::SetTextureAnisotropy(int level, int stage) {
    if (stage < 0 || stage >= kStages) {
        LogWarning("cCommonMaterial::SetTextureAnisotropy : invalid texture index( %d )\n", stage);
        return;
    }
    m_Anisotropy[stage] = level;
    if (m_Textures[stage]) m_Textures[stage]->SetAnisotropy(level);
}

void cCommonMaterial::SetTextureClamp(int mode, int stage) {
    if (stage < 0 || stage >= kStages) {
        LogWarning("cCommonMaterial::SetTextureClamp : invalid texture index( %d )\n", stage);
        return;
    }
    m_Clamp[stage] = mode;
    if (m_Textures[stage]) m_Textures[stage]->SetAddressMode(mode);
}

void cCommonMaterial::SetTextureFiltration(int mode, int stage) {
    if (stage < 0 || stage >= kStages) {
        LogWarning("cCommonMaterial::SetTextureFiltration : invalid texture index( %d )\n", stage);
        return;
    }
    m_Filtering[stage] = mode;
    if (m_Textures[stage]) m_Textures[stage]->SetFiltering(mode);
}

void cCommonMaterial::Bind() {
    m_Renderer->SetLighting(true);
    ApplyColors();
    const int stages = std::min(m_Renderer->GetMaxTextureStages(), static_cast<int>(kStages));
    for (int stage = 0; stage < stages; ++stage) m_Renderer->SetTexture(m_Textures[stage], stage);
    m_Renderer->SetBlendFunc(m_BlendSrc, m_BlendDst);
    m_Renderer->SetDepthWrite(m_DepthWrite);
    m_Renderer->SetCullMode(m_CullMode);
    m_Renderer->SetAlphaTest(m_AlphaFunc, m_AlphaRef);
}

void cCommonMaterial::Unbind() {
    m_Renderer->SetLighting(false);
    const int stages = std::min(m_Renderer->GetMaxTextureStages(), static_cast<int>(kStages));
    for (int stage = 0; stage < stages; ++stage) m_Renderer->SetTexture(nullptr, stage);
    m_Renderer->SetBlendFunc(BF_NONE, BF_NONE);
    m_Renderer->SetCullMode(CM_CW);
    m_Renderer->SetDepthWrite(true);
    m_Renderer->SetAlphaTest(CMP_OFF, 0.0f);
}

} // namespace velmora::video

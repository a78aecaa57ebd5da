#pragma once
// A material: fixed-function colours (diffuse 0.8 grey, ambient 0.2 grey,
// specular and emissive black), shininess, up to four textures with their
// sampler values, and the render states a surface needs. Bind applies them
// through the renderer; a backend adds how the colours reach its device.

#include <string>

#include "video/IResources.h"
#include "video/VideoTypes.h"

namespace velmora::video {

class cCommonRenderer;

// Colour indices of SetMaterialColor.
enum MaterialColor : int {
    MC_DIFFUSE = 0,
    MC_AMBIENT = 1,
    MC_SPECULAR = 2,
    MC_EMISSIVE = 3,
};

class cCommonMaterial : public IMaterial {
public:
    static constexpr int kStages = 4;

    explicit cCommonMaterial(cCommonRenderer* renderer) : m_Renderer(renderer) {}
    // Forgets the material wherever the renderer still has it bound.
    ~cCommonMaterial() override;
    cCommonMaterial(const cCommonMaterial&) = delete;
    cCommonMaterial& operator=(const cCommonMaterial&) = delete;

    // Destroys the material at zero; a bound material is unbound first.
    void Release() override;
    IMaterial* AddRef() override;
    void SetMaterialColor(int index, const float* rgba) override;
    void SetMaterialColor(int index, float r, float g, float b, float a) override;
    void SetMaterialColor(int index, const cColor& color) override;
    void SetShininess(float shininess) override { m_Shininess = shininess; }
    void SetTexture(ITexture* texture, int stage) override;
    void SetTextureAnisotropy(int level, int stage) override;
    void SetTextureClamp(int mode, int stage) override;
    void SetTextureFiltration(int mode, int stage) override;
    void SetDepthWrite(bool enable) override { m_DepthWrite = enable; }
    void SetBlendFunc(int src, int dst) override {
        m_BlendSrc = src;
        m_BlendDst = dst;
    }
    void SetAlphaTest(int func, float reference) override {
        m_AlphaFunc = func;
        m_AlphaRef = reference;
    }
    void SetCullMode(int mode) override { m_CullMode = mode; }
    void SetName(const std::string& name) override { m_Name = name; }
    const std::string& GetName() const override { return m_Name; }
    // Lighting on, the device colours (ApplyColors), the four stages (as far as the device
    // has them), then blending, depth writes, culling and alpha test.
    void Bind() override;
    // Lighting off, the stages emptied, blending off, culling 2, depth writes on, alpha test off.
    void Unbind() override;

    // Colour `index` as r, g, b, a; null for an index outside 0-3.
    const float* GetColor(int index) const { return index >= 0 && index < 4 ? m_Colors[index] : nullptr; }
    float GetShininess() const { return m_Shininess; }
    ITexture* GetTexture(int stage) const { return stage >= 0 && stage < kStages ? m_Textures[stage] : nullptr; }
    int GetReferenceCount() const { return m_RefCount; }

protected:
    // Sends the four colours and the shininess to the device's lighting.
    virtual void ApplyColors() = 0;

    cCommonRenderer* m_Renderer;
    std::string m_Name;
    float m_Colors[4][4] = {
        {0.8f, 0.8f, 0.8f, 1.0f},
        {0.2f, 0.2f, 0.2f, 1.0f},
        {0.0f, 0.0f, 0.0f, 1.0f},
        {0.0f, 0.0f, 0.0f, 1.0f},
    };
    float m_Shininess = 0.0f;
    ITexture* m_Textures[kStages] = {};
    int m_Filtering[kStages] = {TF_LINEAR_MIP_LINEAR, TF_LINEAR_MIP_LINEAR, TF_LINEAR_MIP_LINEAR, TF_LINEAR_MIP_LINEAR};
    int m_Anisotropy[kStages] = {};
    int m_Clamp[kStages] = {};
    int m_BlendSrc = BF_NONE;
    int m_BlendDst = BF_NONE;
    int m_AlphaFunc = CMP_OFF;
    float m_AlphaRef = 0.0f;
    int m_CullMode = CM_CW;
    bool m_DepthWrite = true;
    int m_RefCount = 1;
};

} // namespace velmora::video

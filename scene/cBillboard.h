#pragma once
// A single billboard (see IBillboard): a texture and a size, drawn by the
// pipelines through RenderBillboard at the translation of its transform.
// 1 x 1 at creation.

#include "scene/IBillboard.h"
#include "scene/cCommonEntity.h"
#include "scene/cEffectTexture.h"

namespace velmora::scene {

class cBillboard : public cCommonEntity<IBillboard, ENTITY_BILLBOARD> {
public:
    // renderer: loads the texture (null: the name is only kept).
    explicit cBillboard(video::IRenderer* renderer) : m_Renderer(renderer) {}
    cBillboard(const cBillboard&) = delete;
    cBillboard& operator=(const cBillboard&) = delete;

    void SetTexture(const std::string& fileName) override { m_Texture.Set(m_Renderer, fileName); }
    void SetBillboardWidth(float width) override { m_Width = width; }
    void SetBillboardHeight(float height) override { m_Height = height; }
    float GetBillboardWidth() const override { return m_Width; }
    float GetBillboardHeight() const override { return m_Height; }
    std::string GetTextureName() const override { return m_Texture.GetName(); }
    video::ITexture2D* GetTexture() const override { return m_Texture.Get(); }

private:
    video::IRenderer* m_Renderer = nullptr;
    cEffectTexture m_Texture;
    float m_Width = 1.0f;
    float m_Height = 1.0f;
};

} // namespace velmora::scene

#pragma once
// Rain (see IRain): the drops are the billboards of one billboard set made by
// the resource manager, their centres offsets from the camera that the rain
// shader adds to "u_Camera". The entity's own transform is kept for the scene
// file only.

#include "scene/IRain.h"
#include "scene/cCommonEntity.h"
#include "scene/cEffectTexture.h"

namespace velmora::scene {

class IResourceManager;

class cRain : public cCommonEntity<IRain, ENTITY_RAIN> {
public:
    // manager: makes the billboard set; renderer: loads the texture (null: the name is only kept).
    cRain(IResourceManager* manager, video::IRenderer* renderer);
    // Releases the drops and the texture.
    ~cRain() override;
    cRain(const cRain&) = delete;
    cRain& operator=(const cRain&) = delete;

    // Sets every value and makes the drops; throws cException when the drops cannot be made.
    void Create(int count, float radius, float halfHeight, float halfWidth);

    void SetTexture(const std::string& fileName) override;
    // Counts below 0 count as 0 (no drops); counts above IBillboardSet::kMaxBillboards are cut to it.
    void SetDropCount(int count) override;
    // A radius that is not a finite number is ignored.
    void SetRadius(float radius) override;
    // Sizes that are not finite numbers are ignored.
    void SetDropSize(float width, float height) override;
    std::string GetTextureName() const override { return m_Texture.GetName(); }
    int GetDropCount() const override { return m_Count; }
    float GetRadius() const override { return m_Radius; }
    float GetDropWidth() const override { return m_HalfWidth; }
    float GetDropHeight() const override { return m_HalfHeight; }
    video::ITexture2D* GetTexture() const override { return m_Texture.Get(); }
    IBillboardSet* GetBillboardSet() const override { return m_Drops; }

    // The size factor 1 + k of a drop at horizontal distance `distance` from the camera.
    float ScaleAt(float distance) const;

private:
    // Places every drop anew; throws cException on failure.
    void Build();
    // Rewrites every drop's sizes from its distance.
    void Resize();
    // Build for the setters: a failure is logged and leaves no drops.
    void Rebuild(const char* operation);

    IResourceManager* m_Manager = nullptr;
    video::IRenderer* m_Renderer = nullptr;
    IBillboardSet* m_Drops = nullptr;
    cEffectTexture m_Texture;
    float m_HalfHeight = 0.0f;
    float m_HalfWidth = 0.0f;
    float m_Radius = 0.0f;
    int m_Count = 0;
};

} // namespace velmora::scene

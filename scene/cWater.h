#pragma once
// The sea's parameters (see IWater). The planes, passes and textures that draw
// it belong to the rendering pipelines.

#include "scene/IWater.h"
#include "scene/cCommonEntity.h"

namespace velmora::scene {

class IResourceManager;

class cWater : public cCommonEntity<IWater, ENTITY_WATER> {
public:
    cWater(IResourceManager* resources, const cColor& color, float density, float speed, float level)
        : m_Resources(resources), m_Color(color), m_Density(density), m_Speed(speed), m_Level(level) {}

    void SetColor(const cColor& color) override { m_Color = color; }
    void SetDensity(float density) override { m_Density = density; }
    void SetSpeed(float speed) override { m_Speed = speed; }
    void SetLevel(float level) override { m_Level = level; }
    const cColor& GetColor() const override { return m_Color; }
    float GetDensity() const override { return m_Density; }
    float GetSpeed() const override { return m_Speed; }
    float GetLevel() const override { return m_Level; }
    // The surf's files are only named here; the pipelines load them when they build the surf.
    void SetFoamTexture(const std::string& fileName) override { m_FoamTexture = fileName; }
    std::string GetFoamTextureName() const override { return m_FoamTexture; }
    void SetSurfMap(const std::string& fileName) override { m_SurfMap = fileName; }
    std::string GetSurfMapName() const override { return m_SurfMap; }

    // The resource manager the water was made by (not owned).
    IResourceManager* GetResourceManager() const { return m_Resources; }

private:
    IResourceManager* m_Resources = nullptr;
    cColor m_Color;
    float m_Density = 0.0f;
    float m_Speed = 0.0f;
    float m_Level = 0.0f;
    std::string m_FoamTexture;
    std::string m_SurfMap;
};

} // namespace velmora::scene

#pragma once
// The scene's environment (see IEnvironment). At construction the fog is off
// with density 0 and a white fog colour; Reset makes the colour black.

#include "scene/IEnvironment.h"

namespace velmora::scene {

class IResourceManager;

class cEnvironment : public IEnvironment {
public:
    explicit cEnvironment(IResourceManager* resourceManager) : m_ResourceManager(resourceManager) {}

    void Reset() override;
    void SetFogDensity(float density) override { m_FogDensity = density; }
    void SetFogColor(const cColor& color) override { m_FogColor = color; }
    void SetFogEnabled(bool enabled) override { m_FogEnabled = enabled; }
    void SetSkyLeft(const std::string&) override {}
    void SetSkyRight(const std::string&) override {}
    void SetSkyFront(const std::string&) override {}
    void SetSkyBack(const std::string&) override {}
    void SetSkyTop(const std::string&) override {}
    void SetAmbientSound(const std::string& fileName) override { m_AmbientSound = fileName; }
    void SetColor2(const cColor& color) override { m_Color2 = color; }
    float GetFogDensity() const override { return m_FogDensity; }
    const cColor& GetFogColor() const override { return m_FogColor; }
    bool IsFogEnabled() const override { return m_FogEnabled; }
    const std::string& GetSkyLeft() const override { return m_NoSky; }
    const std::string& GetSkyRight() const override { return m_NoSky; }
    const std::string& GetSkyFront() const override { return m_NoSky; }
    const std::string& GetSkyBack() const override { return m_NoSky; }
    const std::string& GetSkyTop() const override { return m_NoSky; }
    const std::string& GetAmbientSound() const override { return m_AmbientSound; }
    const cColor& GetColor2() const override { return m_Color2; }

    IResourceManager* GetResourceManager() const { return m_ResourceManager; }

private:
    IResourceManager* m_ResourceManager = nullptr;
    std::string m_AmbientSound;
    float m_FogDensity = 0.0f;
    cColor m_FogColor{255, 255, 255, 255};
    bool m_FogEnabled = false;
    cColor m_Color2{255, 255, 255, 255};
    const std::string m_NoSky;
};

} // namespace velmora::scene

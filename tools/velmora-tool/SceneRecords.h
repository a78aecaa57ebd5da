#pragma once
// What the scene verbs read scenes into: entities and sound sources that only
// hold the values a ".scene" file stores, made by a resource manager that
// needs no device (meshes load headless). With them every section and entity
// kind of a scene file reads and writes back unchanged, whatever classes the
// engine has built and whether or not there is a renderer or sound device.

#include <map>
#include <memory>
#include <string>

#include "scene/cResourceManager.h"
#include "sound/ISoundEngine.h"

namespace velmora::tool {

// Sound sources that keep their settings and play nothing.
class cRecordSoundEngine : public sound::ISoundEngine {
public:
    ~cRecordSoundEngine() override;
    void Release() override {}
    sound::ISoundSource* CreateSource(const std::string& name, int mode) override;
    void SetVolume(float) override {}
    void SetPitch(float) override {}
    void SetListenerPosition(const cVector3& position) override { m_Listener = position; }
    float GetVolume() const override { return 1.0f; }
    float GetPitch() const override { return 1.0f; }
    const cVector3& GetListenerPosition() const override { return m_Listener; }
    void Update() override {}
    void SetListenerOrientation(const cVector3&, const cVector3&) override {}
    // Called by a source released to zero.
    void Forget(const std::string& name) { m_Sources.erase(name); }

private:
    std::map<std::string, sound::ISoundSource*> m_Sources;
    cVector3 m_Listener;
};

// A headless resource manager that also makes the entity kinds of the scene format.
class cRecordFactory : public scene::cResourceManager {
public:
    cRecordFactory();
    scene::ISky* CreateSkyBox() override;
    scene::ILensFlare* CreateLensFlare() override;
    scene::IRain* CreateRain(int count, float radius, float halfHeight, float halfWidth) override;
    scene::IWater* CreateWater(const cColor& color, float density, float speed, float level) override;
    scene::IBillboard* CreateBillboard() override;

private:
    std::unique_ptr<cRecordSoundEngine> m_Sound;
};

} // namespace velmora::tool

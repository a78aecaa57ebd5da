#pragma once
// The platform-neutral half of the sound engine: the table of sources shared
// by name, master volume, global pitch and listener position. The platform
// engine (cOpenALSoundEngine) loads sources and drives the device.

#include <cstddef>
#include <map>
#include <string>

#include "sound/ISoundEngine.h"

namespace velmora::sound {

class cCommonSoundSource;

class cCommonSoundEngine : public ISoundEngine {
public:
    cCommonSoundEngine() = default;
    // Deletes the sources still in the table.
    ~cCommonSoundEngine() override;
    cCommonSoundEngine(const cCommonSoundEngine&) = delete;
    cCommonSoundEngine& operator=(const cCommonSoundEngine&) = delete;

    void Release() override;
    // A source already in the table gets a reference; otherwise NewSource makes one and LoadSource fills it.
    // A cException while loading is logged as a warning and gives null.
    ISoundSource* CreateSource(const std::string& name, int mode) override;
    void SetPitch(float pitch) override;
    float GetVolume() const override { return m_Volume; }
    float GetPitch() const override { return m_Pitch; }
    const cVector3& GetListenerPosition() const override { return m_ListenerPosition; }
    void Update() override;

    // Forgets a source that is being deleted (called by its last Release).
    void RemoveSource(cCommonSoundSource* source);
    // The source in the table under name, without adding a reference; null when there is none.
    ISoundSource* FindSource(const std::string& name) const;
    // Number of sources in the table.
    std::size_t GetSourceCount() const { return m_Sources.size(); }

protected:
    // A new, empty platform source.
    virtual cCommonSoundSource* NewSource(const std::string& name) = 0;
    // Loads the named file into the source with the mode; raises cException on failure.
    virtual void LoadSource(cCommonSoundSource* source, const std::string& name, int mode) = 0;
    // Deletes every source in the table whatever its count (the device is about to go).
    void DestroySources();

    std::map<std::string, cCommonSoundSource*> m_Sources;
    float m_Volume = 1.0f;
    float m_Pitch = 1.0f;
    cVector3 m_ListenerPosition;
};

} // namespace velmora::sound

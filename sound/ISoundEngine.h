#pragma once
// The sound engine: listener, master volume and the per-frame update that
// refills streamed sources.

namespace velmora::sound {

class ISoundEngine {
public:
    virtual ~ISoundEngine() = default;
    // Deletes the sound engine and every source it still holds.
    virtual void Release() = 0;
    // Per-frame work: refills streamed sources.
    virtual void Update() = 0;
    // Master volume 0..1.
    virtual void SetMasterVolume(float volume) = 0;
    // The master volume.
    virtual float GetMasterVolume() const = 0;
};

// Creates the platform's sound engine; null when no sound device or library can be had.
// A cException from the construction reaches the caller.
ISoundEngine* CreateSoundEngine();

} // namespace velmora::sound

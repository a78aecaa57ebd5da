#pragma once
// The sound engine: one listener (placed at the camera by the scene manager
// every frame), a master volume, a global pitch and the table of sound
// sources shared by name. The engine core creates it on first request
// (IEngine::GetSoundEngine) and owns it; when no sound library or device can
// be had there is no sound engine (null) and callers run silent.

#include <string>

#include "engine/core/cVector3.h"
#include "sound/ISoundSource.h"

namespace velmora::sound {

// Loading modes of CreateSource. Modes 0 and 1 stream Ogg Vorbis files through
// three rotating buffers; mode 2 decodes them whole into one buffer. WAV files
// are always decoded whole.
constexpr int SOUND_MODE_STREAM = 0;
constexpr int SOUND_MODE_WHOLE = 2;

class ISoundEngine {
public:
    // Deletes every source the engine still holds, then closes the device.
    virtual ~ISoundEngine() = default;
    // Deletes the sound engine (as the destructor).
    virtual void Release() = 0;
    // The source loaded from the named file (".wav" or ".ogg", matched case-sensitively; other names give a
    // source without data). A source already in the table gets a reference added and is returned; a file that
    // cannot be loaded logs a warning and gives null. The caller releases what it got.
    virtual ISoundSource* CreateSource(const std::string& name, int mode) = 0;
    // Master volume (the listener's gain), 0..1.
    virtual void SetVolume(float volume) = 0;
    // Sets the pitch of every source in the table (sources created later start at 1.0).
    virtual void SetPitch(float pitch) = 0;
    // Moves the listener.
    virtual void SetListenerPosition(const cVector3& position) = 0;
    // The master volume.
    virtual float GetVolume() const = 0;
    // The last global pitch.
    virtual float GetPitch() const = 0;
    // The listener position.
    virtual const cVector3& GetListenerPosition() const = 0;
    // Per-frame work: every source's Update, in table order (refills streams).
    virtual void Update() = 0;
    // Turns the listener: the direction it faces and its up direction.
    virtual void SetListenerOrientation(const cVector3& forward, const cVector3& up) = 0;

    // Same as SetVolume / GetVolume.
    void SetMasterVolume(float volume) { SetVolume(volume); }
    float GetMasterVolume() const { return GetVolume(); }
};

// Creates the platform's sound engine. Null, without a message, when the sound library or one of its entry
// points is missing; a device or context failure is raised as cException (the engine core logs it).
ISoundEngine* CreateSoundEngine();

} // namespace velmora::sound

#pragma once
// One sound: an OpenAL source with its data, decoded from a RIFF WAVE file at
// once or from an Ogg Vorbis file at once or streamed through three rotating
// buffers. Sources are created and shared by name through the sound engine
// (ISoundEngine::CreateSource) and reference counted: the count starts at 1,
// AddRef adds one, Release drops one and at zero the engine forgets the source
// and deletes it.

#include <string>

#include "engine/core/cVector3.h"

namespace velmora::sound {

class ISoundSource {
public:
    // Stops the source and frees its OpenAL objects and decoded data.
    virtual ~ISoundSource() = default;
    // Drops a reference; the last one removes the source from the engine's table and deletes it.
    virtual void Release() = 0;
    // Adds a reference and returns this source.
    virtual ISoundSource* AddRef() = 0;
    // Starts playing; a stopped source starts from the beginning, a paused one resumes.
    virtual void Play() = 0;
    // Pauses; Play resumes from here.
    virtual void Pause() = 0;
    // Stops; the next Play starts from the beginning.
    virtual void Stop() = 0;
    // Playback rate factor; values of 2.0 and more become 2.0.
    virtual void SetPitch(float pitch) = 0;
    // Repeats the sound at its end (a stream loops by rewinding its decoder).
    virtual void SetLooping(bool looping) = 0;
    // Gain of this source (the engine's master volume scales every source).
    virtual void SetVolume(float volume) = 0;
    // World position; stored but not applied while the source is listener-relative.
    virtual void SetPosition(const cVector3& position) = 0;
    // Listener-relative sources sit at the listener (0, 0, 0); others at their stored position.
    virtual void SetRelative(bool relative) = 0;
    // Distance up to which the source plays at full gain (OpenAL's reference distance).
    virtual void SetMaxDistance(float distance) = 0;
    // How fast the gain falls off beyond the reference distance.
    virtual void SetRolloff(float rolloff) = 0;
    // The name under which the engine shares this source (the file name it was loaded from).
    virtual const std::string& GetName() const = 0;
    // The stored gain (1.0 until SetVolume).
    virtual float GetVolume() const = 0;
    // The stored pitch.
    virtual float GetPitch() const = 0;
    // The stored world position.
    virtual const cVector3& GetPosition() const = 0;
    // The stored reference distance (10000 until SetMaxDistance).
    virtual float GetMaxDistance() const = 0;
    // The stored rolloff factor.
    virtual float GetRolloff() const = 0;
    // True while the source plays.
    virtual bool IsPlaying() const = 0;
    // True while the source is paused.
    virtual bool IsPaused() const = 0;
    // The stored looping flag.
    virtual bool IsLooping() const = 0;
    // True for an Ogg source streamed through rotating buffers.
    virtual bool IsStreaming() const = 0;
    // True when the source neither plays nor is paused (also before the first Play).
    virtual bool IsStopped() const = 0;
    // The stored listener-relative flag.
    virtual bool IsRelative() const = 0;
    // Per-frame work, called by the engine: refills the buffers a stream has played.
    virtual void Update() = 0;
};

} // namespace velmora::sound

#pragma once
// A sound source played through OpenAL. WAV data and whole-decoded Ogg data sit
// in one buffer; a streamed Ogg file rotates three buffers of 10024 bytes that
// Update refills from the decoder as OpenAL finishes them.

#include <cstdint>
#include <string>
#include <vector>

#include "sound/cCommonSoundSource.h"
#include "sound/openal/OpenALBinding.h"

namespace velmora::sound {

class cOpenALSoundSource : public cCommonSoundSource {
public:
    // Bytes of one stream buffer.
    static constexpr std::int32_t kStreamBufferSize = 10024;
    // Buffers a stream rotates.
    static constexpr int kStreamBufferCount = 3;

    cOpenALSoundSource(const std::string& name, cCommonSoundEngine* engine);
    // Stops the source and deletes its OpenAL source and buffers.
    ~cOpenALSoundSource() override;

    // Creates the OpenAL source and loads the named file: ".wav" whole, ".ogg" streamed for modes 0 and 1 and
    // whole for mode 2 (case-sensitive endings); other names leave the source without data. Raises cException.
    void Load(const std::string& name, int mode);

    void Play() override;
    void Pause() override;
    void Stop() override;
    void SetPitch(float pitch) override;
    void SetLooping(bool looping) override;
    void SetVolume(float volume) override;
    void SetPosition(const cVector3& position) override;
    void SetRelative(bool relative) override;
    void SetMaxDistance(float distance) override;
    void SetRolloff(float rolloff) override;
    bool IsPlaying() const override;
    bool IsPaused() const override;
    bool IsStopped() const override;
    void Update() override;

private:
    void LoadWaveFile(const std::string& name);
    void LoadOggFile(const std::string& name, bool streaming);
    // Decodes up to size bytes into the buffer; true when there was anything to put there.
    bool FillBuffer(ALuint buffer, std::int32_t size);
    // Takes back the buffers OpenAL has played, refills and queues the idle ones.
    void RefillStream();
    // Empties the queue, rewinds the decoder and queues the first buffers again.
    void RestartStream();
    ALint GetState() const;
    ALint GetSourceInt(ALenum parameter) const;

    ALuint m_Source = 0;
    bool m_HasSource = false;
    ALuint m_WaveBuffer = 0;
    std::vector<ALuint> m_Buffers;
    // Stream buffers currently not queued on the source.
    std::vector<ALuint> m_IdleBuffers;
    std::vector<std::uint8_t> m_DecodeBuffer;
    // Play was called on the stream and neither Pause nor Stop since.
    bool m_StreamWanted = false;
    // The stream was stopped or ran out: the next Play starts it from the beginning.
    bool m_StreamRestart = false;
};

} // namespace velmora::sound

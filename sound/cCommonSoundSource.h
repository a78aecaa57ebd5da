#pragma once
// The platform-neutral half of a sound source: reference count, stored
// settings and the Ogg Vorbis decoder. The platform source (cOpenALSoundSource)
// adds the device objects and applies the settings.

#include <cstdint>
#include <string>

#include "sound/ISoundSource.h"

namespace velmora::sound {

class cCommonSoundEngine;
class cOggDecoder;

class cCommonSoundSource : public ISoundSource {
public:
    // A source named name, owned by engine's table.
    cCommonSoundSource(const std::string& name, cCommonSoundEngine* engine);
    // Frees the decoder and its memory copy of the file.
    ~cCommonSoundSource() override;
    cCommonSoundSource(const cCommonSoundSource&) = delete;
    cCommonSoundSource& operator=(const cCommonSoundSource&) = delete;

    void Release() override;
    ISoundSource* AddRef() override;
    const std::string& GetName() const override { return m_Name; }
    float GetVolume() const override { return m_Volume; }
    float GetPitch() const override { return m_Pitch; }
    const cVector3& GetPosition() const override { return m_Position; }
    float GetMaxDistance() const override { return m_MaxDistance; }
    float GetRolloff() const override { return m_Rolloff; }
    bool IsLooping() const override { return m_Looping; }
    bool IsStreaming() const override { return m_Streaming; }
    bool IsRelative() const override { return m_Relative; }

    // The file the data was loaded from; empty for a source without data.
    const std::string& GetFileName() const { return m_FileName; }
    // The current reference count.
    std::int32_t GetReferenceCount() const { return m_RefCount; }
    // Sample frames per second of the loaded data; 0 without data.
    std::uint32_t GetSampleRate() const { return m_SampleRate; }

protected:
    std::string m_Name;
    cCommonSoundEngine* m_Engine;
    std::string m_FileName;
    std::int32_t m_RefCount = 1;
    std::uint32_t m_SampleRate = 0;
    std::int32_t m_Format = 0;
    cOggDecoder* m_Ogg = nullptr;
    float m_Pitch = 1.0f;
    float m_Volume = 1.0f;
    bool m_Looping = false;
    bool m_Streaming = false;
    bool m_Relative = false;
    cVector3 m_Position;
    float m_Rolloff = 1.0f;
    float m_MaxDistance = 10000.0f;
};

} // namespace velmora::sound

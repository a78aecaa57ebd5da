#include "sound/openal/cOpenALSoundSource.h"

#include <algorithm>
#include <climits>
#include <new>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "sound/cOggDecoder.h"
#include "sound/cWaveDecoder.h"

namespace velmora::sound {

namespace {

// Whole-file Ogg decoding grows its buffer in steps of this size.
constexpr std::int32_t kWholeDecodeStep = 256 * 1024;
// Longest decoded Ogg kept in one buffer (about 50 minutes of 44.1 kHz stereo).
constexpr std::int64_t kWholeDecodeLimit = 512LL * 1024 * 1024;

bool EndsWith(const std::string& text, const char* ending) {
    const std::string tail(ending);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

cOpenALSoundSource::cOpenALSoundSource(const std::string& name, cCommonSoundEngine* engine)
    : cCommonSoundSource(name, engine) {}

cOpenALSoundSource::~cOpenALSoundSource() {
    const sOpenALBinding& al = GetOpenAL();
    if (!IsOpenALLoaded()) {
        return;
    }
    if (m_HasSource) {
        al.alSourceStop(m_Source);
        al.alSourcei(m_Source, AL_BUFFER, 0);
        al.alDeleteSources(1, &m_Source);
    }
    if (m_WaveBuffer) {
        al.alDeleteBuffers(1, &m_WaveBuffer);
    }
    if (!m_Buffers.empty()) {
        al.alDeleteBuffers(static_cast<ALsizei>(m_Buffers.size()), m_Buffers.data());
    }
}

void cOpenALSoundSource::Load(const std::string& name, int mode) {
    const sOpenALBinding& al = GetOpenAL();
    al.alGetError();
    al.alGenSources(1, &m_Source);
    if (al.alGetError() != AL_NO_ERROR) {
        RaiseError("cOpenALSoundSource::Load : failed to create a source for '%s'", name.c_str());
    }
    m_HasSource = true;
    al.alSourcef(m_Source, AL_PITCH, 1.0f);
    al.alSourcef(m_Source, AL_GAIN, 5.0f);
    al.alSource3f(m_Source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    al.alSourcei(m_Source, AL_SOURCE_RELATIVE, AL_FALSE);
    al.alSourcef(m_Source, AL_ROLLOFF_FACTOR, m_Rolloff);

    if (EndsWith(name, ".wav")) {
        m_Streaming = false;
        LoadWaveFile(name);
    } else if (EndsWith(name, ".ogg")) {
        m_Streaming = mode == 0 || mode == 1;
        LoadOggFile(name, m_Streaming);
    }
}

void cOpenALSoundSource::LoadWaveFile(const std::string& name) {
    const sOpenALBinding& al = GetOpenAL();
    IFileSystem* fileSystem = GetProcessFileSystem();
    IFile* file = fileSystem ? fileSystem->OpenFile(name.c_str()) : nullptr;
    if (!file) {
        RaiseError("cOpenALSoundSource::LoadWaveFile : failed to oped wave file");
    }
    cWaveDecoder decoder;
    const bool decoded = decoder.Decode(*file);
    file->Release();
    if (!decoded) {
        RaiseError("cOpenALSoundSource::LoadWaveFile : '%s', %s", name.c_str(), decoder.GetError().c_str());
    }
    const bool wide = decoder.GetBitsPerSample() == 16;
    if (decoder.GetChannels() == 1) {
        m_Format = wide ? AL_FORMAT_MONO16 : AL_FORMAT_MONO8;
    } else {
        m_Format = wide ? AL_FORMAT_STEREO16 : AL_FORMAT_STEREO8;
    }
    m_SampleRate = decoder.GetSampleRate();

    const std::vector<std::uint8_t>& samples = decoder.GetSamples();
    al.alGetError();
    al.alGenBuffers(1, &m_WaveBuffer);
    if (al.alGetError() != AL_NO_ERROR) {
        m_WaveBuffer = 0;
        RaiseError("cOpenALSoundSource::LoadWaveFile : '%s', failed to create a buffer", name.c_str());
    }
    al.alBufferData(m_WaveBuffer, m_Format, samples.data(), static_cast<ALsizei>(samples.size()),
                    static_cast<ALsizei>(m_SampleRate));
    al.alSourcei(m_Source, AL_BUFFER, static_cast<ALint>(m_WaveBuffer));
    if (al.alGetError() != AL_NO_ERROR) {
        RaiseError("cOpenALSoundSource::LoadWaveFile : '%s', the sound device refused the samples", name.c_str());
    }
    m_FileName = name;
}

void cOpenALSoundSource::LoadOggFile(const std::string& name, bool streaming) {
    const sOpenALBinding& al = GetOpenAL();
    m_Ogg = new cOggDecoder();
    IFileSystem* fileSystem = GetProcessFileSystem();
    const cOggDecoder::eOpenResult opened =
        fileSystem ? m_Ogg->Open(*fileSystem, name.c_str()) : cOggDecoder::OGG_NO_FILE;
    switch (opened) {
    case cOggDecoder::OGG_OPENED: break;
    case cOggDecoder::OGG_NO_FILE: RaiseError("cOpenALSoundSource::LoadOggFile : failed to open file");
    case cOggDecoder::OGG_NOT_VORBIS: RaiseError("failed to load '%s'; ov_open_callbacks failed", name.c_str());
    case cOggDecoder::OGG_BAD_FORMAT:
        RaiseError("cOpenALSoundSource::LoadOggFile : '%s', only mono or stereo streams of one sample rate are "
                   "supported",
                   name.c_str());
    }
    m_SampleRate = static_cast<std::uint32_t>(m_Ogg->GetSampleRate());
    m_FileName = name;
    m_Format = m_Ogg->GetChannels() == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;

    const int count = streaming ? kStreamBufferCount : 1;
    m_Buffers.assign(count, 0);
    al.alGetError();
    al.alGenBuffers(count, m_Buffers.data());
    if (al.alGetError() != AL_NO_ERROR) {
        m_Buffers.clear();
        RaiseError("cOpenALSoundSource::LoadOggFile : '%s', failed to create buffers", name.c_str());
    }

    if (streaming) {
        al.alSourcei(m_Source, AL_LOOPING, AL_FALSE);
        m_DecodeBuffer.resize(kStreamBufferSize);
        m_IdleBuffers = m_Buffers;
        RefillStream();
        return;
    }

    // Decoded whole: the size the stream claims is only a first guess, the
    // decoder decides where the data ends.
    std::vector<std::uint8_t> pcm;
    const std::int64_t claimed = m_Ogg->GetTotalFrames() * m_Ogg->GetFrameSize();
    try {
        if (claimed > 0) {
            pcm.reserve(static_cast<std::size_t>(std::min(claimed, kWholeDecodeLimit)));
        }
        std::size_t filled = 0;
        for (;;) {
            pcm.resize(filled + kWholeDecodeStep);
            const std::int32_t got = m_Ogg->Decode(pcm.data() + filled, kWholeDecodeStep, false);
            filled += static_cast<std::size_t>(got);
            if (got <= 0) {
                break;
            }
            if (static_cast<std::int64_t>(filled) > kWholeDecodeLimit) {
                RaiseError("cOpenALSoundSource::LoadOggFile : '%s' is too long to decode at once", name.c_str());
            }
        }
        pcm.resize(filled);
    } catch (const std::bad_alloc&) {
        RaiseError("cOpenALSoundSource::LoadOggFile : '%s', out of memory", name.c_str());
    }
    al.alBufferData(m_Buffers[0], m_Format, pcm.data(), static_cast<ALsizei>(pcm.size()),
                    static_cast<ALsizei>(m_SampleRate));
    al.alSourcei(m_Source, AL_BUFFER, static_cast<ALint>(m_Buffers[0]));
    if (al.alGetError() != AL_NO_ERROR) {
        RaiseError("cOpenALSoundSource::LoadOggFile : '%s', the sound device refused the samples", name.c_str());
    }
    // Everything is in the buffer; the compressed copy is no longer needed.
    delete m_Ogg;
    m_Ogg = nullptr;
}

bool cOpenALSoundSource::FillBuffer(ALuint buffer, std::int32_t size) {
    if (!m_Ogg) {
        return false;
    }
    const std::int32_t bytes = m_Ogg->Decode(m_DecodeBuffer.data(), std::min<std::int32_t>(size, kStreamBufferSize),
                                             m_Looping);
    if (bytes <= 0) {
        return false;
    }
    GetOpenAL().alBufferData(buffer, m_Format, m_DecodeBuffer.data(), bytes, static_cast<ALsizei>(m_SampleRate));
    return true;
}

void cOpenALSoundSource::RefillStream() {
    const sOpenALBinding& al = GetOpenAL();
    ALint processed = GetSourceInt(AL_BUFFERS_PROCESSED);
    while (processed-- > 0) {
        ALuint buffer = 0;
        al.alSourceUnqueueBuffers(m_Source, 1, &buffer);
        if (buffer != 0 && std::find(m_IdleBuffers.begin(), m_IdleBuffers.end(), buffer) == m_IdleBuffers.end()) {
            m_IdleBuffers.push_back(buffer);
        }
    }
    // Idle buffers are filled in the order they were played, so the queue
    // keeps the stream's order; at the end of a non-looping stream they wait.
    while (!m_IdleBuffers.empty()) {
        const ALuint buffer = m_IdleBuffers.front();
        if (!FillBuffer(buffer, kStreamBufferSize)) {
            break;
        }
        al.alSourceQueueBuffers(m_Source, 1, &buffer);
        m_IdleBuffers.erase(m_IdleBuffers.begin());
    }
}

void cOpenALSoundSource::RestartStream() {
    const sOpenALBinding& al = GetOpenAL();
    al.alSourceStop(m_Source);
    al.alSourcei(m_Source, AL_BUFFER, 0);
    m_IdleBuffers = m_Buffers;
    if (m_Ogg) {
        m_Ogg->Rewind();
    }
    m_StreamRestart = false;
    RefillStream();
}

ALint cOpenALSoundSource::GetSourceInt(ALenum parameter) const {
    ALint value = 0;
    if (m_HasSource) {
        GetOpenAL().alGetSourcei(m_Source, parameter, &value);
    }
    return value;
}

ALint cOpenALSoundSource::GetState() const { return GetSourceInt(AL_SOURCE_STATE); }

void cOpenALSoundSource::Play() {
    if (!m_HasSource) {
        return;
    }
    const sOpenALBinding& al = GetOpenAL();
    if (!m_Streaming) {
        al.alSourcePlay(m_Source);
        return;
    }
    const ALint state = GetState();
    if (state == AL_PLAYING) {
        return;
    }
    if (state != AL_PAUSED && m_StreamRestart) {
        RestartStream();
    } else {
        RefillStream();
    }
    m_StreamWanted = true;
    if (GetSourceInt(AL_BUFFERS_QUEUED) > 0) {
        al.alSourcePlay(m_Source);
    }
}

void cOpenALSoundSource::Pause() {
    if (m_HasSource) {
        GetOpenAL().alSourcePause(m_Source);
    }
    m_StreamWanted = false;
}

void cOpenALSoundSource::Stop() {
    if (m_HasSource) {
        GetOpenAL().alSourceStop(m_Source);
    }
    if (m_Streaming) {
        m_StreamWanted = false;
        m_StreamRestart = true;
    }
}

void cOpenALSoundSource::SetPitch(float pitch) {
    m_Pitch = pitch >= 2.0f ? 2.0f : pitch;
    if (m_HasSource) {
        GetOpenAL().alSourcef(m_Source, AL_PITCH, m_Pitch);
    }
}

void cOpenALSoundSource::SetLooping(bool looping) {
    m_Looping = looping;
    // A stream loops by rewinding its decoder, never through OpenAL.
    if (m_HasSource && !m_Streaming) {
        GetOpenAL().alSourcei(m_Source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    }
}

void cOpenALSoundSource::SetVolume(float volume) {
    m_Volume = volume;
    if (m_HasSource) {
        GetOpenAL().alSourcef(m_Source, AL_GAIN, volume);
    }
}

void cOpenALSoundSource::SetPosition(const cVector3& position) {
    m_Position = position;
    if (m_HasSource && !m_Relative) {
        GetOpenAL().alSource3f(m_Source, AL_POSITION, position.x, position.y, position.z);
    }
}

void cOpenALSoundSource::SetRelative(bool relative) {
    m_Relative = relative;
    if (!m_HasSource) {
        return;
    }
    const sOpenALBinding& al = GetOpenAL();
    al.alSourcei(m_Source, AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE);
    if (relative) {
        al.alSource3f(m_Source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    } else {
        al.alSource3f(m_Source, AL_POSITION, m_Position.x, m_Position.y, m_Position.z);
    }
}

void cOpenALSoundSource::SetMaxDistance(float distance) {
    m_MaxDistance = distance;
    if (m_HasSource) {
        GetOpenAL().alSourcef(m_Source, AL_REFERENCE_DISTANCE, distance);
    }
}

void cOpenALSoundSource::SetRolloff(float rolloff) {
    m_Rolloff = rolloff;
    if (m_HasSource) {
        GetOpenAL().alSourcef(m_Source, AL_ROLLOFF_FACTOR, rolloff);
    }
}

bool cOpenALSoundSource::IsPlaying() const { return GetState() == AL_PLAYING; }

bool cOpenALSoundSource::IsPaused() const { return GetState() == AL_PAUSED; }

bool cOpenALSoundSource::IsStopped() const {
    const ALint state = GetState();
    return state != AL_PLAYING && state != AL_PAUSED;
}

void cOpenALSoundSource::Update() {
    if (!m_Streaming || !m_HasSource || m_StreamRestart) {
        return;
    }
    RefillStream();
    if (!m_StreamWanted || GetState() == AL_PLAYING) {
        return;
    }
    if (GetSourceInt(AL_BUFFERS_QUEUED) > 0) {
        // The queue ran dry before this update came round: carry on.
        GetOpenAL().alSourcePlay(m_Source);
    } else {
        // Everything has been played: the stream has ended.
        m_StreamWanted = false;
        m_StreamRestart = true;
    }
}

} // namespace velmora::sound

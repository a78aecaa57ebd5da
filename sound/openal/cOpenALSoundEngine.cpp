#include "sound/openal/cOpenALSoundEngine.h"

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "sound/openal/cOpenALSoundSource.h"

namespace velmora::sound {

namespace {

const char* Text(const ALchar* text) { return text ? text : ""; }

} // namespace

cOpenALSoundEngine::~cOpenALSoundEngine() {
    const sOpenALBinding& al = GetOpenAL();
    DestroySources();
    if (m_Context) {
        al.alcMakeContextCurrent(nullptr);
        al.alcDestroyContext(m_Context);
        m_Context = nullptr;
    }
    if (m_Device) {
        al.alcCloseDevice(m_Device);
        m_Device = nullptr;
    }
    UnloadOpenAL();
}

void cOpenALSoundEngine::CheckALCError() {
    const sOpenALBinding& al = GetOpenAL();
    const ALCenum error = al.alcGetError(m_Device);
    if (error != ALC_NO_ERROR) {
        RaiseError("cOpenALSoundEngine::CheckALCError : %s", Text(al.alcGetString(m_Device, error)));
    }
}

void cOpenALSoundEngine::Create() {
    const sOpenALBinding& al = GetOpenAL();
    LogMessage("Creating OpenAL device... ");
    m_Device = al.alcOpenDevice(nullptr);
    if (!m_Device) {
        RaiseError("cOpenALSoundEngine::Create : failed to open default sound device");
    }
    LogMessage("succeeded\n");

    LogMessage("Creating OpenAL context... ");
    m_Context = al.alcCreateContext(m_Device, nullptr);
    CheckALCError();
    if (!m_Context) {
        RaiseError("cOpenALSoundEngine::CheckALCError : failed to create context");
    }
    LogMessage("succeeded\n");

    if (!al.alcMakeContextCurrent(m_Context)) {
        CheckALCError();
        RaiseError("cOpenALSoundEngine::Create : failed to make the context current");
    }
    const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    al.alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    al.alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    al.alListenerfv(AL_ORIENTATION, orientation);
    al.alListenerf(AL_GAIN, m_Volume);

    LogMessage("AL_VERSION:    %s\n", Text(al.alGetString(AL_VERSION)));
    LogMessage("AL_RENDERER:   %s\n", Text(al.alGetString(AL_RENDERER)));
    LogMessage("AL_VENDOR:     %s\n", Text(al.alGetString(AL_VENDOR)));
    LogMessage("AL_EXTENSIONS: %s\n", Text(al.alGetString(AL_EXTENSIONS)));
}

void cOpenALSoundEngine::SetVolume(float volume) {
    m_Volume = volume;
    if (m_Context) {
        GetOpenAL().alListenerf(AL_GAIN, volume);
    }
}

void cOpenALSoundEngine::SetListenerPosition(const cVector3& position) {
    m_ListenerPosition = position;
    if (m_Context) {
        GetOpenAL().alListener3f(AL_POSITION, position.x, position.y, position.z);
    }
}

void cOpenALSoundEngine::SetListenerOrientation(const cVector3& forward, const cVector3& up) {
    if (m_Context) {
        const ALfloat orientation[6] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
        GetOpenAL().alListenerfv(AL_ORIENTATION, orientation);
    }
}

cCommonSoundSource* cOpenALSoundEngine::NewSource(const std::string& name) {
    return new cOpenALSoundSource(name, this);
}

void cOpenALSoundEngine::LoadSource(cCommonSoundSource* source, const std::string& name, int mode) {
    static_cast<cOpenALSoundSource*>(source)->Load(name, mode);
}

} // namespace velmora::sound

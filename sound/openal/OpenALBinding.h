#pragma once
// The process-wide binding to the OpenAL library, which is loaded at run time
// (never linked): the library handle and one function pointer per entry point,
// each looked up by name. Only the OpenAL backend includes this header.

#define AL_NO_PROTOTYPES
#define ALC_NO_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>

namespace velmora::sound {

// Every entry point the backend may use, in lookup order: name and pointer type.
#define VELMORA_OPENAL_ENTRY_POINTS(X)                                                                          \
    X(alEnable, LPALENABLE)                                                                                     \
    X(alDisable, LPALDISABLE)                                                                                   \
    X(alIsEnabled, LPALISENABLED)                                                                               \
    X(alGetBoolean, LPALGETBOOLEAN)                                                                             \
    X(alGetInteger, LPALGETINTEGER)                                                                             \
    X(alGetFloat, LPALGETFLOAT)                                                                                 \
    X(alGetDouble, LPALGETDOUBLE)                                                                               \
    X(alGetBooleanv, LPALGETBOOLEANV)                                                                           \
    X(alGetIntegerv, LPALGETINTEGERV)                                                                           \
    X(alGetFloatv, LPALGETFLOATV)                                                                               \
    X(alGetDoublev, LPALGETDOUBLEV)                                                                             \
    X(alGetString, LPALGETSTRING)                                                                               \
    X(alGetError, LPALGETERROR)                                                                                 \
    X(alIsExtensionPresent, LPALISEXTENSIONPRESENT)                                                             \
    X(alGetProcAddress, LPALGETPROCADDRESS)                                                                     \
    X(alGetEnumValue, LPALGETENUMVALUE)                                                                         \
    X(alListeneri, LPALLISTENERI)                                                                               \
    X(alListenerf, LPALLISTENERF)                                                                               \
    X(alListener3f, LPALLISTENER3F)                                                                             \
    X(alListenerfv, LPALLISTENERFV)                                                                             \
    X(alGetListeneri, LPALGETLISTENERI)                                                                         \
    X(alGetListenerf, LPALGETLISTENERF)                                                                         \
    X(alGetListener3f, LPALGETLISTENER3F)                                                                       \
    X(alGetListenerfv, LPALGETLISTENERFV)                                                                       \
    X(alGenSources, LPALGENSOURCES)                                                                             \
    X(alDeleteSources, LPALDELETESOURCES)                                                                       \
    X(alIsSource, LPALISSOURCE)                                                                                 \
    X(alSourcei, LPALSOURCEI)                                                                                   \
    X(alSourcef, LPALSOURCEF)                                                                                   \
    X(alSource3f, LPALSOURCE3F)                                                                                 \
    X(alSourcefv, LPALSOURCEFV)                                                                                 \
    X(alGetSourcei, LPALGETSOURCEI)                                                                             \
    X(alGetSourcef, LPALGETSOURCEF)                                                                             \
    X(alGetSourcefv, LPALGETSOURCEFV)                                                                           \
    X(alSourcePlayv, LPALSOURCEPLAYV)                                                                           \
    X(alSourceStopv, LPALSOURCESTOPV)                                                                           \
    X(alSourcePlay, LPALSOURCEPLAY)                                                                             \
    X(alSourcePause, LPALSOURCEPAUSE)                                                                           \
    X(alSourceStop, LPALSOURCESTOP)                                                                             \
    X(alGenBuffers, LPALGENBUFFERS)                                                                             \
    X(alDeleteBuffers, LPALDELETEBUFFERS)                                                                       \
    X(alIsBuffer, LPALISBUFFER)                                                                                 \
    X(alBufferData, LPALBUFFERDATA)                                                                             \
    X(alGetBufferi, LPALGETBUFFERI)                                                                             \
    X(alGetBufferf, LPALGETBUFFERF)                                                                             \
    X(alSourceQueueBuffers, LPALSOURCEQUEUEBUFFERS)                                                             \
    X(alSourceUnqueueBuffers, LPALSOURCEUNQUEUEBUFFERS)                                                         \
    X(alDistanceModel, LPALDISTANCEMODEL)                                                                       \
    X(alDopplerFactor, LPALDOPPLERFACTOR)                                                                       \
    X(alDopplerVelocity, LPALDOPPLERVELOCITY)                                                                   \
    X(alcGetString, LPALCGETSTRING)                                                                             \
    X(alcGetIntegerv, LPALCGETINTEGERV)                                                                         \
    X(alcOpenDevice, LPALCOPENDEVICE)                                                                           \
    X(alcCloseDevice, LPALCCLOSEDEVICE)                                                                         \
    X(alcCreateContext, LPALCCREATECONTEXT)                                                                     \
    X(alcMakeContextCurrent, LPALCMAKECONTEXTCURRENT)                                                           \
    X(alcProcessContext, LPALCPROCESSCONTEXT)                                                                   \
    X(alcGetCurrentContext, LPALCGETCURRENTCONTEXT)                                                             \
    X(alcGetContextsDevice, LPALCGETCONTEXTSDEVICE)                                                             \
    X(alcSuspendContext, LPALCSUSPENDCONTEXT)                                                                   \
    X(alcDestroyContext, LPALCDESTROYCONTEXT)                                                                   \
    X(alcGetError, LPALCGETERROR)                                                                               \
    X(alcIsExtensionPresent, LPALCISEXTENSIONPRESENT)                                                           \
    X(alcGetProcAddress, LPALCGETPROCADDRESS)                                                                   \
    X(alcGetEnumValue, LPALCGETENUMVALUE)

struct sOpenALBinding {
#define VELMORA_OPENAL_POINTER(name, type) type name = nullptr;
    VELMORA_OPENAL_ENTRY_POINTS(VELMORA_OPENAL_POINTER)
#undef VELMORA_OPENAL_POINTER
};

// The libraries the platform tries, in order, when LoadOpenAL gets no path: a list ended by null
// (openal/posix, openal/win32).
const char* const* GetDefaultOpenALLibraries();

// Loads the library (null: the first of GetDefaultOpenALLibraries that loads) and resolves every entry point in
// list order. False, with the library freed and the binding cleared, at the first name that is missing. While
// the library is loaded, further calls only count a user.
bool LoadOpenAL(const char* path);
// Drops one user; the last frees the library and clears the binding.
void UnloadOpenAL();
// True while the library is loaded.
bool IsOpenALLoaded();
// The entry points; all null while the library is not loaded.
const sOpenALBinding& GetOpenAL();

} // namespace velmora::sound

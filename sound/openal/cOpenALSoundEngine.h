#pragma once
// The OpenAL sound engine: one device, one context, the listener. The OpenAL
// library must be loaded (LoadOpenAL) before construction; the engine takes
// over that use of the library and frees it when destroyed.

#include "sound/cCommonSoundEngine.h"
#include "sound/openal/OpenALBinding.h"

namespace velmora::sound {

class cOpenALSoundEngine : public cCommonSoundEngine {
public:
    cOpenALSoundEngine() = default;
    // Deletes the sources, detaches and destroys the context, closes the device and frees the library.
    ~cOpenALSoundEngine() override;

    // Opens the default device, creates and selects a context, resets the listener and logs the driver strings.
    // Raises cException when the device or the context cannot be had.
    void Create();

    void SetVolume(float volume) override;
    void SetListenerPosition(const cVector3& position) override;
    void SetListenerOrientation(const cVector3& forward, const cVector3& up) override;

protected:
    cCommonSoundSource* NewSource(const std::string& name) override;
    void LoadSource(cCommonSoundSource* source, const std::string& name, int mode) override;

private:
    // Raises the device's pending error, if any.
    void CheckALCError();

    ALCdevice* m_Device = nullptr;
    ALCcontext* m_Context = nullptr;
};

} // namespace velmora::sound

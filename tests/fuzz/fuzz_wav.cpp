// WAV files through the decoder.
#include "fuzz/FuzzSupport.h"
#include "sound/cWaveDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    fuzz::cInputFile file(data, size);
    sound::cWaveDecoder decoder;
    if (decoder.Decode(*file.Get())) {
        // What the sound source hands the device: whole frames.
        if (decoder.GetSamples().size() % static_cast<std::size_t>(decoder.GetFrameSize()) != 0) __builtin_trap();
    }
    return 0;
}

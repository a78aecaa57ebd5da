#pragma once
// Reads RIFF WAVE files of integer PCM samples: 8 bits (unsigned) or 16 bits
// (signed little-endian), one or two channels, with the format tag 1 or the
// extensible tag carrying the PCM sub-format. Chunks are walked by their
// sizes, so files with extra chunks (LIST, fact, ...) read as well as the
// canonical 44-byte layout. Anything else is refused with a reason.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/filesystem/IFile.h"
#include "engine/core/PrintfFormat.h"

namespace velmora::sound {

class cWaveDecoder {
public:
    // Reads the whole file from its current position, which must be its start (a file just opened). False on
    // failure; GetError then says why ("not RIFF", "not WAVE", "chunk 'data' of 800 bytes runs past the end of
    // the file", ...). Never reads more than the file holds.
    bool Decode(IFile& file);

    // Why the last Decode failed; empty after success.
    const std::string& GetError() const { return m_Error; }
    // Channel count: 1 or 2.
    int GetChannels() const { return m_Channels; }
    // Bits per sample: 8 or 16.
    int GetBitsPerSample() const { return m_Bits; }
    // Sample frames per second.
    std::uint32_t GetSampleRate() const { return m_SampleRate; }
    // Bytes of one sample frame (all channels).
    int GetFrameSize() const { return m_Channels * m_Bits / 8; }
    // The samples as stored in the file, cut to whole frames.
    const std::vector<std::uint8_t>& GetSamples() const { return m_Samples; }
    // Hands the samples over, leaving the decoder empty.
    std::vector<std::uint8_t> TakeSamples() { return std::move(m_Samples); }

private:
    bool Fail(const char* format, ...)
#if defined(__GNUC__)
        VELMORA_PRINTF_FORMAT(2, 3)
#endif
        ;
    bool ReadFormat(IFile& file, std::uint32_t size);

    std::string m_Error;
    int m_FormatTag = 0;
    int m_Channels = 0;
    int m_Bits = 0;
    int m_BlockAlign = 0;
    std::uint32_t m_SampleRate = 0;
    std::vector<std::uint8_t> m_Samples;
};

} // namespace velmora::sound

#pragma once
// The run-length code of font atlases: a byte stream in which the marker
// byte introduces a run of 6 bytes (marker, 32-bit little-endian count,
// value) standing for count copies of value; every other byte stands for
// itself.

#include <cstdint>
#include <vector>

namespace velmora::video {

// The compression information kept beside coded data: the marker (low byte
// used), the size of the decoded data and the size of the coded data.
struct sCompressionInfo {
    std::uint32_t marker = 0;
    std::uint32_t decompressedSize = 0;
    std::uint32_t compressedSize = 0;
};

class cRunLengthEncoder {
public:
    // Decodes info.compressedSize bytes of source into out, which gets exactly
    // info.decompressedSize bytes (zero where the coded data ends early).
    // Output never goes beyond the decompressed size; a run cut off by the end
    // of the coded data ends decoding. Raises on a null source, on sizes of 0
    // and when the output cannot be allocated.
    static void Decompress(const std::uint8_t* source, const sCompressionInfo& info, std::vector<std::uint8_t>& out);
};

} // namespace velmora::video

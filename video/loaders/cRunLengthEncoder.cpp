#include "video/loaders/cRunLengthEncoder.h"

#include <algorithm>
#include <new>

#include "engine/core/cException.h"

namespace velmora::video {

void cRunLengthEncoder::Decompress(const std::uint8_t* source, const sCompressionInfo& info,
                                   std::vector<std::uint8_t>& out) {
    if (!source) RaiseError("cRunLengthEncoder::Decompress : NULL-pointer to source or destination buffer");
    if (info.compressedSize == 0 || info.decompressedSize == 0) {
        RaiseError("cRunLengthEncoder::Compress : invalid compression info");
    }
    try {
        out.assign(info.decompressedSize, 0);
    } catch (const std::bad_alloc&) {
        RaiseError("cRunLengthEncoder::Decompress : failed to allocate %u bytes for decompressed buffer",
                   info.decompressedSize);
    }
    const std::uint8_t marker = static_cast<std::uint8_t>(info.marker & 0xFFu);
    const std::size_t inSize = info.compressedSize;
    const std::size_t outSize = info.decompressedSize;
    std::size_t in = 0;
    std::size_t written = 0;
    while (in < inSize && written < outSize) {
        const std::uint8_t byte = source[in];
        if (byte != marker) {
            out[written++] = byte;
            ++in;
            continue;
        }
        if (inSize - in < 6) break;  // a run cut off by the end of the data
        const std::uint32_t count = static_cast<std::uint32_t>(source[in + 1]) |
                                    static_cast<std::uint32_t>(source[in + 2]) << 8 |
                                    static_cast<std::uint32_t>(source[in + 3]) << 16 |
                                    static_cast<std::uint32_t>(source[in + 4]) << 24;
        const std::size_t copies = std::min<std::size_t>(count, outSize - written);
        std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(written), copies, source[in + 5]);
        written += copies;
        in += 6;
    }
}

} // namespace velmora::video

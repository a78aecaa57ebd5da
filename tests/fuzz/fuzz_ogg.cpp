// Ogg Vorbis files through the decoder as a looping stream plays them: open, decode to the end, rewind,
// decode again, then looping decodes that run over the end twice.
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "sound/cOggDecoder.h"

namespace {

// Decodes until the stream gives nothing, at most `limit` bytes (damaged headers can claim hours of sound).
// With loop, goes on over the end of the stream. Returns the byte count.
std::size_t Decode(velmora::sound::cOggDecoder& decoder, std::vector<char>& buffer, std::size_t limit, bool loop) {
    std::size_t total = 0;
    while (total < limit) {
        const std::int32_t got = decoder.Decode(buffer.data(), static_cast<std::int32_t>(buffer.size()), loop);
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    constexpr std::size_t kLimit = 4 << 20;
    fuzz::Folder().Write("in.ogg", data, size);
    sound::cOggDecoder decoder;
    if (decoder.Open(fuzz::Folder().Files(), "in.ogg") != sound::cOggDecoder::OGG_OPENED) return 0;
    std::vector<char> buffer(16384);
    decoder.GetTotalFrames();
    const std::size_t once = Decode(decoder, buffer, kLimit, false);
    if (!decoder.Rewind()) return 0;
    Decode(decoder, buffer, kLimit, false);
    // A looping stream: every decode that meets the end rewinds by itself and fills the buffer on; twice round.
    if (decoder.Rewind()) Decode(decoder, buffer, 2 * once + buffer.size(), true);
    return 0;
}

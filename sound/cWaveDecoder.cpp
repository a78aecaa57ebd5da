#include "sound/cWaveDecoder.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace velmora::sound {

namespace {

constexpr int kTagPCM = 1;
constexpr int kTagExtensible = 0xFFFE;
// The tail of the extensible sub-format GUID that follows the format tag.
constexpr std::uint8_t kSubFormatSuffix[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                               0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t Le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

// Printable form of a chunk tag for messages.
std::string TagText(const std::uint8_t* tag) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(tag[i]);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

// Moves forward by count bytes; false when the file refuses.
bool Skip(IFile& file, std::uint32_t count) {
    return count == 0 || file.Seek(static_cast<std::int32_t>(count), SEEK_FROM_CURRENT) == 0;
}

} // namespace

bool cWaveDecoder::Fail(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    m_Error = text;
    m_Samples.clear();
    return false;
}

bool cWaveDecoder::ReadFormat(IFile& file, std::uint32_t size) {
    if (size < 16) {
        return Fail("format chunk of %u bytes is too short", size);
    }
    std::uint8_t fmt[40] = {};
    const std::uint32_t wanted = size < sizeof(fmt) ? size : sizeof(fmt);
    if (file.Read(fmt, 1, static_cast<std::int32_t>(wanted)) != static_cast<std::int32_t>(wanted) ||
        !Skip(file, size - wanted)) {
        return Fail("format chunk is truncated");
    }
    m_FormatTag = Le16(fmt);
    m_Channels = Le16(fmt + 2);
    m_SampleRate = Le32(fmt + 4);
    m_BlockAlign = Le16(fmt + 12);
    m_Bits = Le16(fmt + 14);
    if (m_FormatTag == kTagExtensible && wanted >= 40 && std::memcmp(fmt + 26, kSubFormatSuffix, 14) == 0) {
        m_FormatTag = Le16(fmt + 24);
    }
    return true;
}

bool cWaveDecoder::Decode(IFile& file) {
    m_Error.clear();
    m_Samples.clear();
    m_FormatTag = m_Channels = m_Bits = m_BlockAlign = 0;
    m_SampleRate = 0;

    const std::int64_t fileSize = file.GetSize();
    std::uint8_t header[12] = {};
    const std::int32_t got = file.Read(header, 1, 12);
    if (got < 4 || std::memcmp(header, "RIFF", 4) != 0) {
        return Fail("not RIFF");
    }
    if (got < 12 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        return Fail("not WAVE");
    }
    // The chunks end where the RIFF header says, which must lie inside the file.
    // A writer that counted a final pad byte without writing it is let through.
    std::int64_t riffEnd = 8 + std::int64_t(Le32(header + 4));
    if (riffEnd > fileSize + 1) {
        return Fail("RIFF size %u runs past the end of the file (%lld bytes)", Le32(header + 4),
                    static_cast<long long>(fileSize));
    }
    if (riffEnd > fileSize) {
        riffEnd = fileSize;
    }

    bool haveFormat = false;
    bool haveData = false;
    std::int64_t pos = 12;
    while (pos + 8 <= riffEnd && !(haveFormat && haveData)) {
        std::uint8_t chunk[8];
        if (file.Read(chunk, 1, 8) != 8) {
            return Fail("chunk header at %lld is truncated", static_cast<long long>(pos));
        }
        const std::uint32_t size = Le32(chunk + 4);
        pos += 8;
        if (pos + size > riffEnd) {
            return Fail("chunk '%s' of %u bytes runs past the end of the file", TagText(chunk).c_str(), size);
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            if (!ReadFormat(file, size)) {
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
            try {
                m_Samples.resize(size);
            } catch (const std::bad_alloc&) {
                return Fail("out of memory for %u bytes of samples", size);
            }
            if (size > 0 && file.Read(m_Samples.data(), 1, static_cast<std::int32_t>(size)) !=
                                static_cast<std::int32_t>(size)) {
                return Fail("data chunk is truncated");
            }
            haveData = true;
        } else if (!Skip(file, size)) {
            return Fail("chunk '%s' is truncated", TagText(chunk).c_str());
        }
        pos += size;
        // Chunks start on even offsets; the pad byte may be missing at the very end.
        if ((size & 1) && pos < riffEnd) {
            if (!Skip(file, 1)) {
                return Fail("chunk '%s' is truncated", TagText(chunk).c_str());
            }
            ++pos;
        }
    }
    if (!haveFormat) {
        return Fail("no format chunk");
    }
    if (!haveData) {
        return Fail("no data chunk");
    }
    const bool supported = m_FormatTag == kTagPCM && (m_Channels == 1 || m_Channels == 2) &&
                           (m_Bits == 8 || m_Bits == 16) && m_BlockAlign == GetFrameSize() && m_SampleRate > 0 &&
                           m_SampleRate <= 1000000;
    if (!supported) {
        return Fail("unsupported format (tag %d, %d channels, %d bits, %u Hz, block %d)", m_FormatTag, m_Channels,
                    m_Bits, m_SampleRate, m_BlockAlign);
    }
    m_Samples.resize(m_Samples.size() - m_Samples.size() % GetFrameSize());
    return true;
}

} // namespace velmora::sound

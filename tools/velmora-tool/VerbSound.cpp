// sound <input.wav|input.ogg> <output.wav>: decodes a sound file with the
// engine's decoders and writes it as a 16-bit PCM WAV file, so that the
// engine's decoding can be compared with other decoders.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/filesystem/FileSystemFactory.h"
#include "sound/cOggDecoder.h"
#include "sound/cWaveDecoder.h"
#include "tools/velmora-tool/ToolOutput.h"
#include "tools/velmora-tool/Verbs.h"

namespace velmora::tool {

namespace {

struct sDecoded {
    int channels = 0;
    std::uint32_t rate = 0;
    std::vector<std::uint8_t> pcm; // 16-bit signed little-endian
};

bool EndsWith(const std::string& text, const char* ending) {
    const std::string tail(ending);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool DecodeWave(IFileSystem& fileSystem, const char* name, sDecoded& out) {
    IFile* file = fileSystem.OpenFile(name);
    if (!file) {
        return false;
    }
    sound::cWaveDecoder decoder;
    const bool decoded = decoder.Decode(*file);
    file->Release();
    if (!decoded) {
        std::fprintf(stderr, "velmora-tool sound: '%s', %s\n", name, decoder.GetError().c_str());
        return false;
    }
    out.channels = decoder.GetChannels();
    out.rate = decoder.GetSampleRate();
    out.pcm = decoder.TakeSamples();
    if (decoder.GetBitsPerSample() == 8) {
        // Unsigned 8-bit samples widen to the top byte of signed 16-bit ones.
        std::vector<std::uint8_t> wide(out.pcm.size() * 2);
        for (std::size_t i = 0; i < out.pcm.size(); ++i) {
            wide[2 * i] = 0;
            wide[2 * i + 1] = static_cast<std::uint8_t>(out.pcm[i] ^ 0x80);
        }
        out.pcm.swap(wide);
    }
    return true;
}

bool DecodeOgg(IFileSystem& fileSystem, const char* name, sDecoded& out) {
    sound::cOggDecoder decoder;
    switch (decoder.Open(fileSystem, name)) {
    case sound::cOggDecoder::OGG_OPENED: break;
    case sound::cOggDecoder::OGG_NO_FILE: return false;
    case sound::cOggDecoder::OGG_NOT_VORBIS:
        std::fprintf(stderr, "velmora-tool sound: '%s' is not an Ogg Vorbis stream\n", name);
        return false;
    case sound::cOggDecoder::OGG_BAD_FORMAT:
        std::fprintf(stderr, "velmora-tool sound: '%s', only mono or stereo streams of one rate are supported\n",
                     name);
        return false;
    }
    out.channels = decoder.GetChannels();
    out.rate = static_cast<std::uint32_t>(decoder.GetSampleRate());
    constexpr std::int32_t kStep = 1 << 16;
    for (;;) {
        const std::size_t filled = out.pcm.size();
        out.pcm.resize(filled + kStep);
        const std::int32_t got = decoder.Decode(out.pcm.data() + filled, kStep, false);
        out.pcm.resize(filled + (got > 0 ? got : 0));
        if (got <= 0) {
            return true;
        }
    }
}

void PutLe(std::string& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
}

bool WriteWave(IFileSystem& fileSystem, const char* path, const sDecoded& sound) {
    const std::uint32_t dataSize = static_cast<std::uint32_t>(sound.pcm.size());
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(sound.channels) * 2;
    std::string header = "RIFF";
    PutLe(header, 36 + dataSize, 4);
    header += "WAVEfmt ";
    PutLe(header, 16, 4);
    PutLe(header, 1, 2);
    PutLe(header, static_cast<std::uint32_t>(sound.channels), 2);
    PutLe(header, sound.rate, 4);
    PutLe(header, sound.rate * blockAlign, 4);
    PutLe(header, blockAlign, 2);
    PutLe(header, 16, 2);
    header += "data";
    PutLe(header, dataSize, 4);

    IFile* file = fileSystem.OpenFile(path, "wb");
    if (!file) {
        return false;
    }
    const std::int32_t size = static_cast<std::int32_t>(header.size());
    bool written = file->Write(header.data(), 1, size) == size;
    if (written && dataSize > 0) {
        written = file->Write(sound.pcm.data(), 1, static_cast<std::int32_t>(dataSize)) ==
                  static_cast<std::int32_t>(dataSize);
    }
    written = file->Flush() == 0 && written;
    file->Release();
    return written;
}

} // namespace

int RunSound(int argc, char** argv) {
    if (argc != 2) {
        return PrintVerbUsage(*FindVerb("sound"));
    }
    // Standard output stays free of log lines, as for every verb.
    if (!TakeStandardOutput()) {
        std::perror("velmora-tool sound");
        return 1;
    }
    const std::string input = argv[0];
    if (!EndsWith(input, ".wav") && !EndsWith(input, ".ogg")) {
        std::fprintf(stderr, "velmora-tool sound: '%s' is neither a .wav nor an .ogg file\n", argv[0]);
        return 2;
    }
    cPlatformFileSystem fileSystem;
    sDecoded sound;
    const bool decoded = EndsWith(input, ".wav") ? DecodeWave(fileSystem, argv[0], sound)
                                                 : DecodeOgg(fileSystem, argv[0], sound);
    if (!decoded) {
        std::fprintf(stderr, "velmora-tool sound: cannot decode '%s'\n", argv[0]);
        return 1;
    }
    if (sound.pcm.size() > 0xFFFFFFFFull - 36) {
        std::fprintf(stderr, "velmora-tool sound: '%s' is too long for a WAV file\n", argv[0]);
        return 1;
    }
    if (!WriteWave(fileSystem, argv[1], sound)) {
        std::fprintf(stderr, "velmora-tool sound: cannot write '%s'\n", argv[1]);
        return 1;
    }
    std::fprintf(stderr, "%s: %d channel(s), %u Hz, %zu frames\n", argv[0], sound.channels, sound.rate,
                 sound.pcm.size() / (static_cast<std::size_t>(sound.channels) * 2));
    return 0;
}

} // namespace velmora::tool

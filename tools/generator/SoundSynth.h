#pragma once
// Island sounds made from noise and oscillators, and their files: Ogg Vorbis
// (through libvorbisenc, with a fixed stream serial so the bytes repeat) and
// canonical 44-byte-header RIFF WAVE.

#include <cstdint>
#include <vector>

namespace brevonne {

struct sSound {
    int rate = 22050;
    int channels = 1;
    std::vector<float> samples; // interleaved, -1..1
};

// Surf rolling onto a beach: stereo, loops without a seam.
sSound SynthesizeSurf(std::uint32_t seed, float seconds);
// Wind in palm fronds: gusts and rustling, loops without a seam.
sSound SynthesizeWind(std::uint32_t seed, float seconds);
// A few tropical bird calls.
sSound SynthesizeBirds(std::uint32_t seed, float seconds);

// Ogg Vorbis file at the given quality (-0.1 .. 1.0).
std::vector<std::uint8_t> EncodeOggVorbis(const sSound& sound, float quality, int serial);
// 16-bit PCM RIFF WAVE with the canonical 44-byte header.
std::vector<std::uint8_t> EncodeWave(const sSound& sound);

} // namespace brevonne

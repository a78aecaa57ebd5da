#include "tools/generator/SoundSynth.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <vorbis/vorbisenc.h>

#include "tools/generator/ImageFiles.h"
#include "tools/generator/cRandom.h"

namespace brevonne {

namespace {
constexpr float kTwoPi = 6.2831853f;

// A state-variable band-pass filter.
struct sBandPass {
    float low = 0, band = 0;
    float Run(float in, float f, float q)
    {
        low += f * band;
        float high = in - low - q * band;
        band += f * high;
        return band;
    }
};

// Blends the last `fade` samples into the first ones so the sound loops without a click.
void MakeLoop(std::vector<float>& s, int channels, int fadeFrames)
{
    int frames = static_cast<int>(s.size()) / channels - fadeFrames;
    std::vector<float> out(static_cast<std::size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            float v = s[static_cast<std::size_t>(i) * channels + c];
            if (i < fadeFrames) {
                float t = static_cast<float>(i) / fadeFrames;
                float tail = s[static_cast<std::size_t>(frames + i) * channels + c];
                v = v * std::sqrt(t) + tail * std::sqrt(1.0f - t);
            }
            out[static_cast<std::size_t>(i) * channels + c] = v;
        }
    s.swap(out);
}

void Normalize(std::vector<float>& s, float peak)
{
    float m = 1e-6f;
    for (float v : s)
        m = std::max(m, std::fabs(v));
    for (float& v : s)
        v *= peak / m;
}

} // namespace

sSound SynthesizeSurf(std::uint32_t seed, float seconds)
{
    cRandom rnd(seed, 101);
    sSound snd;
    snd.rate = 22050;
    snd.channels = 2;
    int fade = snd.rate * 2;
    int frames = static_cast<int>(seconds * snd.rate) + fade;
    snd.samples.resize(static_cast<std::size_t>(frames) * 2);
    float brown[2] = {0, 0}, lp[2] = {0, 0}, hiss[2] = {0, 0};
    // Waves arrive every few seconds; each builds, breaks and washes out.
    std::vector<float> waveStart;
    for (float t = 0.3f; t < seconds + 2.0f; t += rnd.Range(3.6f, 5.2f))
        waveStart.push_back(t);
    for (int i = 0; i < frames; ++i) {
        float t = static_cast<float>(i) / snd.rate;
        float env = 0.15f;
        float wash = 0.0f;
        for (float w : waveStart) {
            float d = t - w;
            if (d < -1.5f || d > 6.0f)
                continue;
            float rise = d < 0 ? std::exp(-d * d * 2.0f) : 1.0f;
            float decay = d < 0 ? 1.0f : std::exp(-d * 0.9f);
            env += 0.85f * rise * decay;
            if (d > 0.2f)
                wash += 0.5f * std::exp(-(d - 0.2f) * 0.7f) * (1.0f - std::exp(-(d - 0.2f) * 4.0f));
        }
        for (int c = 0; c < 2; ++c) {
            float white = rnd.Range(-1.0f, 1.0f);
            brown[c] = brown[c] * 0.985f + white * 0.06f;
            lp[c] += 0.25f * (white - lp[c]);
            hiss[c] = white - lp[c];
            float v = brown[c] * env * 1.6f + lp[c] * env * 0.5f + hiss[c] * wash * 0.35f;
            snd.samples[static_cast<std::size_t>(i) * 2 + c] = v;
        }
    }
    MakeLoop(snd.samples, 2, fade);
    Normalize(snd.samples, 0.8f);
    return snd;
}

sSound SynthesizeWind(std::uint32_t seed, float seconds)
{
    cRandom rnd(seed, 103);
    sSound snd;
    snd.rate = 22050;
    snd.channels = 1;
    int fade = snd.rate;
    int frames = static_cast<int>(seconds * snd.rate) + fade;
    snd.samples.resize(static_cast<std::size_t>(frames));
    sBandPass howl, rustle;
    float gust = 0.5f, gustTarget = 0.5f;
    for (int i = 0; i < frames; ++i) {
        if (i % 4410 == 0)
            gustTarget = rnd.Range(0.25f, 1.0f);
        gust += (gustTarget - gust) * 0.00008f;
        float white = rnd.Range(-1.0f, 1.0f);
        float h = howl.Run(white, 0.035f + 0.02f * gust, 0.25f);
        // Fronds clattering: sparse clicks through a bright band.
        float click = rnd.Uniform() < 0.004f * gust ? rnd.Range(-1.0f, 1.0f) : 0.0f;
        float r = rustle.Run(white * 0.25f * gust + click * 3.0f, 0.45f, 0.6f);
        snd.samples[static_cast<std::size_t>(i)] = h * gust * 1.2f + r * 0.35f;
    }
    MakeLoop(snd.samples, 1, fade);
    Normalize(snd.samples, 0.7f);
    return snd;
}

sSound SynthesizeBirds(std::uint32_t seed, float seconds)
{
    cRandom rnd(seed, 107);
    sSound snd;
    snd.rate = 22050;
    snd.channels = 1;
    int frames = static_cast<int>(seconds * snd.rate);
    snd.samples.assign(static_cast<std::size_t>(frames), 0.0f);
    float t0 = 0.2f;
    while (t0 < seconds - 0.6f) {
        int notes = 2 + static_cast<int>(rnd.Below(4));
        float base = rnd.Range(2200.0f, 3600.0f);
        for (int n = 0; n < notes && t0 < seconds - 0.4f; ++n) {
            float len = rnd.Range(0.07f, 0.16f);
            float sweep = rnd.Range(-0.45f, 0.6f);
            float phase = 0.0f;
            int start = static_cast<int>(t0 * snd.rate), count = static_cast<int>(len * snd.rate);
            for (int i = 0; i < count && start + i < frames; ++i) {
                float s = static_cast<float>(i) / count;
                float f = base * (1.0f + sweep * s) * (1.0f + 0.03f * std::sin(kTwoPi * 38.0f * s * len));
                phase += kTwoPi * f / snd.rate;
                float env = std::sin(3.14159f * s);
                env *= env;
                snd.samples[static_cast<std::size_t>(start + i)] += env * (std::sin(phase) + 0.25f * std::sin(2.0f * phase));
            }
            t0 += len + rnd.Range(0.03f, 0.09f);
        }
        t0 += rnd.Range(0.6f, 1.6f);
    }
    Normalize(snd.samples, 0.6f);
    return snd;
}

std::vector<std::uint8_t> EncodeOggVorbis(const sSound& sound, float quality, int serial)
{
    std::vector<std::uint8_t> out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, sound.channels, sound.rate, quality) != 0) {
        vorbis_info_clear(&vi);
        return out;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "ENCODER", "brevonne-generate");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);
    ogg_packet header, comm, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comm, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comm);
    ogg_stream_packetin(&os, &code);
    ogg_page og;
    auto emit = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    while (ogg_stream_flush(&os, &og) != 0)
        emit(og);

    const int frames = static_cast<int>(sound.samples.size()) / sound.channels;
    const int chunk = 1024;
    for (int pos = 0; pos <= frames; pos += chunk) {
        int n = std::min(chunk, frames - pos);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < sound.channels; ++c)
                    buffer[c][i] = sound.samples[static_cast<std::size_t>(pos + i) * sound.channels + c];
            vorbis_analysis_wrote(&vd, n);
        } else {
            vorbis_analysis_wrote(&vd, 0); // end of stream
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og) != 0)
                    emit(og);
            }
        }
        if (n <= 0)
            break;
    }
    while (ogg_stream_flush(&os, &og) != 0)
        emit(og);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

std::vector<std::uint8_t> EncodeWave(const sSound& sound)
{
    std::vector<std::uint8_t> out;
    std::uint32_t dataSize = static_cast<std::uint32_t>(sound.samples.size() * 2);
    PutBytes(out, "RIFF", 4);
    PutU32(out, 36 + dataSize);
    PutBytes(out, "WAVE", 4);
    PutBytes(out, "fmt ", 4);
    PutU32(out, 16);
    PutU16(out, 1); // PCM
    PutU16(out, static_cast<std::uint16_t>(sound.channels));
    PutU32(out, static_cast<std::uint32_t>(sound.rate));
    PutU32(out, static_cast<std::uint32_t>(sound.rate * sound.channels * 2));
    PutU16(out, static_cast<std::uint16_t>(sound.channels * 2));
    PutU16(out, 16);
    PutBytes(out, "data", 4);
    PutU32(out, dataSize);
    for (float v : sound.samples)
        PutU16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(std::max(-1.0f, std::min(1.0f, v)) * 32767.0f))));
    return out;
}

} // namespace brevonne

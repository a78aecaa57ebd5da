// The OpenAL engine and its sources, played through OpenAL Soft's wave-file
// writer so that the output can be measured: panning, master volume,
// streaming to the end and looping, sharing by name, damaged files.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "SoundTestSupport.h"
#include "engine/core/cException.h"
#include "sound/ISoundEngine.h"
#include "sound/cCommonSoundEngine.h"
#include "sound/cCommonSoundSource.h"
#include "sound/openal/OpenALBinding.h"

using namespace velmora;
using namespace velmora::sound;
using namespace velmora::sound::test;

namespace {

constexpr int kFrameMs = 16;
// Output louder than this counts as sound.
constexpr int kThreshold = 300;
// Silence of this many frames separates two bursts.
constexpr std::size_t kBurstGap = 2000;

class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTool("sox") || !HaveTool("oggenc")) {
            GTEST_SKIP() << "sox and oggenc (packages sox, vorbis-tools) are needed to make the test sounds";
        }
        // 0.25 s of 441 Hz, and 1 s of it for streaming (a whole number of
        // periods, so a seamless loop is a continuous sine).
        ASSERT_TRUE(scratch.Run("sox -n -r 44100 -b 16 -e signed -c 1 tone.wav synth 0.25 sine 441 gain -3"));
        ASSERT_TRUE(scratch.Run("sox -n -r 44100 -b 16 -e signed -c 1 stream.wav synth 1.0 sine 441 gain -3 && "
                                "oggenc -Q -q 6 stream.wav -o stream.ogg"));

        UseWaveWriter();
        std::remove(WaveWriterOutput().c_str());
        try {
            engine = CreateSoundEngine();
        } catch (const cException& e) {
            GTEST_SKIP() << "OpenAL Soft could not open its wave-file device: " << e.GetText();
        }
        if (!engine) {
            GTEST_SKIP() << "libopenal.so.1 (package libopenal1) could not be loaded: the engine runs silent";
        }
    }

    void TearDown() override {
        if (engine) {
            engine->Release();
        }
    }

    cCommonSoundEngine& Common() { return dynamic_cast<cCommonSoundEngine&>(*engine); }

    // Runs the frame loop's sound update for the given time.
    void RunFrames(int milliseconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            engine->Update();
            SleepMs(kFrameMs);
        }
    }

    // Plays the source and runs frames until it stops by itself; false on timeout.
    bool PlayToEnd(ISoundSource* source, int timeoutMs) {
        source->Play();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            engine->Update();
            if (!source->IsPlaying()) {
                RunFrames(120);
                return true;
            }
            SleepMs(kFrameMs);
        }
        return false;
    }

    // Closes the device and returns everything it played.
    sPcm Finish() {
        engine->Release();
        engine = nullptr;
        sPcm pcm = ReadWaveWriterOutput();
        EXPECT_EQ(pcm.channels, 2) << "the wave writer left no stereo output in " << WaveWriterOutput();
        return pcm;
    }

    cSoundScratch scratch;
    ISoundEngine* engine = nullptr;
};

} // namespace

TEST_F(SoundEngineTest, SourcesSoundFromTheirSideOfTheListener) {
    ISoundSource* source = engine->CreateSource("tone.wav", SOUND_MODE_STREAM);
    ASSERT_NE(source, nullptr);
    source->SetVolume(1.0f);

    source->SetPosition(cVector3(2.0f, 0.0f, 0.0f));
    ASSERT_TRUE(PlayToEnd(source, 2000));
    source->SetPosition(cVector3(-2.0f, 0.0f, 0.0f));
    ASSERT_TRUE(PlayToEnd(source, 2000));
    // Turned round (facing +z), the listener has +x on its left.
    engine->SetListenerOrientation(cVector3(0.0f, 0.0f, 1.0f), cVector3(0.0f, 1.0f, 0.0f));
    source->SetPosition(cVector3(2.0f, 0.0f, 0.0f));
    ASSERT_TRUE(PlayToEnd(source, 2000));
    source->Release();

    const sPcm pcm = Finish();
    const std::vector<sBurst> bursts = FindBursts(pcm, kThreshold, kBurstGap);
    ASSERT_EQ(bursts.size(), 3u);
    const int left = 0, right = 1;
    EXPECT_GT(Peak(pcm, bursts[0], right), 4 * Peak(pcm, bursts[0], left)) << "source at +x";
    EXPECT_GT(Peak(pcm, bursts[1], left), 4 * Peak(pcm, bursts[1], right)) << "source at -x";
    EXPECT_GT(Peak(pcm, bursts[2], left), 4 * Peak(pcm, bursts[2], right)) << "source at +x, listener turned";
    for (const sBurst& burst : bursts) {
        EXPECT_NEAR(double(burst.Length()), 0.25 * 44100, 0.25 * 44100 * 0.02);
    }
}

TEST_F(SoundEngineTest, MasterVolumeScalesTheOutput) {
    ISoundSource* source = engine->CreateSource("tone.wav", SOUND_MODE_STREAM);
    ASSERT_NE(source, nullptr);
    source->SetVolume(1.0f);
    source->SetRelative(true);

    EXPECT_FLOAT_EQ(engine->GetVolume(), 1.0f);
    ASSERT_TRUE(PlayToEnd(source, 2000));
    engine->SetVolume(0.5f);
    EXPECT_FLOAT_EQ(engine->GetVolume(), 0.5f);
    ASSERT_TRUE(PlayToEnd(source, 2000));
    engine->SetMasterVolume(0.0f);
    EXPECT_FLOAT_EQ(engine->GetMasterVolume(), 0.0f);
    ASSERT_TRUE(PlayToEnd(source, 2000));
    source->Release();

    const sPcm pcm = Finish();
    const std::vector<sBurst> bursts = FindBursts(pcm, kThreshold, kBurstGap);
    ASSERT_EQ(bursts.size(), 2u) << "the third play at volume 0 must be silent";
    for (int channel : {0, 1}) {
        const double full = Peak(pcm, bursts[0], channel);
        const double half = Peak(pcm, bursts[1], channel);
        EXPECT_GT(full, 5000.0);
        EXPECT_NEAR(half / full, 0.5, 0.03) << "channel " << channel;
    }
}

TEST_F(SoundEngineTest, StreamedOggPlaysToItsEndAndAgainFromTheStart) {
    ISoundSource* stream = engine->CreateSource("stream.ogg", SOUND_MODE_STREAM);
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(stream->IsStreaming());
    EXPECT_TRUE(stream->IsStopped());
    stream->SetVolume(1.0f);
    stream->SetRelative(true);

    ASSERT_TRUE(PlayToEnd(stream, 4000)) << "a stream without looping must stop at its end";
    EXPECT_TRUE(stream->IsStopped());
    ASSERT_TRUE(PlayToEnd(stream, 4000));
    // Stopped half-way, it starts from the beginning too.
    stream->Play();
    RunFrames(300);
    stream->Stop();
    RunFrames(150);
    EXPECT_TRUE(stream->IsStopped());
    ASSERT_TRUE(PlayToEnd(stream, 4000));
    stream->Release();

    ISoundSource* whole = engine->CreateSource("stream.ogg", SOUND_MODE_WHOLE);
    ASSERT_NE(whole, nullptr);
    EXPECT_FALSE(whole->IsStreaming());
    whole->SetVolume(1.0f);
    whole->SetRelative(true);
    ASSERT_TRUE(PlayToEnd(whole, 4000));
    whole->Release();

    const sPcm pcm = Finish();
    const std::vector<sBurst> bursts = FindBursts(pcm, kThreshold, kBurstGap);
    ASSERT_EQ(bursts.size(), 5u);
    for (std::size_t i : {0u, 1u, 3u, 4u}) {
        EXPECT_NEAR(double(bursts[i].Length()), 44100.0, 44100.0 * 0.01) << "burst " << i << " is not the whole file";
    }
    EXPECT_NEAR(double(bursts[2].Length()), 0.3 * 44100.0, 0.1 * 44100.0) << "the stopped play";
    // The second play starts like the first.
    for (std::size_t f = 0; f < 2000; ++f) {
        ASSERT_NEAR(pcm.At(bursts[0].begin + f, 0), pcm.At(bursts[1].begin + f, 0), 2) << "frame " << f;
    }
}

TEST_F(SoundEngineTest, LoopingStreamRunsOnWithoutGaps) {
    ISoundSource* stream = engine->CreateSource("stream.ogg", SOUND_MODE_STREAM);
    ASSERT_NE(stream, nullptr);
    stream->SetVolume(1.0f);
    stream->SetRelative(true);
    stream->SetLooping(true);
    EXPECT_TRUE(stream->IsLooping());
    stream->Play();
    RunFrames(2600);
    EXPECT_TRUE(stream->IsPlaying()) << "a looping stream plays on after the end of its file";
    stream->Pause();
    EXPECT_TRUE(stream->IsPaused());
    RunFrames(200);
    stream->Play();
    RunFrames(500);
    stream->Stop();
    stream->Release();

    const sPcm pcm = Finish();
    const std::vector<sBurst> bursts = FindBursts(pcm, kThreshold, kBurstGap);
    ASSERT_EQ(bursts.size(), 2u) << "one run, a pause, and the rest";
    EXPECT_GT(bursts[0].Length(), std::size_t(2.4 * 44100));
    const int peak = Peak(pcm, bursts[0], 0);
    ASSERT_GT(peak, 5000);
    for (const sBurst& burst : bursts) {
        // A continuous 441 Hz sine changes by at most 2 * pi * 441 / 44100 of
        // its peak between frames and is near zero for a frame at a time;
        // a gap or a repeated buffer breaks either.
        EXPECT_LT(LongestQuietRun(pcm, burst, peak / 50), 8u);
        EXPECT_LT(LargestStep(pcm, burst, 0), peak * 15 / 100);
        EXPECT_LT(LargestStep(pcm, burst, 1), peak * 15 / 100);
    }
}

TEST_F(SoundEngineTest, SourcesAreSharedByNameCountedAndTunedTogether) {
    ISoundSource* first = engine->CreateSource("tone.wav", SOUND_MODE_STREAM);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(engine->CreateSource("tone.wav", SOUND_MODE_WHOLE), first) << "shared by name whatever the mode";
    EXPECT_EQ(dynamic_cast<cCommonSoundSource&>(*first).GetReferenceCount(), 2);
    first->Release();
    EXPECT_EQ(Common().FindSource("tone.wav"), first) << "one holder is left";
    first->Release();
    EXPECT_EQ(Common().GetSourceCount(), 0u);

    // Upper-case endings load nothing, yet the source is a table entry like
    // any other and leaves the table with its last reference.
    ISoundSource* unknown = engine->CreateSource("stream.OGG", SOUND_MODE_STREAM);
    ASSERT_NE(unknown, nullptr);
    EXPECT_FALSE(unknown->IsStreaming());
    unknown->Play();
    EXPECT_FALSE(unknown->IsPlaying());
    unknown->Release();
    EXPECT_EQ(Common().GetSourceCount(), 0u);

    ISoundSource* wave = engine->CreateSource("tone.wav", SOUND_MODE_STREAM);
    ISoundSource* stream = engine->CreateSource("stream.ogg", SOUND_MODE_STREAM);
    ASSERT_TRUE(wave && stream);
    wave->SetPitch(3.0f);
    EXPECT_FLOAT_EQ(wave->GetPitch(), 2.0f);
    engine->SetPitch(1.5f);
    EXPECT_FLOAT_EQ(wave->GetPitch(), 1.5f);
    EXPECT_FLOAT_EQ(stream->GetPitch(), 1.5f);
    ASSERT_TRUE(scratch.Run("cp tone.wav later.wav"));
    ISoundSource* later = engine->CreateSource("later.wav", SOUND_MODE_STREAM);
    ASSERT_NE(later, nullptr);
    EXPECT_FLOAT_EQ(later->GetPitch(), 1.0f) << "sources created afterwards start at 1.0";
    later->Release();
    // Still held when the engine goes: the engine deletes them itself.
    stream->Play();
    engine->Update();
}

TEST_F(SoundEngineTest, DamagedFilesGiveAWarningAndNoSource) {
    std::string rifx = scratch.Read("tone.wav");
    rifx[3] = 'X';
    scratch.Write("rifx.wav", rifx);
    scratch.Write("cut.wav", scratch.Read("tone.wav").substr(0, 1000));
    scratch.Write("noise.ogg", std::string(3000, 'q'));
    ASSERT_TRUE(scratch.Run("sox -n -r 8000 -e float -b 32 -c 1 float.wav synth 0.05 sine 300"));
    ASSERT_TRUE(scratch.Run("sox -n -r 44100 -b 16 -c 3 three.wav synth 0.1 sine 300 && oggenc -Q three.wav"));
    const struct {
        const char* name;
        const char* warning;
    } cases[] = {
        {"rifx.wav", "cOpenALSoundSource::LoadWaveFile : 'rifx.wav', not RIFF\n"},
        {"cut.wav", "cOpenALSoundSource::LoadWaveFile : 'cut.wav', RIFF size"},
        {"float.wav", "cOpenALSoundSource::LoadWaveFile : 'float.wav', unsupported format"},
        {"missing.wav", "cOpenALSoundSource::LoadWaveFile : failed to oped wave file\n"},
        {"noise.ogg", "failed to load 'noise.ogg'; ov_open_callbacks failed\n"},
        {"missing.ogg", "cOpenALSoundSource::LoadOggFile : failed to open file\n"},
        {"three.ogg", "cOpenALSoundSource::LoadOggFile : 'three.ogg', only mono or stereo"},
    };
    for (const auto& c : cases) {
        for (int mode : {SOUND_MODE_STREAM, SOUND_MODE_WHOLE}) {
            ::testing::internal::CaptureStdout();
            ISoundSource* source = engine->CreateSource(c.name, mode);
            const std::string log = ::testing::internal::GetCapturedStdout();
            EXPECT_EQ(source, nullptr) << c.name;
            EXPECT_NE(log.find(c.warning), std::string::npos) << c.name << " logged: " << log;
        }
    }
    EXPECT_EQ(Common().GetSourceCount(), 0u);

    // Ogg files that open but whose audio is cut short or damaged play what
    // they have; looping them never hangs the frame loop.
    ASSERT_TRUE(scratch.Run("sox -n -r 44100 -b 16 -c 2 hiss.wav synth 2 pinknoise && oggenc -Q hiss.wav"));
    const std::string ogg = scratch.Read("hiss.ogg");
    std::string flipped = ogg;
    for (std::size_t i = ogg.size() / 4; i < ogg.size(); i += 61) {
        flipped[i] = static_cast<char>(flipped[i] ^ 0x3C);
    }
    scratch.Write("half.ogg", ogg.substr(0, ogg.size() / 2));
    scratch.Write("flipped.ogg", flipped);
    for (const char* name : {"half.ogg", "flipped.ogg"}) {
        ISoundSource* source = engine->CreateSource(name, SOUND_MODE_STREAM);
        ASSERT_NE(source, nullptr) << name << " has intact headers and pages";
        source->SetLooping(true);
        source->Play();
        const auto start = std::chrono::steady_clock::now();
        RunFrames(300);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << name;
        source->Release();
    }
}

TEST(OpenALBindingTest, MissingLibraryOrEntryPointsMeanNoBinding) {
    if (IsOpenALLoaded()) {
        GTEST_SKIP() << "the library is in use by another engine in this process";
    }
    EXPECT_FALSE(LoadOpenAL("/nonexistent/libopenal.so.1"));
    EXPECT_FALSE(IsOpenALLoaded());
    // A real library without the OpenAL entry points.
    EXPECT_FALSE(LoadOpenAL("libm.so.6"));
    EXPECT_FALSE(IsOpenALLoaded());
    EXPECT_EQ(GetOpenAL().alEnable, nullptr);
    EXPECT_EQ(GetOpenAL().alcOpenDevice, nullptr);
}

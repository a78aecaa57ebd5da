#pragma once
// Helpers for the sound tests: a scratch folder served by a process file
// system, test sounds made with sox and oggenc, and OpenAL Soft's wave-file
// writer as the output device so that what the engine plays can be measured.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
class cPlatformFileSystem;
}

namespace velmora::sound::test {

// A fresh folder (removed at destruction) that is the root folder of a file system registered as the process
// file system for the lifetime of this object.
class cSoundScratch {
public:
    cSoundScratch();
    ~cSoundScratch();
    cSoundScratch(const cSoundScratch&) = delete;
    cSoundScratch& operator=(const cSoundScratch&) = delete;

    // The folder, ending in '/'.
    const std::string& Path() const { return m_Path; }
    // Path() + name.
    std::string operator/(const std::string& name) const { return m_Path + name; }
    // Writes bytes to a file in the folder.
    void Write(const std::string& name, const std::string& bytes) const;
    // The bytes of a file in the folder (empty when unreadable).
    std::string Read(const std::string& name) const;
    // Runs a shell command in the folder; true when it exits with 0. Output goes to a log file in the folder.
    bool Run(const std::string& command) const;

private:
    std::string m_Path;
    std::unique_ptr<cPlatformFileSystem> m_FileSystem;
};

// True when the command can be found on the search path.
bool HaveTool(const char* tool);

// Interleaved 16-bit samples.
struct sPcm {
    int channels = 0;
    std::vector<std::int16_t> samples;
    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
    std::int16_t At(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

// 16-bit signed raw samples from a file of little-endian words.
std::vector<std::int16_t> ToWords(const std::string& bytes);

// Points OpenAL Soft at its wave-file writer (stereo, 16-bit, 44100 Hz, no dithering, no limiter) writing to a
// file of this process. Must run before the OpenAL library is first loaded; later calls do nothing.
void UseWaveWriter();
// Where the wave writer puts what the device played; complete once the engine is released.
const std::string& WaveWriterOutput();
// Reads the wave writer's output; channels is 0 when the file is missing or not 16-bit PCM.
sPcm ReadWaveWriterOutput();

// A stretch of sound between silences, in frames.
struct sBurst {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t Length() const { return end - begin; }
};
// The stretches where some channel exceeds threshold, split where every channel stays below it for at least
// minGap frames.
std::vector<sBurst> FindBursts(const sPcm& pcm, int threshold, std::size_t minGap);
// Largest magnitude of a channel inside a burst.
int Peak(const sPcm& pcm, const sBurst& burst, int channel);
// Longest run of frames inside the burst where every channel stays at or below threshold.
std::size_t LongestQuietRun(const sPcm& pcm, const sBurst& burst, int threshold);
// Largest change between neighbouring frames of a channel inside the burst.
int LargestStep(const sPcm& pcm, const sBurst& burst, int channel);

// Sleeps for the given milliseconds.
void SleepMs(int milliseconds);

} // namespace velmora::sound::test

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <chrono>

#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "TestPlatform.h"

namespace velmora::sound::test {

namespace {

std::string MakeTempFolder(const char* prefix) {
    const std::string folder = velmora::test::MakeScratchFolder(prefix);
    if (folder.empty()) {
        ADD_FAILURE() << "cannot create a scratch folder " << prefix;
        return ::testing::TempDir();
    }
    return folder;
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Quote(const std::string& text) { return "'" + text + "'"; }

} // namespace

cSoundScratch::cSoundScratch() : m_Path(MakeTempFolder("velmora_sound_")), m_FileSystem(new cPlatformFileSystem()) {
    m_FileSystem->SetRootFolder(m_Path.c_str());
    SetProcessFileSystem(m_FileSystem.get());
}

cSoundScratch::~cSoundScratch() {
    if (GetProcessFileSystem() == m_FileSystem.get()) {
        SetProcessFileSystem(nullptr);
    }
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::u8path(m_Path), error);
}

void cSoundScratch::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(m_Path + name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << name;
}

std::string cSoundScratch::Read(const std::string& name) const { return ReadBytes(m_Path + name); }

bool cSoundScratch::Run(const std::string& command) const {
    const std::string line = "cd " + Quote(m_Path) + " && (" + command + ") >>tools.log 2>&1";
    return std::system(line.c_str()) == 0;
}

bool HaveTool(const char* tool) {
    return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::int16_t> ToWords(const std::string& bytes) {
    std::vector<std::int16_t> words(bytes.size() / 2);
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<std::int16_t>(std::uint8_t(bytes[2 * i]) | std::uint8_t(bytes[2 * i + 1]) << 8);
    }
    return words;
}

namespace {
std::string g_WaveFolder;
std::string g_WaveOutput;
} // namespace

void UseWaveWriter() {
    if (!g_WaveOutput.empty()) {
        return;
    }
    g_WaveFolder = MakeTempFolder("velmora_alsoft_");
    g_WaveOutput = g_WaveFolder + "device.wav";
    const std::string config = g_WaveFolder + "alsoft.conf";
    std::ofstream out(config);
    out << "drivers = wave\n"
        << "channels = stereo\n"
        << "sample-type = int16\n"
        << "frequency = 44100\n"
        << "stereo-mode = speakers\n"
        << "hrtf = false\n"
        << "dither = false\n"
        << "output-limiter = false\n"
        << "[wave]\n"
        << "file = " << g_WaveOutput << "\n";
    out.close();
    // The environment outranks the configuration file, and the test
    // environment may select the null driver.
    velmora::test::SetEnvironment("ALSOFT_CONF", config.c_str());
    velmora::test::SetEnvironment("ALSOFT_DRIVERS", "wave");
}

const std::string& WaveWriterOutput() { return g_WaveOutput; }

sPcm ReadWaveWriterOutput() {
    sPcm pcm;
    const std::string bytes = ReadBytes(g_WaveOutput);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return pcm;
    }
    int channels = 0;
    int bits = 0;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::string tag = bytes.substr(pos, 4);
        std::size_t size = Le32(bytes, pos + 4);
        pos += 8;
        if (tag == "fmt " && pos + 16 <= bytes.size()) {
            channels = std::uint8_t(bytes[pos + 2]);
            bits = std::uint8_t(bytes[pos + 14]);
        } else if (tag == "data") {
            // The writer fixes the size when the device closes; trust the file otherwise.
            if (size == 0 || pos + size > bytes.size()) {
                size = bytes.size() - pos;
            }
            if (channels > 0 && bits == 16) {
                pcm.channels = channels;
                pcm.samples = ToWords(bytes.substr(pos, size));
            }
            return pcm;
        }
        pos += size + (size & 1);
    }
    return pcm;
}

std::vector<sBurst> FindBursts(const sPcm& pcm, int threshold, std::size_t minGap) {
    std::vector<sBurst> bursts;
    bool inBurst = false;
    std::size_t quiet = 0;
    for (std::size_t f = 0; f < pcm.Frames(); ++f) {
        bool loud = false;
        for (int c = 0; c < pcm.channels; ++c) {
            loud = loud || std::abs(pcm.At(f, c)) > threshold;
        }
        if (loud) {
            if (!inBurst) {
                bursts.push_back({f, f + 1});
                inBurst = true;
            }
            bursts.back().end = f + 1;
            quiet = 0;
        } else if (inBurst && ++quiet >= minGap) {
            inBurst = false;
        }
    }
    return bursts;
}

int Peak(const sPcm& pcm, const sBurst& burst, int channel) {
    int peak = 0;
    for (std::size_t f = burst.begin; f < burst.end; ++f) {
        peak = std::max(peak, std::abs(int(pcm.At(f, channel))));
    }
    return peak;
}

std::size_t LongestQuietRun(const sPcm& pcm, const sBurst& burst, int threshold) {
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t f = burst.begin; f < burst.end; ++f) {
        bool quiet = true;
        for (int c = 0; c < pcm.channels; ++c) {
            quiet = quiet && std::abs(pcm.At(f, c)) <= threshold;
        }
        run = quiet ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

int LargestStep(const sPcm& pcm, const sBurst& burst, int channel) {
    int largest = 0;
    for (std::size_t f = burst.begin + 1; f < burst.end; ++f) {
        largest = std::max(largest, std::abs(int(pcm.At(f, channel)) - int(pcm.At(f - 1, channel))));
    }
    return largest;
}

void SleepMs(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

} // namespace velmora::sound::test

// Archive reading speed of the file system.
//
// 1. A 50 MB archive of mixed entries (text, incompressible binary, height
//    data, many small files) is made with Info-ZIP `zip` in a temporary
//    folder. Every entry is opened by name through the file system and read
//    whole; beside it, `unzip -p` extracts the same archive to /dev/null.
//    Both run several times, alternating; the medians are compared.
// 2. An archive of 1,000 small entries: the time to open one name
//    (OpenFile, OpenCompressedFile, FileExists) averaged over many lookups.
//
// The engine log (one "Searching..." line per archive lookup) is sent to
// /dev/null while timing, as it costs what it costs in the engine.

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/filesystem/cZipDirectory.h"
#include "engine/filesystem/FileSystemFactory.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace stdfs = std::filesystem;
using velmora::cPlatformFileSystem;
using velmora::cZipDirectory;
using velmora::IFile;

constexpr std::size_t kArchiveBytes = 50u * 1024u * 1024u;
constexpr int kRounds = 5;
constexpr int kLookupEntries = 1000;
constexpr int kLookups = 20000;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

void WriteFile(const std::string& path, const std::string& data) {
    stdfs::create_directories(stdfs::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string Text(std::size_t size, std::mt19937& random) {
    static const char* const kWords[] = {"island ", "sea ",    "palm ", "wave\n", "sand ", "terrain ", "mesh ",
                                         "(0.5, 1.25, 3) ", "{ ", "} ", "texture \"data/sand.tga\"\n", "fog 0.75\n"};
    std::string text;
    text.reserve(size + 32);
    while (text.size() < size) {
        text += kWords[random() % (sizeof(kWords) / sizeof(kWords[0]))];
    }
    text.resize(size);
    return text;
}

std::string Noise(std::size_t size, std::mt19937& random) {
    std::string data(size, '\0');
    for (char& c : data) {
        c = static_cast<char>(random());
    }
    return data;
}

std::string Heights(std::size_t size, std::mt19937& random) {
    std::string data(size, '\0');
    const std::size_t count = size / sizeof(float);
    for (std::size_t i = 0; i < count; ++i) {
        const float h = 40.0f * std::sin(i * 0.013f) + 15.0f * std::cos(i * 0.0007f) + (random() % 100) * 0.01f;
        std::memcpy(&data[i * sizeof(float)], &h, sizeof(float));
    }
    return data;
}

// Sends standard output (the engine log) to /dev/null while alive.
class cQuietLog {
public:
    cQuietLog() {
        std::fflush(stdout);
        m_Saved = ::dup(STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
    ~cQuietLog() {
        std::fflush(stdout);
        ::dup2(m_Saved, STDOUT_FILENO);
        ::close(m_Saved);
    }

private:
    int m_Saved = -1;
};

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

struct sReadResult {
    double seconds = 0;
    std::uint64_t bytes = 0;
    std::uint32_t crc = 0;
    int failures = 0;
};

sReadResult ReadThroughFileSystem(const std::string& root, const std::string& archive,
                                  const std::vector<std::string>& names) {
    sReadResult result;
    cQuietLog quiet;
    const Clock::time_point start = Clock::now();
    cPlatformFileSystem fs;
    fs.SetRootFolder(root.c_str());
    fs.AddArchive(archive.c_str(), 0);
    uLong crc = crc32(0, nullptr, 0);
    for (const std::string& name : names) {
        IFile* file = fs.OpenFile(name.c_str());
        std::uint8_t* data = file ? file->ReadAll() : nullptr;
        if (!data) {
            ++result.failures;
        } else {
            crc = crc32(crc, data, static_cast<uInt>(file->GetSize()));
            result.bytes += static_cast<std::uint64_t>(file->GetSize());
        }
        delete[] data;
        if (file) {
            file->Release();
        }
    }
    result.seconds = Seconds(Clock::now() - start);
    result.crc = static_cast<std::uint32_t>(crc);
    return result;
}

// CRC-32 of everything `unzip -p` writes for the archive.
std::uint32_t UnzipCrc(const std::string& archive, std::uint64_t& bytes) {
    uLong crc = crc32(0, nullptr, 0);
    bytes = 0;
    FILE* pipe = ::popen(("unzip -p " + Quote(archive)).c_str(), "r");
    if (!pipe) {
        return 0;
    }
    std::vector<unsigned char> buffer(1 << 16);
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
        bytes += got;
    }
    ::pclose(pipe);
    return static_cast<std::uint32_t>(crc);
}

double MicrosecondsPerCall(int calls, const std::function<void(int)>& call) {
    cQuietLog quiet;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < calls; ++i) {
        call(i);
    }
    return Seconds(Clock::now() - start) * 1e6 / calls;
}

} // namespace

int main() {
    if (!Run("command -v zip >/dev/null 2>&1") || !Run("command -v unzip >/dev/null 2>&1")) {
        std::printf("bench_filesystem: Info-ZIP zip and unzip are needed (tools/install-deps.sh)\n");
        return 1;
    }
    std::string temp = (stdfs::temp_directory_path() / "velmora-bench-XXXXXX").string();
    if (!::mkdtemp(temp.data())) {
        std::perror("bench_filesystem: mkdtemp");
        return 1;
    }
    temp += "/";
    stdfs::create_directories(temp + "root");

    // The mixed archive: large text, incompressible binary and height data, and many small text files.
    std::mt19937 random(1234);
    std::size_t written = 0;
    int index = 0;
    while (written < kArchiveBytes) {
        const int kind = index % 4;
        std::string data;
        std::string name;
        if (kind == 0) {
            data = Text(200000 + random() % 400000, random);
            name = "data/scene/part" + std::to_string(index) + ".scene";
        } else if (kind == 1) {
            data = Noise(300000 + random() % 500000, random);
            name = "data/textures/tex" + std::to_string(index) + ".dds";
        } else if (kind == 2) {
            data = Heights(200000 + random() % 600000, random);
            name = "data/terrain/chunk" + std::to_string(index) + ".terrain";
        } else {
            for (int i = 0; i < 20; ++i) {
                const std::string small = Text(500 + random() % 6000, random);
                WriteFile(temp + "src/data/meshes/m" + std::to_string(index) + "_" + std::to_string(i) + ".mesh", small);
                written += small.size();
            }
            ++index;
            continue;
        }
        data.resize(std::min(data.size(), kArchiveBytes - written + 1));
        WriteFile(temp + "src/" + name, data);
        written += data.size();
        ++index;
    }
    const std::string archive = temp + "mixed.zip";
    if (!Run("cd " + Quote(temp + "src") + " && zip -q -r " + Quote(archive) + " data")) {
        std::printf("bench_filesystem: zip failed\n");
        return 1;
    }

    cZipDirectory directory;
    directory.Load(archive.c_str());
    std::vector<std::string> names;
    std::uint64_t statedBytes = 0;
    for (const auto& entry : directory.GetEntries()) {
        if (!entry.name.empty() && entry.name.back() != '/') {
            names.push_back(entry.name);
            statedBytes += entry.uncompressedSize;
        }
    }
    const double archiveMB = static_cast<double>(stdfs::file_size(archive)) / (1024.0 * 1024.0);
    const double dataMB = static_cast<double>(statedBytes) / (1024.0 * 1024.0);

    // Correctness first: the same bytes as unzip -p, in the same order.
    std::uint64_t unzipBytes = 0;
    const std::uint32_t unzipCrc = UnzipCrc(archive, unzipBytes);
    const sReadResult check = ReadThroughFileSystem(temp + "root/", archive, names);
    const bool identical = check.failures == 0 && check.crc == unzipCrc && check.bytes == unzipBytes;

    std::vector<double> ours;
    std::vector<double> theirs;
    for (int round = 0; round < kRounds; ++round) {
        ours.push_back(ReadThroughFileSystem(temp + "root/", archive, names).seconds);
        const Clock::time_point start = Clock::now();
        Run("unzip -p " + Quote(archive) + " > /dev/null");
        theirs.push_back(Seconds(Clock::now() - start));
    }
    const double oursMedian = Median(ours);
    const double theirsMedian = Median(theirs);

    std::printf("archive: %.1f MB of data in %zu entries (%.1f MB compressed by Info-ZIP zip -6)\n", dataMB,
                names.size(), archiveMB);
    std::printf("same bytes as unzip -p: %s\n", identical ? "yes" : "NO");
    std::printf("read every entry through the file system: %8.1f ms  %7.1f MB/s  (median of %d)\n",
                oursMedian * 1e3, dataMB / oursMedian, kRounds);
    std::printf("unzip -p of the same archive:             %8.1f ms  %7.1f MB/s  (median of %d)\n",
                theirsMedian * 1e3, dataMB / theirsMedian, kRounds);
    std::printf("file system time / unzip -p time: %.2f (%s)\n", oursMedian / theirsMedian,
                oursMedian <= theirsMedian ? "at least as fast" : "slower");

    // One name among 1,000 entries.
    for (int i = 0; i < kLookupEntries; ++i) {
        WriteFile(temp + "small/data/e" + std::to_string(i) + ".txt", Text(64 + random() % 2000, random));
    }
    const std::string lookupArchive = temp + "lookup.zip";
    Run("cd " + Quote(temp + "small") + " && zip -q -r " + Quote(lookupArchive) + " data");
    std::vector<std::string> lookupNames;
    for (int i = 0; i < kLookupEntries; ++i) {
        lookupNames.push_back("data/e" + std::to_string(i) + ".txt");
    }
    std::shuffle(lookupNames.begin(), lookupNames.end(), random);

    cPlatformFileSystem fs;
    fs.SetRootFolder((temp + "root/").c_str());
    fs.AddArchive(lookupArchive.c_str(), 0);
    const double first = MicrosecondsPerCall(1, [&](int) { fs.FileExists(lookupNames[0].c_str()); });
    const double openByName = MicrosecondsPerCall(kLookups, [&](int i) {
        if (IFile* file = fs.OpenFile(lookupNames[i % kLookupEntries].c_str())) {
            file->Release();
        }
    });
    const double openEntry = MicrosecondsPerCall(kLookups, [&](int i) {
        if (IFile* file = fs.OpenCompressedFile(lookupArchive.c_str(), lookupNames[i % kLookupEntries].c_str())) {
            file->Release();
        }
    });
    const double exists = MicrosecondsPerCall(kLookups, [&](int i) { fs.FileExists(lookupNames[i % kLookupEntries].c_str()); });
    std::printf("lookup of one name among %d archive entries (mean of %d):\n", kLookupEntries, kLookups);
    std::printf("  OpenFile (name) + Release:            %7.1f us\n", openByName);
    std::printf("  OpenCompressedFile + Release:         %7.1f us\n", openEntry);
    std::printf("  FileExists:                           %7.1f us\n", exists);
    std::printf("  first lookup, reading the directory:  %7.1f us\n", first);

    std::error_code error;
    stdfs::remove_all(temp, error);
    return identical ? 0 : 1;
}

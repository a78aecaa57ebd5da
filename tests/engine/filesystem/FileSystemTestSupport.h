#pragma once
// Helpers for the file-system tests: a temporary folder, ZIP archives written
// with minizip's writer (including forged entries), and running commands.

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

// A fresh folder below the system's temporary folder, removed with everything in it at destruction.
class cTempFolder {
public:
    cTempFolder();
    ~cTempFolder();
    cTempFolder(const cTempFolder&) = delete;
    cTempFolder& operator=(const cTempFolder&) = delete;

    // The folder, ending in '/'.
    const std::string& Path() const { return m_Path; }
    // Path() + relative.
    std::string operator/(const std::string& relative) const { return m_Path + relative; }
    // Writes a file below the folder, creating its parent folders.
    void Write(const std::string& relative, const std::string& data) const;

private:
    std::string m_Path;
};

// One entry of an archive to write.
struct sZipItem {
    std::string name;
    std::string data;
    int method = 8; // 0 stored, 8 deflated
    // Forged entries: data is written as given (raw deflate for method 8) and the headers state these values.
    bool forge = false;
    std::uint32_t statedSize = 0;
    std::uint32_t statedCrc = 0;
};

// Writes an archive with minizip's writer; fails the current test on error.
void WriteZip(const std::string& path, const std::vector<sZipItem>& items);

// Raw deflate stream of data (what a ZIP entry of method 8 holds).
std::string DeflateRaw(const std::string& data);

// zlib's CRC-32 of data.
std::uint32_t Crc32(const std::string& data);

// Whole file contents; empty when it cannot be read.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

// Runs a shell command and returns its standard output; status gets the exit status.
std::string RunCommand(const std::string& command, int* status = nullptr);

// True when the program is on the PATH.
bool HaveProgram(const char* name);

// Deterministic test data: text-like or binary bytes.
std::string MakeText(std::size_t size, std::uint32_t seed);
std::string MakeBinary(std::size_t size, std::uint32_t seed);

// A single-quoted shell word.
std::string ShellQuote(const std::string& text);

} // namespace velmora::test

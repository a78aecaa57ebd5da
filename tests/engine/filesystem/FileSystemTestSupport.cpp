#include "engine/filesystem/FileSystemTestSupport.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestPlatform.h"

namespace velmora::test {

cTempFolder::cTempFolder() {
    m_Path = MakeScratchFolder("velmora-fs-");
    if (m_Path.empty()) {
        ADD_FAILURE() << "cannot create a scratch folder";
    }
}

cTempFolder::~cTempFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_Path, error);
}

void cTempFolder::Write(const std::string& relative, const std::string& data) const {
    const std::filesystem::path path(m_Path + relative);
    std::filesystem::create_directories(path.parent_path());
    WriteFile(path.string(), data);
}

std::string DeflateRaw(const std::string& data) {
    z_stream stream = {};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::uint32_t Crc32(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

void WriteZip(const std::string& path, const std::vector<sZipItem>& items) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr) << path;
    for (const sZipItem& item : items) {
        zip_fileinfo info = {};
        const int level = item.method == 0 ? 0 : Z_DEFAULT_COMPRESSION;
        ASSERT_EQ(zipOpenNewFileInZip2(zip, item.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, item.method,
                                       level, item.forge ? 1 : 0),
                  ZIP_OK);
        const std::string payload = item.forge && item.method == 8 ? DeflateRaw(item.data) : item.data;
        if (!payload.empty()) {
            ASSERT_EQ(zipWriteInFileInZip(zip, payload.data(), static_cast<unsigned>(payload.size())), ZIP_OK);
        }
        if (item.forge) {
            ASSERT_EQ(zipCloseFileInZipRaw(zip, item.statedSize, item.statedCrc), ZIP_OK);
        } else {
            ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
        }
    }
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string RunCommand(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (status) {
            *status = -1;
        }
        return output;
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        output.append(buffer, got);
    }
    const int result = pclose(pipe);
    if (status) {
        *status = result;
    }
    return output;
}

bool HaveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string MakeText(std::size_t size, std::uint32_t seed) {
    static const char* const kWords[] = {"island", "sea ",  "palm",  "\n",     "wave",  "sand", "sky",
                                         "light ", "fog\t", "reef",  "shore",  "cloud", "sun",  "rain\r\n"};
    std::string text;
    std::uint32_t state = seed * 2654435761u + 1;
    while (text.size() < size) {
        state = state * 1664525u + 1013904223u;
        text += kWords[(state >> 16) % (sizeof(kWords) / sizeof(kWords[0]))];
        text += ' ';
    }
    text.resize(size);
    return text;
}

std::string MakeBinary(std::size_t size, std::uint32_t seed) {
    std::string data(size, '\0');
    std::uint32_t state = seed | 1;
    for (char& c : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state >> 24);
    }
    return data;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

} // namespace velmora::test

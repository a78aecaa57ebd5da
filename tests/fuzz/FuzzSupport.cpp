#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <vector>

#include <unistd.h>

#include "engine/filesystem/FileSystemFactory.h"
#include "engine/filesystem/FileSystemGlobals.h"

namespace velmora::fuzz {

namespace fs = std::filesystem;

cFuzzFolder::cFuzzFolder() {
    if (!std::getenv("VELMORA_FUZZ_LOG")) {
        // The engine logs every step to standard output; libFuzzer reports on standard error.
        if (!std::freopen("/dev/null", "w", stdout)) std::perror("freopen");
    }
    std::string pattern = (fs::temp_directory_path() / "velmora_fuzz_XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    m_Path = std::string(made ? made : buffer.data()) + "/";
    m_FileSystem = CreatePlatformFileSystem();
    if (!m_FileSystem) throw std::bad_alloc();
    m_FileSystem->SetRootFolder(m_Path.c_str());
    SetProcessFileSystem(m_FileSystem);
}

cFuzzFolder::~cFuzzFolder() {
    SetProcessFileSystem(nullptr);
    DestroyPlatformFileSystem(m_FileSystem);
    if (std::getenv("VELMORA_FUZZ_KEEP")) {
        std::fprintf(stderr, "scratch folder kept: %s\n", m_Path.c_str());
        return;
    }
    std::error_code error;
    fs::remove_all(m_Path, error);
}

cCommonFileSystem& cFuzzFolder::Files() { return *m_FileSystem; }

std::string cFuzzFolder::Write(const std::string& name, const void* data, std::size_t size) const {
    const fs::path path = fs::path(m_Path) / name;
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(static_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size < kMaxInput ? size : kMaxInput));
    return path.string();
}

void cFuzzFolder::Remove(const std::string& name) const {
    std::error_code error;
    fs::remove(fs::path(m_Path) / name, error);
}

cFuzzFolder& Folder() {
    static cFuzzFolder folder;
    return folder;
}

cInputFile::cInputFile(const std::uint8_t* data, std::size_t size) {
    const std::size_t used = size < kMaxInput ? size : kMaxInput;
    m_File = Folder().Files().OpenFile(const_cast<std::uint8_t*>(data), static_cast<std::int32_t>(used));
}

cInputFile::~cInputFile() {
    if (m_File) m_File->Release();
}

} // namespace velmora::fuzz

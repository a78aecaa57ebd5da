#pragma once
// What the tests need of the machine they run on, the same on Linux and
// Windows: scratch folders, the test program's own path, the environment.
// Paths come back in UTF-8 with '/' separators, as the engine takes them.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace velmora::test {

// A new, empty folder below the system's temporary folder, named prefix and a unique suffix; its path with a
// trailing '/'. Empty when none could be made.
inline std::string MakeScratchFolder(const std::string& prefix) {
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error) {
        return std::string();
    }
    std::mt19937_64 random(std::random_device{}() ^
                           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const char* digits = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 8; ++i) {
            name += digits[random() % 36];
        }
        const std::filesystem::path folder = temp / std::filesystem::u8path(name);
        if (std::filesystem::create_directory(folder, error)) {
            return folder.generic_u8string() + "/";
        }
    }
    return std::string();
}

// The path of the running test program; empty when the system does not say.
inline std::string ExecutablePath() {
#ifdef _WIN32
    wchar_t path[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, 32768);
    if (length == 0 || length >= 32768) {
        return std::string();
    }
    return std::filesystem::path(std::wstring(path, length)).generic_u8string();
#else
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).generic_u8string();
#endif
}

// Sets an environment variable for this process and the programs it starts.
inline void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    ::_putenv_s(name, value);
#else
    ::setenv(name, value, 1);
#endif
}

} // namespace velmora::test

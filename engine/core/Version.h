#pragma once
// Build identification shared by the log header and the engine's version text.

namespace velmora {

constexpr const char* kEngineName = "VelmoraEngine";
constexpr const char* kBuildKind = "-release";
#if defined(_WIN32)
constexpr const char* kPlatformName = "win32";
#else
constexpr const char* kPlatformName = "linux";
#endif
#if defined(__x86_64__) || defined(_M_X64)
constexpr const char* kArchName = "x64";
#elif defined(__aarch64__)
constexpr const char* kArchName = "arm64";
#else
constexpr const char* kArchName = "x86";
#endif
constexpr const char* kBuildDate = __DATE__;
constexpr const char* kBuildTime = __TIME__;

// "VelmoraEngine-release linux-x64 Dec  8 2026 21:40:00", built once per process.
const char* GetVersionText();

} // namespace velmora

// The desktop services of the screensaver shell on Windows.
#include "app/Platform.h"
#include "app/win32/Win32StopRequest.h"
#include "engine/win32/Win32Text.h"

#include <atomic>

// Last: <windows.h> defines macros that clash with the engine's names.
#include "engine/win32/Win32Api.h"
#include <psapi.h>
#include <shlobj.h>

namespace brevonne {

namespace {

std::atomic<bool> g_StopRequested{false};

BOOL WINAPI OnConsoleEvent(DWORD) {
    g_StopRequested = true;
    return TRUE;
}

double FileTimeSeconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) * 1e-7;
}

} // namespace

void ShowErrorBox(const char* text, const char* caption) {
    const std::wstring wideText = velmora::win32::Widen(text ? text : "");
    const std::wstring wideCaption = velmora::win32::Widen(caption ? caption : "");
    MessageBoxW(nullptr, wideText.c_str(), caption ? wideCaption.c_str() : nullptr, MB_OK | MB_ICONERROR);
}

void SetScreensaverRunning(bool running) {
    BOOL previous = FALSE;
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}

std::string GetExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return velmora::win32::Narrow(buffer);
        }
        if (buffer.size() >= 32768) {
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetArchiveFolder() {
    // The user's documents folder, made when missing.
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::string();
    }
    std::string folder = velmora::win32::Narrow(path);
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

unsigned long GetProcessNumber() { return static_cast<unsigned long>(GetCurrentProcessId()); }

bool IsProcessRunning(unsigned long number) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(number));
    if (!process) {
        // A process of another user cannot be opened, but runs.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

std::uint64_t GetPeakMemoryBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) {
        return 0;
    }
    return static_cast<std::uint64_t>(counters.PeakWorkingSetSize);
}

double GetProcessUptime() {
    FILETIME creation = {}, exit = {}, kernel = {}, user = {}, now = {};
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) {
        return -1.0;
    }
    GetSystemTimeAsFileTime(&now);
    return FileTimeSeconds(now) - FileTimeSeconds(creation);
}

void InstallStopHandlers() {
    // A screensaver started from a console ends on Ctrl+C and when the console closes.
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool IsStopRequested() { return g_StopRequested.load(); }

void RequestStop() { g_StopRequested = true; }

} // namespace brevonne

#include <SDL.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/Platform.h"

namespace brevonne {

void ShowErrorBox(const char* text, const char* caption) {
    const char* title = caption ? caption : "Error";
    const bool started = SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!started || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) != 0) {
        std::fprintf(stderr, "%s: %s\n", title, text);
    }
}

void SetScreensaverRunning(bool running) {
    if (running) {
        SDL_DisableScreenSaver();
    } else {
        SDL_EnableScreenSaver();
    }
}

std::string GetExecutablePath() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return std::string();
    }
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

namespace {

// Creates every missing folder along an absolute path; false when the last one is not a folder then.
bool MakeFolders(const std::string& path, mode_t mode) {
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string GetArchiveFolder() {
    // Relative values of XDG_CACHE_HOME are to be ignored.
    std::string cache;
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/') {
        cache = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* entry = getpwuid(getuid());
            home = entry ? entry->pw_dir : nullptr;
        }
        if (!home || home[0] != '/') {
            return std::string();
        }
        cache = std::string(home) + "/.cache";
    }
    while (cache.size() > 1 && cache.back() == '/') {
        cache.pop_back();
    }
    const std::string folder = cache + "/Quillmere";
    if (!MakeFolders(cache, 0700) || !MakeFolders(folder, 0700)) {
        return std::string();
    }
    return folder;
}

unsigned long GetProcessNumber() { return static_cast<unsigned long>(getpid()); }

bool IsProcessRunning(unsigned long number) {
    const pid_t pid = static_cast<pid_t>(number);
    if (pid <= 0 || static_cast<unsigned long>(pid) != number) {
        return false;
    }
    return kill(pid, 0) == 0 || errno == EPERM;
}

namespace {

volatile sig_atomic_t g_StopRequested = 0;

extern "C" void OnStopSignal(int) { g_StopRequested = 1; }

} // namespace

void InstallStopHandlers() {
    // SDL would turn these signals into quit events, which a screensaver swallows; it leaves
    // signals alone that already have a handler, and the hint makes sure of it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking call returns early, so the request is seen at once.
    action.sa_flags = 0;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

bool IsStopRequested() { return g_StopRequested != 0; }

std::uint64_t GetPeakMemoryBytes() {
    rusage usage = {};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024u;  // kilobytes on Linux
}

double GetProcessUptime() {
    // Field 22 of /proc/self/stat: the start time in clock ticks after boot. The name field
    // before it may hold blanks, so counting starts after its closing parenthesis.
    std::ifstream stat("/proc/self/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return -1.0;
    }
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return -1.0;
    }
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    unsigned long long startTicks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22) {
            startTicks = std::strtoull(field.c_str(), nullptr, 10);
        }
    }
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now = {};
    if (startTicks == 0 || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return -1.0;
    }
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9 -
           static_cast<double>(startTicks) / static_cast<double>(ticksPerSecond);
}

} // namespace brevonne

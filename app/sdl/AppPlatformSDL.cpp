#include <SDL.h>
#include <unistd.h>

#include <cstdio>
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

} // namespace brevonne

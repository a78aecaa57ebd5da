#include "app/sdl/SDLDisplayModes.h"

#include <SDL.h>

namespace brevonne {

std::vector<sDisplayMode> GetDisplayModes(int display) {
    std::vector<sDisplayMode> modes;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return modes;
    }
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, i, &mode) == 0) {
            // Bytes per pixel rather than bits: a 24-bit colour mode in
            // 32-bit pixels is what a "x 32" mode means.
            modes.push_back({mode.w, mode.h, static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8,
                             mode.refresh_rate});
        }
    }
    return modes;
}

} // namespace brevonne

#include "engine/sdl/SDLPlatform.h"

#include <SDL.h>

namespace velmora {

void PrepareGLWindowAttributes(const sRendererDesc& desc) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    int depth = 16;
    if (desc.depthFlags & kDepth32) {
        depth = 32;
    } else if (desc.depthFlags & kDepth24) {
        depth = 24;
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, (desc.depthFlags & kWithStencil) ? 8 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, desc.multisampling > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, desc.multisampling > 0 ? desc.multisampling + 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
}

} // namespace velmora

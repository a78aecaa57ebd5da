#include "video/opengl/cOpenGLViewport.h"

#include <SDL.h>

#include <string>

#include "engine/core/cException.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

cOpenGLViewport::~cOpenGLViewport() {
    if (m_Renderer) {
        if (m_Renderer->GetBoundViewport() == this) m_Renderer->SetViewport(nullptr);
        m_Renderer->OnResourceDestroyed(static_cast<IViewport*>(this));
    }
}

void cOpenGLViewport::Create(void* window, void* context, void* mainWindow) {
    if (!window) RaiseError("cOpenGLViewport::Create : failed to create viewport, no window");
    SDL_Window* sdlWindow = static_cast<SDL_Window*>(window);
    if (!(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_OPENGL)) {
        RaiseError("cOpenGLViewport::Create : failed to create viewport, the window has no OpenGL surface");
    }
    // The context must be able to draw into the window; the current window stays current.
    SDL_Window* current = SDL_GL_GetCurrentWindow();
    if (SDL_GL_MakeCurrent(sdlWindow, static_cast<SDL_GLContext>(context)) != 0) {
        const std::string reason = SDL_GetError();
        SDL_GL_MakeCurrent(current ? current : static_cast<SDL_Window*>(mainWindow), static_cast<SDL_GLContext>(context));
        RaiseError("cOpenGLViewport::Create : failed to create viewport, %s", reason.c_str());
    }
    SDL_GL_MakeCurrent(current ? current : static_cast<SDL_Window*>(mainWindow), static_cast<SDL_GLContext>(context));
    m_Window = window;
}

} // namespace velmora::video

#pragma once
// The SDL base of the screensaver application object: its full-screen
// window, the engine attached to it, the message pump and the base frame.

#include <string>
#include <vector>

namespace velmora {
class IEngine;
class IFileSystem;
class IInput;
namespace video { class IRenderer; class IFont; }
namespace sound { class ISoundEngine; }
namespace scene { class cSceneManager; class IResourceManager; }
} // namespace velmora

struct SDL_Window;
union SDL_Event;

namespace brevonne {

class cSDLScreensaver {
public:
    // commandLine: the upper-cased copy; args: the original arguments.
    cSDLScreensaver(const std::string& commandLine, const std::vector<std::string>& args);
    virtual ~cSDLScreensaver();
    cSDLScreensaver(const cSDLScreensaver&) = delete;
    cSDLScreensaver& operator=(const cSDLScreensaver&) = delete;

    // Renderer begin-frame with its default clear colour, then end-frame.
    virtual void DrawBlankFrame();
    // Reads the settings, creates the window and the engine; false on failure.
    virtual bool Create();
    // Releases the engine, restores the display and destroys the window.
    virtual bool Destroy();
    // One frame; false ends the run loop.
    virtual bool Render();

    // Takes every waiting window message; false once the quit message was seen.
    bool ProcessMessages();
    // The window procedure: a key or mouse button posts the quit message.
    void HandleEvent(const SDL_Event& event);

    SDL_Window* GetWindow() const { return m_Window; }
    velmora::IEngine* GetEngine() const { return m_Engine; }

protected:
    SDL_Window* m_Window = nullptr;
    unsigned int m_WindowId = 0;
    std::string m_CommandLine;
    std::vector<std::string> m_Args;
    velmora::IEngine* m_Engine = nullptr;
    velmora::IFileSystem* m_FileSystem = nullptr;
    velmora::IInput* m_Input = nullptr;
    velmora::video::IRenderer* m_Renderer = nullptr;
    velmora::sound::ISoundEngine* m_SoundEngine = nullptr;
    velmora::scene::cSceneManager* m_SceneManager = nullptr;
    velmora::scene::IResourceManager* m_ResourceManager = nullptr;
    velmora::video::IFont* m_DefaultFont = nullptr;
    velmora::video::IFont* m_OverlayFont = nullptr;
    float m_FirstMouseX = -1.0f;
    float m_FirstMouseY = -1.0f;

private:
    bool m_SDLStarted = false;
    bool m_QuitPosted = false;
};

} // namespace brevonne

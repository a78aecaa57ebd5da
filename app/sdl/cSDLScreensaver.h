#pragma once
// The SDL base of the screensaver application object: its full-screen
// window, the engine attached to it, the message pump and the base frame.

#include <memory>
#include <string>
#include <vector>

#include "app/HostOptions.h"
#include "engine/core/cFramePacer.h"

namespace velmora {
class IEngine;
class IFileSystem;
class IInput;
namespace video { class IRenderer; class IFont; }
namespace sound { class ISoundEngine; }
namespace scene { class cSceneManager; class IResourceManager; }
} // namespace velmora

struct SDL_Window;
namespace velmora { struct sRendererDesc; }
union SDL_Event;

namespace brevonne {

class cX11HostWindow;

class cSDLScreensaver {
public:
    // commandLine: the upper-cased copy; args: the original arguments; host: what a screensaver
    // host asked for (nothing for the full-screen run).
    cSDLScreensaver(const std::string& commandLine, const std::vector<std::string>& args,
                    const sHostOptions& host = sHostOptions());
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

    // Takes every waiting window message; false once the quit message was seen, a stop was
    // requested, or the host's window is gone.
    bool ProcessMessages();
    // The window procedure: in the full-screen run a key or mouse button posts the quit message;
    // a window of our own also ends with its close button, Escape or Q; the host's window leaves
    // keys and mouse to the host.
    void HandleEvent(const SDL_Event& event);
    // Sleeps until the next frame is due (vertical sync, the display's refresh rate, "--delay").
    void WaitForNextFrame();

    // True when a screensaver host started the run (or it runs in a window of its own).
    bool IsHosted() const { return m_Host.IsHosted(); }
    const sHostOptions& GetHostOptions() const { return m_Host; }

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
    // Set before Create by runs nobody watches: they draw as fast as they can.
    bool m_Unpaced = false;
    // Frames per second the run is capped at instead of the display's rate; 0 = the display's.
    int m_FrameRateCap = 0;
    velmora::cFramePacer m_Pacer;

private:
    // Creates the window the run draws into and fills desc; false (with a warning) on failure.
    bool CreateFullscreenWindow(velmora::sRendererDesc& desc);
    bool CreateHostWindow(velmora::sRendererDesc& desc);
    bool CreateOwnWindow(velmora::sRendererDesc& desc);
    // Vertical sync where the driver has it, and a cap at the display's refresh rate.
    void SetUpPacing();

    sHostOptions m_Host;
    std::unique_ptr<cX11HostWindow> m_HostWindow;
    bool m_SDLStarted = false;
    bool m_QuitPosted = false;
};

} // namespace brevonne

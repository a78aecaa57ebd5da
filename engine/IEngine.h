#pragma once
// The engine: root of every engine service. It owns the window binding, the
// renderer, the sound engine, the GUI manager, the scene manager, the file
// system and the input, measures time and counts frames. Exactly one engine
// exists at a time (see EngineGlobals.h).

#include <cstddef>
#include <string>

#include "engine/core/cFunctor.h"
#include "engine/core/cVector2.h"
#include "engine/sRendererDesc.h"

namespace velmora {

class IFile;
class IFileSystem;
class IInput;
class IConfig;
class ILog;
namespace video { class IRenderer; }
namespace sound { class ISoundEngine; }
namespace gui { class IGUIManager; }
namespace scene { class cSceneManager; class IResourceManager; }
namespace script { class IScriptEnv; }

// Called once per frame by Run; returning false leaves the loop.
using tFrameCallback = cFunctor<bool, sNullType>;

// Four floats: left, top, right, bottom.
struct sWindowRect {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
};

class IEngine {
public:
    virtual ~IEngine() = default;
    // Creates an engine-owned window and its renderer; false (with a warning) on failure.
    virtual bool CreateWindow(const sRendererDesc& desc, int width, int height, bool fullscreen, int refresh,
                              int bits) = 0;
    // As above with the descriptor {id, no multisampling, 16-bit depth}.
    virtual bool CreateWindow(int rendererId, int width, int height, bool fullscreen, int refresh, int bits) = 0;
    // Destroys the window (also an attached one); warns without a window.
    virtual void DestroyWindow() = 0;
    // Not implemented: warns and returns false.
    virtual bool Restart(int rendererId, int width, int height, bool fullscreen, int refresh) = 0;
    // Calls DestroyWindow.
    virtual void Shutdown() = 0;
    // Deletes the engine.
    virtual void Release() = 0;
    // The main loop for engine-owned windows: messages, Update, frame callback, until quit.
    virtual void Run() = 0;
    // One frame's bookkeeping: timing, sound, GUI, input actions, client size, input capture.
    virtual void Update() = 0;
    // Dispatches every waiting window message; returns 0.
    virtual int ProcessMessages() = 0;
    // Client width in pixels.
    virtual int GetViewWidth() const = 0;
    // Client height in pixels.
    virtual int GetViewHeight() const = 0;
    // Client rectangle (re-read from the window while attached).
    virtual sWindowRect GetClientRect() = 0;
    // True when the window is full screen.
    virtual bool IsFullscreen() const = 0;
    // True for the renderer ids this build can create.
    virtual bool IsRendererSupported(int rendererId) const = 0;
    // The renderer id in use.
    virtual int GetRendererId() const = 0;
    // Milliseconds since the engine was created.
    virtual float GetTime() = 0;
    // Frames per second, refreshed at most every 750 ms from the last frame's duration.
    virtual float GetFPS() const = 0;
    // Duration of the last frame in seconds.
    virtual float GetFrameTime() const = 0;
    // Gamma 0 restores the desktop ramp; otherwise builds and sets a ramp. The second value is only stored.
    virtual void SetGamma(float gamma, float second) = 0;
    // The gamma value last set.
    virtual float GetGamma() const = 0;
    // The second gamma value last set.
    virtual float GetGamma2() const = 0;
    // Sets and stores the window text; warns without a window.
    virtual void SetWindowCaption(const std::string& caption) = 0;
    // The stored caption.
    virtual const std::string& GetWindowCaption() const = 0;
    // (0, 0) in full screen, else the window's left and top.
    virtual cVector2 GetWindowPosition() = 0;
    // The window rectangle (re-read while attached).
    virtual sWindowRect GetWindowRect() = 0;
    // Limits Run to this many frames per second (sleeping between frames); 0 = no limit.
    virtual void SetFrameRateLimit(int fps) = 0;
    // Stores a copy of the callback, replacing the previous one.
    virtual void SetFrameCallback(const tFrameCallback& callback) = 0;
    // Seeds the C library's random numbers.
    virtual void SeedRandom(unsigned int seed) = 0;
    // Seeds with the current calendar time.
    virtual void Randomize() = 0;
    // first + rand() mod (last - first); first when equal. Lies in [first, last).
    virtual int RandomInt(int first, int last) = 0;
    // a + rand() / 32767 * (b - a); a when equal.
    virtual float RandomFloat(float a, float b) = 0;
    // RandomFloat(a, b) per component.
    virtual void RandomVector2(cVector2& out, float a, float b) = 0;
    // Shows or hides the mouse cursor.
    virtual void ShowCursor(bool show) = 0;
    // The renderer (null before a window exists).
    virtual video::IRenderer* GetRenderer() = 0;
    // The sound engine, created on the first call; null when none can be had (tried again next call).
    virtual sound::ISoundEngine* GetSoundEngine() = 0;
    // The GUI manager; created when absent and create is true.
    virtual gui::IGUIManager* GetGUIManager(bool create) = 0;
    // The scene manager (a member object).
    virtual scene::cSceneManager* GetSceneManager() = 0;
    // The file system.
    virtual IFileSystem* GetFileSystem() = 0;
    // The input.
    virtual IInput* GetInput() = 0;
    // The process-wide version text.
    virtual const char* GetVersionString() const = 0;
    // Loads a config file; null with a warning when the name is null.
    virtual IConfig* OpenConfig(const char* fileName) = 0;
    // A new, separate HTML log opened on the file (returned also when opening failed).
    virtual ILog* OpenLog(const char* fileName) = 0;
    // A new script environment; null with a warning on failure.
    virtual script::IScriptEnv* CreateScriptEnv() = 0;
    // A file over the caller's memory block.
    virtual IFile* OpenFile(void* data, std::size_t size) = 0;
    // A disk file; null with a warning on failure.
    virtual IFile* OpenFile(const char* path, const char* mode) = 0;
    // A new scene resource manager; null with a warning on failure.
    virtual scene::IResourceManager* CreateResourceManager() = 0;
};

} // namespace velmora

#pragma once
// The engine on SDL: window binding, timer, gamma ramp, event handling.

#include <cstdint>

#include "engine/cCommonEngine.h"

struct SDL_Window;
union SDL_Event;

namespace velmora {

class cSDLInput;

class cSDLEngine : public cCommonEngine {
public:
    cSDLEngine();
    ~cSDLEngine() override;

    bool CreateWindow(const sRendererDesc& desc, int width, int height, bool fullscreen, int refresh,
                      int bits) override;
    using cCommonEngine::CreateWindow;
    void DestroyWindow() override;
    bool Restart(int rendererId, int width, int height, bool fullscreen, int refresh) override;
    void Run() override;
    int ProcessMessages() override;
    sWindowRect GetClientRect() override;
    bool IsRendererSupported(int rendererId) const override;
    float GetTime() override;
    void SetWindowCaption(const std::string& caption) override;
    cVector2 GetWindowPosition() override;
    sWindowRect GetWindowRect() override;
    void ShowCursor(bool show) override;

    // Binds the engine to a window it did not create and creates the renderer on it.
    bool AttachToWindow(const sRendererDesc& desc, tWindowHandle window);
    // The engine's event handling for its own windows: quit, last key, GUI events.
    void HandleEvent(const SDL_Event& event);
    // True once a quit was requested.
    bool IsQuitRequested() const { return m_QuitRequested; }
    // The window the engine draws into (null before one exists).
    SDL_Window* GetWindow() const { return m_Window; }

protected:
    bool ApplyGammaRamp(const unsigned short* red, const unsigned short* green, const unsigned short* blue) override;
    void RestoreGammaRamp() override;
    void RefreshClientSize() override;
    void CaptureInput() override;

private:
    bool CreateRenderer(const sRendererDesc& desc);
    bool ChangeVideoMode(int bits, int width, int height, int refresh);
    void SaveGammaRamp();
    bool IsWindowAlive() const;
    void CacheRects();

    SDL_Window* m_Window = nullptr;
    std::uint32_t m_WindowId = 0;
    bool m_Attached = false;
    bool m_OwnsWindow = false;
    bool m_SDLVideo = false;
    bool m_QuitRequested = false;

    std::uint64_t m_Frequency = 0;
    float m_SecondsPerTick = 0.0f;
    bool m_HighResolution = false;
    std::uint64_t m_StartCount = 0;

    sWindowRect m_ClientRect;
    sWindowRect m_WindowRect;

    bool m_GammaSaved = false;
    unsigned short m_SavedGamma[3][256] = {};
    int m_GammaRestoreDepth = 0;
    double m_RunStartSeconds = -1.0;
};

} // namespace velmora

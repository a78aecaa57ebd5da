#pragma once
// The engine on Windows: window binding (an attached window or one of its own,
// class "VelmorEngine"), the performance-counter timer, the desktop gamma
// ramp, display modes and the window messages.

#include <cstdint>

#include "engine/cCommonEngine.h"

namespace velmora {

class cWin32Input;

class cWin32Engine : public cCommonEngine {
public:
    cWin32Engine();
    ~cWin32Engine() override;

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

    // Binds the engine to a window it did not create (an HWND) and creates the renderer on it.
    bool AttachToWindow(const sRendererDesc& desc, tWindowHandle window);
    // The window procedure of the engine's own windows: close, last key, GUI events. Returns
    // true when it handled the message fully (the caller then skips the default handling).
    bool HandleMessage(void* window, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
    // The window the engine draws into (null before one exists).
    void* GetWindow() const { return m_Window; }

protected:
    bool ApplyGammaRamp(const unsigned short* red, const unsigned short* green, const unsigned short* blue) override;
    void RestoreGammaRamp() override;
    void RefreshClientSize() override;
    void CaptureInput() override;

private:
    bool CreateRenderer(const sRendererDesc& desc);
    bool ChangeVideoMode(int bits, int width, int height, int refresh);
    void CacheRects();

    void* m_Window = nullptr;
    void* m_Instance = nullptr;
    bool m_ClassRegistered = false;
    bool m_Attached = false;
    bool m_QuitPosted = false;

    std::int64_t m_Frequency = 0;
    float m_SecondsPerTick = 0.0f;
    bool m_HighResolution = false;
    std::int64_t m_StartCount = 0;

    sWindowRect m_ClientRect;
    sWindowRect m_WindowRect;

    bool m_GammaSaved = false;
    unsigned short m_SavedGamma[3][256] = {};
    int m_GammaRestoreDepth = 0;
    double m_RunStartSeconds = -1.0;
};

} // namespace velmora

#pragma once
// The Windows window of a run: a top-most pop-up of class "SSWndClass"
// covering the desktop (or sized to the stored video mode), its message loop
// (a key or a mouse button ends the run; the close and screensave system
// commands are swallowed) and the frame pacing.

#include "app/HostOptions.h"
#include "app/IScreensaverWindow.h"
#include "engine/core/cFramePacer.h"

namespace brevonne {

class cWin32ScreensaverWindow : public IScreensaverWindow {
public:
    explicit cWin32ScreensaverWindow(const sHostOptions& host);
    ~cWin32ScreensaverWindow() override;
    cWin32ScreensaverWindow(const cWin32ScreensaverWindow&) = delete;
    cWin32ScreensaverWindow& operator=(const cWin32ScreensaverWindow&) = delete;

    bool Open(const cSettingsRecord& settings, velmora::sRendererDesc& desc) override;
    velmora::tWindowHandle GetHandle() const override { return m_Window; }
    void SetUpPacing(bool unpaced, int frameRateCap, double delaySeconds) override;
    bool ProcessMessages() override;
    void WaitForNextFrame() override { m_Pacer.Wait(); }
    void Close() override;

private:
    sHostOptions m_Host;
    void* m_Window = nullptr;
    void* m_Instance = nullptr;
    bool m_ClassRegistered = false;
    bool m_QuitPosted = false;
    velmora::cFramePacer m_Pacer;
};

} // namespace brevonne

#pragma once
// The Windows window of a run: a top-most pop-up of class "SSWndClass"
// covering the desktop (or sized to the stored video mode), its message loop
// (a key or a mouse button ends the run; the close and screensave system
// commands are swallowed) and the frame pacing. A preview ("/P HWND") draws
// into the settings page's window through an output viewport instead: the
// device sits on a hidden window of the same size, and the run ends when the
// page's window goes.

#include <string>

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

    // The host options of "/P HWND" (the upper-cased command-line copy; "/P:HWND" too): false
    // unless the number names an existing window.
    static bool ParsePreviewHost(const std::string& commandLine, sHostOptions& host);

    bool Open(const cSettingsRecord& settings, velmora::sRendererDesc& desc) override;
    velmora::tWindowHandle GetHandle() const override { return m_Window; }
    void Attached(velmora::IEngine& engine) override;
    void SetUpPacing(bool unpaced, int frameRateCap, double delaySeconds) override;
    bool ProcessMessages() override;
    void WaitForNextFrame() override { m_Pacer.Wait(); }
    void Close() override;

private:
    bool RegisterWindowClass();
    bool OpenPreview(velmora::sRendererDesc& desc);

    sHostOptions m_Host;
    void* m_PreviewParent = nullptr;
    void* m_Window = nullptr;
    void* m_Instance = nullptr;
    bool m_ClassRegistered = false;
    bool m_QuitPosted = false;
    velmora::cFramePacer m_Pacer;
};

} // namespace brevonne

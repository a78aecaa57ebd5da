// The Windows platform's side of the screensaver shell: the one place that
// names its classes (the screensaver window, the registry settings store, the
// dialog resource's view).
#include <memory>

#include "app/ConfigDialogView.h"
#include "app/IScreensaverWindow.h"
#include "app/ISettingsStore.h"
#include "app/win32/cWin32ConfigDialog.h"
#include "app/win32/cWin32ScreensaverWindow.h"
#include "app/win32/cWin32SettingsStore.h"

namespace brevonne {

std::unique_ptr<IScreensaverWindow> CreateScreensaverWindow(const sHostOptions& host) {
    return std::make_unique<cWin32ScreensaverWindow>(host);
}

bool GetPreviewHost(const std::string& commandLine, sHostOptions& host) {
    return cWin32ScreensaverWindow::ParsePreviewHost(commandLine, host);
}

ISettingsStore& GetPlatformSettingsStore() {
    static cWin32SettingsStore store;
    return store;
}

bool RunConfigDialogView(cConfigDialog& dialog, std::string& reason) {
    cWin32ConfigDialog view(dialog);
    return view.Run(reason);
}

} // namespace brevonne

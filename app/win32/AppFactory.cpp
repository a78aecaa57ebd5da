// The Windows platform's side of the screensaver shell: the one place that
// names its classes (the screensaver window, the registry settings store).
#include <memory>

#include "app/ConfigDialogView.h"
#include "app/IScreensaverWindow.h"
#include "app/ISettingsStore.h"
#include "app/win32/cWin32ScreensaverWindow.h"
#include "app/win32/cWin32SettingsStore.h"

namespace brevonne {

std::unique_ptr<IScreensaverWindow> CreateScreensaverWindow(const sHostOptions& host) {
    return std::make_unique<cWin32ScreensaverWindow>(host);
}

ISettingsStore& GetPlatformSettingsStore() {
    static cWin32SettingsStore store;
    return store;
}

bool RunConfigDialogView(cConfigDialog&, std::string& reason) {
    // The dialog resource of the Windows build is still to come.
    reason = "the settings dialog is not part of this build yet";
    return false;
}

} // namespace brevonne

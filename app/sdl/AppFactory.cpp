// The Linux platform's side of the screensaver shell: the one place that names
// its classes (SDL window, POSIX settings store, GTK dialog).
#include <memory>

#include "app/ConfigDialogView.h"
#include "app/IScreensaverWindow.h"
#include "app/ISettingsStore.h"
#include "app/gtk/cGTKConfigDialog.h"
#include "app/sdl/cPosixSettingsStore.h"
#include "app/sdl/cSDLScreensaverWindow.h"

namespace brevonne {

std::unique_ptr<IScreensaverWindow> CreateScreensaverWindow(const sHostOptions& host) {
    return std::make_unique<cSDLScreensaverWindow>(host);
}

bool GetPreviewHost(const std::string&, sHostOptions&) {
    // The Linux hosts make previews with their own command lines.
    return false;
}

ISettingsStore& GetPlatformSettingsStore() {
    static cPosixSettingsStore store;
    return store;
}

bool RunConfigDialogView(cConfigDialog& dialog, std::string& reason) {
    if (!cGTKConfigDialog::StartToolkit(reason)) {
        return false;
    }
    cGTKConfigDialog view(dialog);
    view.Create();
    view.Run();
    return true;
}

} // namespace brevonne

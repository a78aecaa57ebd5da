// The Windows platform's side of the screensaver shell: the one place that
// names its classes (so far the registry settings store).
#include "app/ISettingsStore.h"
#include "app/win32/cWin32SettingsStore.h"

namespace brevonne {

ISettingsStore& GetPlatformSettingsStore() {
    static cWin32SettingsStore store;
    return store;
}

} // namespace brevonne

#include "app/ScreensaverMain.h"
#include "app/cSettings.h"

namespace brevonne {

void RunConfigDialog() { GetSettings().SetupScreensaver(); }

} // namespace brevonne

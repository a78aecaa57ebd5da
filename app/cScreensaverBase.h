#pragma once
// The platform base of the screensaver application object.

#if defined(_WIN32)
#include "app/win32/cWin32Screensaver.h"
namespace brevonne { using cScreensaverBase = cWin32Screensaver; }
#else
#include "app/sdl/cSDLScreensaver.h"
namespace brevonne { using cScreensaverBase = cSDLScreensaver; }
#endif

#include "app/Globals.h"

namespace brevonne {

std::string& ScreensaverName() {
    static std::string name;
    return name;
}

std::string& WorkingDirectory() {
    static std::string folder;
    return folder;
}

} // namespace brevonne

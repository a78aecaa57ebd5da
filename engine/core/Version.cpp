#include "engine/core/Version.h"

#include <string>

namespace velmora {

const char* GetVersionText() {
    static const std::string text = std::string(kEngineName) + kBuildKind + " " + kPlatformName + "-" + kArchName +
                                    " " + kBuildDate + " " + kBuildTime;
    return text.c_str();
}

} // namespace velmora

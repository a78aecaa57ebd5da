#pragma once
// The screensaver application object: the island flight on top of the engine.

#include "app/cScreensaverBase.h"

namespace brevonne {

class cScreensaver : public cScreensaverBase {
public:
    cScreensaver(const std::string& commandLine, const std::vector<std::string>& args);
    ~cScreensaver() override;

    bool Create() override;
    bool Destroy() override;
    bool Render() override;
};

} // namespace brevonne

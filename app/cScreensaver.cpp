#include "app/cScreensaver.h"

#include "app/cSettings.h"
#include "engine/IEngine.h"

namespace brevonne {

cScreensaver::cScreensaver(const std::string& commandLine, const std::vector<std::string>& args)
    : cScreensaverBase(commandLine, args) {}

cScreensaver::~cScreensaver() = default;

bool cScreensaver::Create() {
    if (!cScreensaverBase::Create()) {
        return false;
    }
    // The desktop gamma follows the settings (-1..1 maps to -0.25..0.25; 0 keeps the desktop's ramp).
    m_Engine->SetGamma(GetSettings().GetRecord().gamma * 0.25f, 1.0f);
    m_Engine->Randomize();
    return true;
}

bool cScreensaver::Destroy() { return cScreensaverBase::Destroy(); }

bool cScreensaver::Render() { return cScreensaverBase::Render(); }

} // namespace brevonne

#include "app/cScreensaver.h"

namespace brevonne {

cScreensaver::cScreensaver(const std::string& commandLine, const std::vector<std::string>& args)
    : cScreensaverBase(commandLine, args) {}

cScreensaver::~cScreensaver() = default;

bool cScreensaver::Create() { return cScreensaverBase::Create(); }

bool cScreensaver::Destroy() { return cScreensaverBase::Destroy(); }

bool cScreensaver::Render() { return cScreensaverBase::Render(); }

} // namespace brevonne

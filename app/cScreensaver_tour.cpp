// cScreensaver: the review tour ("-tour SHOTS FOLDER"). Every path of the
// scene, in the scene's order, is shown at SHOTS evenly spaced parameters,
// drawn exactly as the flight draws it but without the fade, and written to
// FOLDER as PNG; the run ends after the last shot.
#include <filesystem>
#include <system_error>

#include "app/cScreensaver.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "scene/IScenePath.h"

namespace brevonne {

using namespace velmora;

void cScreensaver::PlaceTourCamera() {
    const std::vector<scene::IScenePath*>& paths = GetScenePaths();
    if (!m_TourStarted) {
        m_TourStarted = true;
        m_Tour.Start(paths.size(), m_Options.tourShots);
        if (paths.empty()) {
            RaiseError("cScreensaver::Render : no paths found");
        }
        std::error_code error;
        std::filesystem::create_directories(m_Options.tourFolder, error);
        if (error) {
            RaiseError("cScreensaver::Render : failed to create the tour folder '%s'", m_Options.tourFolder.c_str());
        }
        LogMessage("Touring %d path(s), %d shot(s) each, into '%s'\n", static_cast<int>(paths.size()),
                   m_Options.tourShots, m_Options.tourFolder.c_str());
    }
    if (m_Tour.IsDone() || m_Tour.GetPathIndex() >= paths.size()) {
        return;
    }
    m_Flight.Jump(paths[m_Tour.GetPathIndex()], m_Tour.GetParameter());
    if (m_Camera) {
        m_Flight.PlaceCamera(*m_Camera);
    }
}

bool cScreensaver::SaveTourShot() {
    if (m_Tour.IsDone()) {
        return false;
    }
    const scene::IScenePath* path = m_Flight.GetCurrentPath();
    const std::string file = cTour::ShotFileName(m_Options.tourFolder, m_Tour.GetPathIndex(),
                                                 path ? path->GetName() : std::string(), m_Tour.GetShotIndex());
    if (!WriteFrame(file)) {
        RaiseError("cScreensaver::Render : failed to write the tour shot '%s'", file.c_str());
    }
    LogMessage("Tour shot t = %.4f to '%s'\n", static_cast<double>(m_Tour.GetParameter()), file.c_str());
    m_Tour.Next();
    return !m_Tour.IsDone();
}

} // namespace brevonne

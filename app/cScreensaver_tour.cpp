// cScreensaver: the review tour ("-tour SHOTS FOLDER"). Every path of the
// scene, in the scene's order, is shown at SHOTS evenly spaced parameters,
// drawn exactly as the flight draws it but without the fade, and written to
// FOLDER as PNG; the run ends after the last shot. With "-tourframes N" every
// shot is N consecutive frames one flight step apart, so that motion can be
// checked frame by frame.
#include <cstdio>
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
    scene::IScenePath* path = paths[m_Tour.GetPathIndex()];
    // Each further frame of a shot is one flight step on, as the flight would move in that time.
    const float step = path ? kBenchmarkStep * m_Host.speed * path->GetCameraSpeed() : 0.0f;
    m_Flight.Jump(path, m_Tour.GetParameter() + static_cast<float>(m_TourFrame) * step);
    if (m_Camera) {
        m_Flight.PlaceCamera(*m_Camera);
    }
}

bool cScreensaver::SaveTourShot() {
    if (m_Tour.IsDone()) {
        return false;
    }
    const scene::IScenePath* path = m_Flight.GetCurrentPath();
    std::string file = cTour::ShotFileName(m_Options.tourFolder, m_Tour.GetPathIndex(),
                                           path ? path->GetName() : std::string(), m_Tour.GetShotIndex());
    if (m_Options.tourFrames > 1) {
        // "<shot>_<frame>.png", the frame with three digits so that the names sort in order.
        char suffix[16];
        std::snprintf(suffix, sizeof(suffix), "_%03d.png", m_TourFrame);
        file = file.substr(0, file.size() - 4) + suffix;
    }
    if (!WriteFrame(file)) {
        RaiseError("cScreensaver::Render : failed to write the tour shot '%s'", file.c_str());
    }
    LogMessage("Tour shot t = %.4f to '%s'\n", static_cast<double>(m_Flight.GetParameter()), file.c_str());
    if (++m_TourFrame < m_Options.tourFrames) {
        return true;
    }
    m_TourFrame = 0;
    m_Tour.Next();
    return !m_Tour.IsDone();
}

} // namespace brevonne

#include "app/cFlight.h"

#include <algorithm>

#include "scene/IScenePath.h"
#include "scene/camera/cCamera.h"

namespace brevonne {

using velmora::cVector3;
using velmora::scene::IScenePath;

void cFlight::ChooseNextPath(const std::vector<IScenePath*>& paths) {
    if (paths.empty()) {
        m_Current = nullptr;
        return;
    }
    auto flown = [&](IScenePath* path) { return std::find(m_Flown.begin(), m_Flown.end(), path) != m_Flown.end(); };
    // The count alone is not enough when the list changed since the last clearing: with every
    // path of the list flown, the search below would never end.
    if (m_Flown.size() >= paths.size() || std::all_of(paths.begin(), paths.end(), flown)) {
        m_Flown.clear();
    }
    const int count = static_cast<int>(paths.size());
    IScenePath* candidate = nullptr;
    do {
        int index = m_Random ? m_Random(0, count) : 0;
        if (index < 0 || index >= count) index = 0;
        candidate = paths[static_cast<std::size_t>(index)];
    } while (flown(candidate));
    m_Current = candidate;
    m_Flown.push_back(candidate);
}

void cFlight::Advance(float frameTime, const std::vector<IScenePath*>& paths) {
    if (!m_Current) return;
    m_T += frameTime * m_Current->GetCameraSpeed();
    if (m_T >= 1.0f) {
        ChooseNextPath(paths);
        m_T = 0.0f;
    }
}

void cFlight::PlaceCamera(velmora::scene::cCamera& camera) const {
    if (!m_Current) return;
    m_Current->Evaluate(camera.position, m_T);
    if (IScenePath* target = m_Current->GetTargetPath()) {
        cVector3 point;
        target->Evaluate(point, m_T);
        camera.LookAt(point);
    }
}

} // namespace brevonne

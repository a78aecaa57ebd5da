#include "app/cTour.h"

namespace brevonne {

void cTour::Start(std::size_t pathCount, int shots) {
    m_PathCount = pathCount;
    m_Shots = shots;
    m_Path = 0;
    m_Shot = 0;
}

void cTour::Next() {
    if (IsDone()) return;
    if (++m_Shot >= m_Shots) {
        m_Shot = 0;
        ++m_Path;
    }
}

float cTour::ShotParameter(int shot, int shots) {
    if (shots <= 0) return 0.5f;
    return (static_cast<float>(shot) + 0.5f) / static_cast<float>(shots);
}

std::string cTour::ShotFileName(const std::string& folder, std::size_t pathIndex, const std::string& pathName,
                                int shot) {
    // A name never leaves the folder: no separators, no "..", nothing a shell would trip over.
    std::string name;
    for (char c : pathName) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '_';
        name += keep ? c : '_';
    }
    const std::string index = std::to_string(pathIndex);
    if (name.empty()) name = index;
    std::string file = folder;
    if (!file.empty() && file.back() != '/') file += '/';
    return file + index + "_" + name + "_" + std::to_string(shot) + ".png";
}

} // namespace brevonne

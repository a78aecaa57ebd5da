#pragma once
// The review tour: every camera path of the scene, in the scene's order, shown
// at a few evenly spaced parameters, each frame written to a folder as PNG so
// the island's content can be looked over without watching a whole flight.

#include <cstddef>
#include <string>

namespace brevonne {

class cTour {
public:
    // Starts over with `shots` frames on each of `pathCount` paths (nothing to do when either is 0).
    void Start(std::size_t pathCount, int shots);

    // True once every shot was taken (and before Start).
    bool IsDone() const { return m_Shots <= 0 || m_Path >= m_PathCount; }
    std::size_t GetPathIndex() const { return m_Path; }
    int GetShotIndex() const { return m_Shot; }
    // The path parameter of the current shot.
    float GetParameter() const { return ShotParameter(m_Shot, m_Shots); }
    // On to the next shot: the next parameter, or the first one of the next path.
    void Next();

    // (shot + 0.5) / shots: the middles of `shots` equal pieces of [0, 1], so no shot falls on
    // a path's ends (where the flight fades). 0.5 when shots is not positive.
    static float ShotParameter(int shot, int shots);
    // "<folder>/<pathIndex>_<name>_<shot>.png" with the path's name made safe for a file name
    // (anything but ASCII letters, digits, '-' and '_' becomes '_'); the path index stands
    // for an empty name. No '/' is added after a folder that ends in one.
    static std::string ShotFileName(const std::string& folder, std::size_t pathIndex, const std::string& pathName,
                                    int shot);

private:
    std::size_t m_PathCount = 0;
    int m_Shots = 0;
    std::size_t m_Path = 0;
    int m_Shot = 0;
};

} // namespace brevonne

#pragma once
// The camera flight over the scene's paths: the path parameter t, the path
// being flown and the paths flown since the last list clearing. Every path is
// flown once, in random order, before any path repeats.

#include <cstddef>
#include <functional>
#include <vector>

namespace velmora::scene {
class IScenePath;
class cCamera;
}

namespace brevonne {

class cFlight {
public:
    // An index in [first, last) (the engine's RandomInt).
    using tRandom = std::function<int(int first, int last)>;

    explicit cFlight(tRandom random) : m_Random(std::move(random)) {}

    // Makes room in the flown list for the scene's path count.
    void Reserve(std::size_t count) { m_Flown.reserve(count); }

    // Picks the next path at random among those not flown since the list was last cleared; the
    // list is cleared first when every path of `paths` has been flown. No paths: no current path.
    void ChooseNextPath(const std::vector<velmora::scene::IScenePath*>& paths);

    // t += frameTime x the current path's speed; at t >= 1 the next path is chosen and t restarts
    // at 0. Does nothing without a current path.
    void Advance(float frameTime, const std::vector<velmora::scene::IScenePath*>& paths);

    // Makes `path` the current path at parameter t, leaving the flown list alone (the review tour).
    void Jump(velmora::scene::IScenePath* path, float t) {
        m_Current = path;
        m_T = t;
    }

    // Puts the camera at the current path's point for t, looking at its target path's point.
    void PlaceCamera(velmora::scene::cCamera& camera) const;

    velmora::scene::IScenePath* GetCurrentPath() const { return m_Current; }
    float GetParameter() const { return m_T; }
    const std::vector<velmora::scene::IScenePath*>& GetFlownPaths() const { return m_Flown; }

private:
    tRandom m_Random;
    velmora::scene::IScenePath* m_Current = nullptr;
    float m_T = 0.0f;
    std::vector<velmora::scene::IScenePath*> m_Flown;
};

} // namespace brevonne

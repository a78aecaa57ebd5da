// The flight: the path chooser, the path parameter, the fade, the mouse rule,
// the clock text and the flight's projection.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <vector>

#include "app/FlightFrame.h"
#include "app/cFlight.h"
#include "scene/IScenePath.h"
#include "scene/camera/cCamera.h"

using namespace brevonne;
using velmora::cVector3;
using velmora::scene::IScenePath;
using velmora::scene::sPathSegment;

namespace {

// A straight path from `from` to `to` whose target path runs parallel, one unit higher.
class cLinePath : public IScenePath {
public:
    cLinePath(cVector3 from, cVector3 to, float speed, bool withTarget = true) : m_From(from), m_To(to), m_Speed(speed) {
        if (withTarget) m_Target = new cLinePath(from + cVector3(0, 1, 0), to + cVector3(0, 1, 0), speed, false);
    }
    ~cLinePath() override { delete m_Target; }
    IScenePath* AddRef() override { return this; }
    void Release() override {}
    void AddPoint(const cVector3&) override {}
    void AddSegment(const sPathSegment&) override {}
    void SetName(const std::string&) override {}
    void SetCameraSpeed(float speed) override { m_Speed = speed; }
    cVector3& Evaluate(cVector3& out, float t) const override {
        out = m_From + (m_To - m_From) * t;
        return out;
    }
    const std::vector<sPathSegment>& GetSegments() const override { return m_Segments; }
    const std::string& GetName() const override { return m_Name; }
    IScenePath* GetTargetPath() const override { return m_Target; }
    float GetCameraSpeed() const override { return m_Speed; }

private:
    cVector3 m_From, m_To;
    float m_Speed;
    cLinePath* m_Target = nullptr;
    std::vector<sPathSegment> m_Segments;
    std::string m_Name;
};

// Random indices from a script, then a fixed fallback; counts the calls.
struct sScriptedRandom {
    std::deque<int> script;
    int fallback = 0;
    int calls = 0;
    int operator()(int first, int last) {
        ++calls;
        EXPECT_EQ(first, 0);
        EXPECT_GT(last, 0);
        if (script.empty()) return fallback;
        const int value = script.front();
        script.pop_front();
        return value;
    }
};

} // namespace

TEST(PathChooser, EveryPathOnceBeforeAnyRepeats) {
    cLinePath a({0, 0, 0}, {1, 0, 0}, 1.0f), b({0, 0, 0}, {2, 0, 0}, 1.0f), c({0, 0, 0}, {3, 0, 0}, 1.0f);
    const std::vector<IScenePath*> paths = {&a, &b, &c};
    sScriptedRandom random;
    // Repeated draws of paths already flown are drawn again.
    random.script = {1, 1, 1, 0, 1, 0, 2};
    sScriptedRandom* r = &random;
    cFlight flight([r](int first, int last) { return (*r)(first, last); });
    flight.ChooseNextPath(paths);
    flight.ChooseNextPath(paths);
    flight.ChooseNextPath(paths);
    EXPECT_EQ(flight.GetFlownPaths(), (std::vector<IScenePath*>{&b, &a, &c}));
    EXPECT_EQ(random.calls, 7);

    // After the list is cleared the path just finished may come again at once.
    random.script = {2};
    flight.ChooseNextPath(paths);
    EXPECT_EQ(flight.GetCurrentPath(), &c);
    EXPECT_EQ(flight.GetFlownPaths(), (std::vector<IScenePath*>{&c}));
}

TEST(PathChooser, NoPathsAndChangedPathLists) {
    cLinePath a({0, 0, 0}, {1, 0, 0}, 1.0f), b({0, 0, 0}, {2, 0, 0}, 1.0f), c({0, 0, 0}, {3, 0, 0}, 1.0f);
    sScriptedRandom random;
    sScriptedRandom* r = &random;
    cFlight flight([r](int first, int last) { return (*r)(first, last); });
    flight.ChooseNextPath({});
    EXPECT_EQ(flight.GetCurrentPath(), nullptr);
    flight.Advance(10.0f, {});  // nothing to fly
    EXPECT_EQ(flight.GetParameter(), 0.0f);

    // Two of three flown, then a list that holds only those two (one twice): the chooser starts
    // a new round instead of searching for ever.
    random.script = {0, 1};
    flight.ChooseNextPath({&a, &b, &c});
    flight.ChooseNextPath({&a, &b, &c});
    random.script = {1};
    flight.ChooseNextPath({&a, &b, &a});
    EXPECT_EQ(flight.GetCurrentPath(), &b);
    EXPECT_EQ(flight.GetFlownPaths().size(), 1u);
}

TEST(FlightParameter, SinglePathRepeatsFromTheStart) {
    cLinePath only({0, 0, 0}, {10, 0, 0}, 0.25f);
    const std::vector<IScenePath*> paths = {&only};
    cFlight flight([](int first, int) { return first; });
    flight.ChooseNextPath(paths);
    flight.Advance(2.0f, paths);
    EXPECT_FLOAT_EQ(flight.GetParameter(), 0.5f);
    velmora::scene::cCamera camera;
    flight.PlaceCamera(camera);
    EXPECT_FLOAT_EQ(camera.position.x, 5.0f);
    // Looking at the target path's point one unit above.
    EXPECT_NEAR(camera.direction.y, 1.0f, 1e-6f);

    flight.Advance(2.0f, paths);  // reaches 1: the same path again, from 0
    EXPECT_EQ(flight.GetCurrentPath(), &only);
    EXPECT_EQ(flight.GetParameter(), 0.0f);
    flight.PlaceCamera(camera);
    EXPECT_EQ(camera.position.x, 0.0f);
    // A long first frame ends the path at once, whatever its length.
    flight.Advance(1000.0f, paths);
    EXPECT_EQ(flight.GetParameter(), 0.0f);
}

TEST(FlightFrameRules, FadeOverTheLastPercentOfAPath) {
    EXPECT_EQ(GetFade(0.0f), 0.0f);
    EXPECT_EQ(GetFade(0.97f), 0.0f);
    EXPECT_EQ(GetFade(0.975f), 0.0f);
    EXPECT_NEAR(GetFade(0.9875f), 0.5f, 1e-4f);
    EXPECT_NEAR(GetFade(0.999999f), 1.0f, 1e-4f);
    EXPECT_EQ(GetFadeAlpha(0.0f), 0);
    EXPECT_EQ(GetFadeAlpha(GetFade(0.9875f)), 127);
    EXPECT_EQ(GetFadeAlpha(1.0f), 255);
    EXPECT_EQ(GetFadeAlpha(1.5f), 255);
}

TEST(FlightFrameRules, FivePixelsOfMouseMovementEndTheRun) {
    float firstX = -1.0f, firstY = -1.0f;
    EXPECT_FALSE(HasMouseMoved(firstX, firstY, 100.0f, 200.0f));  // recorded
    EXPECT_EQ(firstX, 100.0f);
    EXPECT_FALSE(HasMouseMoved(firstX, firstY, 104.0f, 196.0f));
    EXPECT_FALSE(HasMouseMoved(firstX, firstY, 95.5f, 204.9f));
    EXPECT_TRUE(HasMouseMoved(firstX, firstY, 105.0f, 200.0f));
    EXPECT_TRUE(HasMouseMoved(firstX, firstY, 100.0f, 195.0f));
    EXPECT_EQ(firstX, 100.0f);  // the first position stays
}

TEST(FlightFrameRules, ClockText) {
    EXPECT_EQ(FormatClock(0, 0, 0), "00 : 00 : 00");
    EXPECT_EQ(FormatClock(9, 5, 30), "09 : 05 : 30");
    EXPECT_EQ(FormatClock(23, 59, 59), "23 : 59 : 59");
}

TEST(FlightFrameRules, ProjectionMapsNearAndFarPlanes) {
    const velmora::cMatrix m = MakeFlightProjection(16.0f / 9.0f);
    // Clip z / w of points on the axis at the near and far distances.
    auto depth = [&](float distance) { return (-distance * m.m[10] + m.m[14]) / (-distance * m.m[11]); };
    EXPECT_NEAR(depth(0.05f), -1.0f, 1e-4f);
    EXPECT_NEAR(depth(500.0f), 1.0f, 1e-4f);
    EXPECT_NEAR(m.m[5], 1.0f, 1e-6f);  // 90 degrees
    EXPECT_NEAR(m.m[0], 9.0f / 16.0f, 1e-6f);
}

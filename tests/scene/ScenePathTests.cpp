// Camera paths: the curve through its segments, the nested target path, the
// flight speed and paths built point by point.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/cScenePath.h"

using namespace velmora;
using namespace velmora::scene;

namespace {

sPathSegment Segment(cVector3 start, cVector3 startControl, cVector3 endControl, cVector3 end) {
    sPathSegment s;
    s.start = start;
    s.startControl = startControl;
    s.endControl = endControl;
    s.end = end;
    return s;
}

cVector3 At(const IScenePath& path, float t) {
    cVector3 out(-999, -999, -999);
    path.Evaluate(out, t);
    return out;
}

void ExpectNear(const cVector3& a, const cVector3& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// Two segments meeting at (10, 0, 0) with controls in line through the joint.
struct sTwoSegments {
    cScenePath path;
    sTwoSegments() {
        path.AddSegment(Segment({0, 0, 0}, {3, 3, 0}, {7, 3, 0}, {10, 0, 0}));
        path.AddSegment(Segment({10, 0, 0}, {13, -3, 0}, {17, -3, 0}, {20, 5, 0}));
    }
};

} // namespace

TEST(ScenePath, EvaluatesTheCubicBezierOfEachSegmentOverAnEqualShareOfT) {
    sTwoSegments s;
    ExpectNear(At(s.path, 0.0f), {0, 0, 0});
    // The middle of the first segment: (start + 3 sc + 3 ec + end) / 8.
    ExpectNear(At(s.path, 0.25f), {5, 2.25f, 0});
    // t = 0.5 is the start of the second segment, which is the end of the first.
    ExpectNear(At(s.path, 0.5f), {10, 0, 0});
    ExpectNear(At(s.path, 0.75f), {15, (0 - 9 - 9 + 5) / 8.0f, 0});
    ExpectNear(At(s.path, 1.0f), {20, 5, 0});
}

TEST(ScenePath, IsContinuousAndSmoothAcrossAJoint) {
    sTwoSegments s;
    const float e = 1e-4f;
    const cVector3 before = At(s.path, 0.5f - e), joint = At(s.path, 0.5f), after = At(s.path, 0.5f + e);
    ExpectNear(before, joint, 0.01f);
    ExpectNear(after, joint, 0.01f);
    // With the controls in line the direction of travel does not turn at the joint.
    const cVector3 in = (joint - before).Normalized(), out = (after - joint).Normalized();
    EXPECT_GT(Dot(in, out), 0.999f);
}

TEST(ScenePath, HoldsParametersOutsideTheRangeAtTheEnds) {
    sTwoSegments s;
    ExpectNear(At(s.path, -0.5f), {0, 0, 0});
    ExpectNear(At(s.path, 7.0f), {20, 5, 0});
    ExpectNear(At(s.path, std::nanf("")), {0, 0, 0});
}

TEST(ScenePath, AnEmptyPathLeavesThePointAsItWas) {
    cScenePath path;
    cVector3 out(1, 2, 3);
    path.Evaluate(out, 0.5f);
    ExpectNear(out, {1, 2, 3});
}

TEST(ScenePath, ASegmentOfFourEqualPointsKeepsTheCameraStill) {
    cScenePath path;
    const cVector3 p(4, 5, 6);
    path.AddSegment(Segment(p, p, p, p));
    for (float t : {0.0f, 0.3f, 0.99f}) {
        ExpectNear(At(path, t), p);
    }
}

TEST(ScenePath, TheTargetPathIsEvaluatedWithTheSameParameter) {
    cScenePath path;
    path.AddSegment(Segment({0, 0, 0}, {0, 0, 0}, {10, 0, 0}, {10, 0, 0}));
    IScenePath* target = path.GetTargetPath();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->GetTargetPath(), nullptr);
    EXPECT_EQ(path.GetTargetPath(), target);
    target->AddSegment(Segment({0, 5, 0}, {0, 5, 0}, {0, 5, 10}, {0, 5, 10}));
    EXPECT_EQ(path.GetSegments().size(), 1u);
    ExpectNear(At(path, 0.5f), {5, 0, 0});
    ExpectNear(At(*target, 0.5f), {0, 5, 5});
}

TEST(ScenePath, SpeedNameAndReferenceCount) {
    cScenePath* path = new cScenePath();
    EXPECT_FLOAT_EQ(path->GetCameraSpeed(), 0.015f);
    EXPECT_EQ(path->GetName(), "");
    path->SetCameraSpeed(0.04f);
    path->SetName("beach");
    EXPECT_FLOAT_EQ(path->GetCameraSpeed(), 0.04f);
    EXPECT_EQ(path->GetName(), "beach");
    EXPECT_EQ(path->AddRef(), path);
    path->Release();
    EXPECT_EQ(path->GetName(), "beach"); // still alive after one of two releases
    path->Release();
}

TEST(ScenePath, AddPointBuildsSegmentsWithControlsAtAQuarterAndSmoothJoints) {
    cScenePath path;
    path.AddPoint({0, 0, 0});
    ASSERT_EQ(path.GetSegments().size(), 1u);
    ExpectNear(path.GetSegments()[0].end, {0, 0, 0});

    path.AddPoint({8, 0, 0});
    ASSERT_EQ(path.GetSegments().size(), 1u);
    const sPathSegment& first = path.GetSegments()[0];
    ExpectNear(first.start, {0, 0, 0});
    ExpectNear(first.end, {8, 0, 0});
    ExpectNear(first.startControl, {2, 0, 0});
    ExpectNear(first.endControl, {6, 0, 0});

    path.AddPoint({8, 8, 0});
    ASSERT_EQ(path.GetSegments().size(), 2u);
    const sPathSegment& a = path.GetSegments()[0];
    const sPathSegment& b = path.GetSegments()[1];
    ExpectNear(b.start, {8, 0, 0});
    ExpectNear(b.end, {8, 8, 0});
    // Before smoothing the controls were (6, 0, 0) and (8, 2, 0): v = (2, 2, 0), half its length on each
    // side of the joint along v.
    const float h = std::sqrt(8.0f) / 2.0f / std::sqrt(2.0f);
    ExpectNear(a.endControl, {8 - h, -h, 0});
    ExpectNear(b.startControl, {8 + h, h, 0});
    ExpectNear(b.endControl, {8, 6, 0});
    ExpectNear(a.startControl, {2, 0, 0});
}

TEST(ScenePath, AddPointRepeatingTheLastPointStillSmoothsTheJoint) {
    cScenePath path;
    path.AddPoint({0, 0, 0});
    path.AddPoint({4, 0, 0});
    path.AddPoint({4, 0, 0});
    ASSERT_EQ(path.GetSegments().size(), 2u);
    // The new segment has no length, so its controls start on the joint; v = (4,0,0) - (3,0,0).
    ExpectNear(path.GetSegments()[1].startControl, {4.5f, 0, 0});
    ExpectNear(path.GetSegments()[0].endControl, {3.5f, 0, 0});
}

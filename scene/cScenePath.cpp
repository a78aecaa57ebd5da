#include "scene/cScenePath.h"

#include <cmath>

namespace velmora::scene {

namespace {

// Control points a quarter of the way in from each end.
void PlaceControls(sPathSegment& segment) {
    const cVector3 quarter = (segment.end - segment.start) * 0.25f;
    segment.startControl = segment.start + quarter;
    segment.endControl = segment.end - quarter;
}

bool AllPointsEqual(const sPathSegment& s) {
    return s.start == s.end && s.start == s.startControl && s.start == s.endControl;
}

} // namespace

cScenePath::cScenePath() : m_Target(new cScenePath(sNoTarget())) {}

cScenePath::cScenePath(sNoTarget) {}

cScenePath::~cScenePath() = default;

IScenePath* cScenePath::AddRef() {
    ++m_References;
    return this;
}

void cScenePath::Release() {
    if (--m_References <= 0) {
        delete this;
    }
}

void cScenePath::AddSegment(const sPathSegment& segment) { m_Segments.push_back(segment); }

void cScenePath::AddPoint(const cVector3& point) {
    if (m_Segments.empty()) {
        m_Segments.push_back(sPathSegment{point, point, point, point});
        return;
    }
    if (m_Segments.size() == 1 && AllPointsEqual(m_Segments[0])) {
        m_Segments[0].end = point;
        PlaceControls(m_Segments[0]);
        return;
    }
    sPathSegment next;
    next.start = m_Segments.back().end;
    next.end = point;
    PlaceControls(next);

    // Make the joint smooth: both controls on one line through the joint, at half their distance.
    sPathSegment& last = m_Segments.back();
    const cVector3 joint = next.start;
    const cVector3 v = next.startControl - last.endControl;
    const float length = v.Length();
    if (length > 0.0f) {
        const cVector3 half = v / length * (length * 0.5f);
        last.endControl = joint - half;
        next.startControl = joint + half;
    } else {
        last.endControl = joint;
        next.startControl = joint;
    }
    m_Segments.push_back(next);
}

cVector3 cScenePath::EvaluateSegment(const sPathSegment& segment, float s) {
    const float u = 1.0f - s;
    return segment.start * (u * u * u) + segment.startControl * (3.0f * s * u * u) +
           segment.endControl * (3.0f * s * s * u) + segment.end * (s * s * s);
}

cVector3& cScenePath::Evaluate(cVector3& out, float t) const {
    // An empty path has no point: the caller's value stays.
    if (m_Segments.empty()) {
        return out;
    }
    // Parameters outside [0, 1] (or not a number) are held at the ends.
    if (!(t > 0.0f)) {
        t = 0.0f;
    } else if (t > 1.0f) {
        t = 1.0f;
    }
    const std::size_t count = m_Segments.size();
    const float u = t * static_cast<float>(count);
    std::size_t index = static_cast<std::size_t>(u);
    if (index > count - 1) {
        index = count - 1;
    }
    out = EvaluateSegment(m_Segments[index], u - static_cast<float>(index));
    return out;
}

} // namespace velmora::scene

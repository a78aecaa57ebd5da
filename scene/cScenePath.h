#pragma once
// A camera path: camera curve, nested target curve and flight speed.

#include <memory>

#include "scene/IScenePath.h"

namespace velmora::scene {

class cScenePath : public IScenePath {
public:
    // Speed at creation, in parameter units per second.
    static constexpr float kDefaultCameraSpeed = 0.015f;

    // A path with reference count 1, no segments, an empty name and its own target path.
    cScenePath();
    ~cScenePath() override;
    cScenePath(const cScenePath&) = delete;
    cScenePath& operator=(const cScenePath&) = delete;

    IScenePath* AddRef() override;
    void Release() override;
    void AddPoint(const cVector3& point) override;
    void AddSegment(const sPathSegment& segment) override;
    void SetName(const std::string& name) override { m_Name = name; }
    void SetCameraSpeed(float speed) override { m_CameraSpeed = speed; }
    cVector3& Evaluate(cVector3& out, float t) const override;
    const std::vector<sPathSegment>& GetSegments() const override { return m_Segments; }
    const std::string& GetName() const override { return m_Name; }
    IScenePath* GetTargetPath() const override { return m_Target.get(); }
    float GetCameraSpeed() const override { return m_CameraSpeed; }

    // The point of one segment's cubic Bezier curve at s in [0, 1].
    static cVector3 EvaluateSegment(const sPathSegment& segment, float s);

private:
    // A target path (it has no target of its own).
    struct sNoTarget {};
    explicit cScenePath(sNoTarget);

    int m_References = 1;
    std::string m_Name;
    std::vector<sPathSegment> m_Segments;
    std::unique_ptr<cScenePath> m_Target;
    float m_CameraSpeed = kDefaultCameraSpeed;
};

} // namespace velmora::scene

#pragma once
// A camera path of the scene: a piecewise cubic Bezier curve for the camera
// position, a nested target path for the point the camera looks at
// (evaluated with the same parameter) and the speed at which a flight
// advances. Reference-counted: counts start at 1, Release deletes at 0.

#include <string>
#include <vector>

#include "engine/core/cVector3.h"

namespace velmora::scene {

// One cubic piece: from start to end with the control point following the
// start and the one preceding the end.
struct sPathSegment {
    cVector3 start;
    cVector3 end;
    cVector3 startControl;
    cVector3 endControl;
};

class IScenePath {
public:
    // Deletes the segments and the target path.
    virtual ~IScenePath() = default;
    // Raises the reference count; returns this path.
    virtual IScenePath* AddRef() = 0;
    // Lowers the reference count; deletes the path at zero.
    virtual void Release() = 0;
    // Extends the curve through a new point with automatic control points.
    virtual void AddPoint(const cVector3& point) = 0;
    // Appends a copy of a segment.
    virtual void AddSegment(const sPathSegment& segment) = 0;
    virtual void SetName(const std::string& name) = 0;
    // Parameter units per second.
    virtual void SetCameraSpeed(float speed) = 0;
    // The point at parameter t in [0, 1] over the whole path (each segment an equal share).
    virtual cVector3& Evaluate(cVector3& out, float t) const = 0;
    virtual const std::vector<sPathSegment>& GetSegments() const = 0;
    virtual const std::string& GetName() const = 0;
    // The nested path of look-at points (not add-referenced); it has no target path itself.
    virtual IScenePath* GetTargetPath() const = 0;
    // Parameter units per second.
    virtual float GetCameraSpeed() const = 0;
};

} // namespace velmora::scene

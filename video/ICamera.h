#pragma once
// The camera and frustum contracts the renderer works with (IRenderer::SetCamera,
// GetFrustum). Their classes (cCamera, cFrustum) belong to the scene.

#include "engine/core/cBox.h"
#include "engine/core/cMatrix.h"
#include "engine/core/cPlane.h"
#include "engine/core/cVector3.h"

namespace velmora::scene {

// Six planes with the inside where a x + b y + c z + d > 0, in the order right, left,
// bottom, top, far, near.
class IFrustum {
public:
    virtual ~IFrustum() = default;
    // False as soon as a plane has the point on or outside it.
    virtual bool ContainsPoint(const cVector3& point) const = 0;
    // The box placed by the matrix.
    virtual bool ContainsBox(const cVector3& min, const cVector3& max, const cMatrix& matrix) const = 0;
    // Axis-aligned box.
    virtual bool ContainsBox(const cVector3& min, const cVector3& max) const = 0;
    // Sphere as (centre x, y, z, radius).
    virtual bool ContainsSphere(const float* sphere) const = 0;
    virtual bool ContainsSphere(const cVector3& center, float radius) const = 0;
    // Sets the six normalised planes from M = view x projection (row-vector convention, clip = p x M).
    virtual void Build(const cMatrix& viewProjection) = 0;
    // Plane i in the order above.
    virtual const cPlane& GetPlane(int index) const = 0;
};

// A free camera: position, viewing direction, right and up vectors, projection parameters.
class ICamera {
public:
    virtual ~ICamera() = default;
    // Destroys the camera.
    virtual void Release() = 0;
    virtual void LookAt(const cVector3& point) = 0;
    virtual void MouseLook(float sensitivity) = 0;
    // Turns the direction by degrees about the axis.
    virtual void Rotate(float degrees, float x, float y, float z) = 0;
    virtual void MoveForward(float distance) = 0;
    virtual void MoveRight(float distance) = 0;
    virtual void SetFieldOfView(double degrees) = 0;
    virtual void SetAspectRatio(double aspect) = 0;
    virtual void SetNearDistance(double distance) = 0;
    virtual void SetFarDistance(double distance) = 0;
    virtual double GetFieldOfView() const = 0;
    virtual double GetAspectRatio() const = 0;
    virtual double GetNearDistance() const = 0;
    virtual double GetFarDistance() const = 0;
    // Where the renderer reads the view from.
    virtual const cVector3& GetPosition() const = 0;
    virtual const cVector3& GetDirection() const = 0;
    virtual const cVector3& GetUp() const = 0;
    // The camera's own frustum, filled when the camera is applied.
    virtual IFrustum* GetFrustum() = 0;
};

} // namespace velmora::scene

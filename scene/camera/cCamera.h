#pragma once
// A free camera: position, viewing direction, right and up vectors and the
// projection parameters, with its own frustum that the renderer fills when
// the camera is applied. Position and the three vectors are plain members:
// the flight and the paths read and write them directly.

#include "scene/camera/cFrustum.h"

namespace velmora::scene {

class cCamera : public ICamera {
public:
    cCamera() = default;

    void Release() override;
    void LookAt(const cVector3& point) override;
    void MouseLook(float sensitivity) override;
    void Rotate(float degrees, float x, float y, float z) override;
    void MoveForward(float distance) override;
    void MoveRight(float distance) override;
    void SetFieldOfView(double degrees) override { m_FieldOfView = degrees; }
    void SetAspectRatio(double aspect) override { m_AspectRatio = aspect; }
    void SetNearDistance(double distance) override { m_NearDistance = distance; }
    void SetFarDistance(double distance) override { m_FarDistance = distance; }
    double GetFieldOfView() const override { return m_FieldOfView; }
    double GetAspectRatio() const override { return m_AspectRatio; }
    double GetNearDistance() const override { return m_NearDistance; }
    double GetFarDistance() const override { return m_FarDistance; }
    const cVector3& GetPosition() const override { return position; }
    const cVector3& GetDirection() const override { return direction; }
    const cVector3& GetUp() const override { return up; }
    IFrustum* GetFrustum() override { return &m_Frustum; }

    // The mouse-look pitch angle in degrees (90 = horizon, 0 and 180 straight up and down).
    float GetPitch() const { return m_Pitch; }
    void SetPitch(float degrees) { m_Pitch = degrees; }

    cVector3 position{0.0f, 0.0f, 0.0f};
    cVector3 direction{0.0f, 0.0f, -1.0f};
    cVector3 right{1.0f, 0.0f, 0.0f};
    cVector3 up{0.0f, 1.0f, 0.0f};

private:
    cFrustum m_Frustum;
    float m_Pitch = 90.0f;
    double m_FieldOfView = 90.0;
    double m_AspectRatio = 0.0;
    double m_FarDistance = 1000.0;
    double m_NearDistance = 0.001;
};

} // namespace velmora::scene

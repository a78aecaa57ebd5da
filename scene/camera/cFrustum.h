#pragma once
// Six clipping planes (right, left, bottom, top, far, near), normalised, with
// the inside where a x + b y + c z + d > 0.

#include "video/ICamera.h"

namespace velmora::scene {

class cFrustum : public IFrustum {
public:
    enum ePlane { kRight = 0, kLeft, kBottom, kTop, kFar, kNear, kPlaneCount };

    cFrustum() = default;

    bool ContainsPoint(const cVector3& point) const override;
    bool ContainsBox(const cVector3& min, const cVector3& max, const cMatrix& matrix) const override;
    bool ContainsBox(const cVector3& min, const cVector3& max) const override;
    bool ContainsSphere(const float* sphere) const override;
    bool ContainsSphere(const cVector3& center, float radius) const override;
    void Build(const cMatrix& viewProjection) override;
    const cPlane& GetPlane(int index) const override;

private:
    cPlane m_Planes[kPlaneCount] = {};
};

} // namespace velmora::scene

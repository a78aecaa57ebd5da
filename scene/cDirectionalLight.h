#pragma once
// The scene's sun as a light (see IDirectionalLight): a transform and two
// vectors, all zero but the identity transform at creation.

#include "scene/IDirectionalLight.h"
#include "scene/cCommonEntity.h"

namespace velmora::scene {

class cDirectionalLight : public cCommonEntity<IDirectionalLight, ENTITY_DIRECTIONAL_LIGHT> {
public:
    cDirectionalLight() = default;

    const cVector3& GetSecondVector() const override { return m_Second; }
    void SetSecondVector(const cVector3& value) override { m_Second = value; }
    const cVector3& GetDirection() const override { return m_Direction; }
    void SetDirection(const cVector3& direction) override { m_Direction = direction; }

private:
    cVector3 m_Direction;
    cVector3 m_Second;
};

} // namespace velmora::scene

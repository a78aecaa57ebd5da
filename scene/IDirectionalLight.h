#pragma once
// The sun as a light (entity type 9): a direction that feeds light 0 of both
// rendering pipelines. The direction points from the lit surface towards the
// light (a surface facing it is fully lit), as IRenderer::SetLight takes it.

#include "engine/core/cVector3.h"
#include "scene/IEntity.h"

namespace velmora::scene {

// What every light keeps besides its transform: a second vector for callers (nothing in the engine reads it).
class ILight : public IEntity {
public:
    virtual const cVector3& GetSecondVector() const = 0;
    virtual void SetSecondVector(const cVector3& value) = 0;
};

class IDirectionalLight : public ILight {
public:
    // The direction towards the light; zero at creation.
    virtual const cVector3& GetDirection() const = 0;
    virtual void SetDirection(const cVector3& direction) = 0;
};

} // namespace velmora::scene

#pragma once
// The base of every scene entity: water, rain, lens flare, butterflies,
// billboards, sounds, sky, the directional light and sea birds. Entities are created by
// the resource manager, owned by the list they are put in (the scene
// manager's entity list) and destroyed with Release.

#include "engine/core/cMatrix.h"

namespace velmora::scene {

// What GetType returns; the pipelines and the scene writer dispatch on it.
enum EntityType : int {
    ENTITY_WATER = 1,
    ENTITY_RAIN = 2,
    ENTITY_LENS_FLARE = 3,
    ENTITY_BUTTERFLIES = 5,
    ENTITY_BILLBOARD = 6,
    ENTITY_SOUND = 7,
    ENTITY_SKY = 8,
    ENTITY_DIRECTIONAL_LIGHT = 9,
    ENTITY_BIRDS = 10,
};

class IEntity {
public:
    virtual ~IEntity() = default;
    // Deletes the entity.
    virtual void Release() = 0;
    // One of EntityType.
    virtual int GetType() const = 0;
    // The entity's world transform; its translation (elements 12, 13, 14) is the position.
    virtual const cMatrix& GetWorldMatrix() const = 0;
    // Replaces the world transform.
    virtual void SetWorldMatrix(const cMatrix& matrix) = 0;
};

} // namespace velmora::scene

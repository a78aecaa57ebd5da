#pragma once
// The entities both rendering pipelines look up directly, filled by the
// scene manager as the scene is built: the first directional light (type 9),
// water (1), rain (2) and sky (8) of the entity list. Non-owning; null when
// the scene has none.

namespace velmora::scene {

class IEntity;

struct sSpecialEntities {
    IEntity* directionalLight = nullptr;
    IEntity* water = nullptr;
    IEntity* rain = nullptr;
    IEntity* sky = nullptr;
};

} // namespace velmora::scene

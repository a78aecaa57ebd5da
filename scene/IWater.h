#pragma once
// The sea: one horizontal plane at the water level (entity type 1). The water
// only holds its parameters; the rendering pipelines draw it. The scene
// reader stores the scene's water position in the world transform.

#include <string>

#include "engine/core/cColor.h"
#include "scene/IEntity.h"

namespace velmora::scene {

class IWater : public IEntity {
public:
    // Water colour (red, green, blue, alpha).
    virtual void SetColor(const cColor& color) = 0;
    // Depth-fog coefficient of the underwater pass.
    virtual void SetDensity(float density) = 0;
    // Scroll speed of the distortion map.
    virtual void SetSpeed(float speed) = 0;
    // World y of the water plane.
    virtual void SetLevel(float level) = 0;
    virtual const cColor& GetColor() const = 0;
    virtual float GetDensity() const = 0;
    virtual float GetSpeed() const = 0;
    virtual float GetLevel() const = 0;

    // ---- Surf (optional: without a foam texture there is no surf) ----
    // The foam picture drawn where the sea meets the land (white in RGB, foam in alpha); empty: no surf.
    virtual void SetFoamTexture(const std::string& fileName) { (void)fileName; }
    virtual std::string GetFoamTextureName() const { return std::string(); }
    // The surf map over the terrain: red the surf's strength, green how deep the foam reaches (x 4 units);
    // empty: the same moderate surf all round the coast.
    virtual void SetSurfMap(const std::string& fileName) { (void)fileName; }
    virtual std::string GetSurfMapName() const { return std::string(); }
};

} // namespace velmora::scene

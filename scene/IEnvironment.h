#pragma once
// The scene's environment: fog (the application also clears each frame with
// the fog colour), the ambient sound file name and a second colour that is
// only stored. The sky faces named here are accepted and not kept: the sky
// is an entity of its own (ISky).

#include <string>

#include "engine/core/cColor.h"

namespace velmora::scene {

class IEnvironment {
public:
    virtual ~IEnvironment() = default;
    // Fog off, density 0, fog colour (0, 0, 0, 255), no ambient sound; the second colour stays.
    virtual void Reset() = 0;
    virtual void SetFogDensity(float density) = 0;
    virtual void SetFogColor(const cColor& color) = 0;
    virtual void SetFogEnabled(bool enabled) = 0;
    // The five sky-face setters store nothing.
    virtual void SetSkyLeft(const std::string& fileName) = 0;
    virtual void SetSkyRight(const std::string& fileName) = 0;
    virtual void SetSkyFront(const std::string& fileName) = 0;
    virtual void SetSkyBack(const std::string& fileName) = 0;
    virtual void SetSkyTop(const std::string& fileName) = 0;
    // The ambient sound file name (empty: none).
    virtual void SetAmbientSound(const std::string& fileName) = 0;
    // A colour stored and returned unchanged.
    virtual void SetColor2(const cColor& color) = 0;
    virtual float GetFogDensity() const = 0;
    virtual const cColor& GetFogColor() const = 0;
    virtual bool IsFogEnabled() const = 0;
    // The five sky-face getters return an empty string.
    virtual const std::string& GetSkyLeft() const = 0;
    virtual const std::string& GetSkyRight() const = 0;
    virtual const std::string& GetSkyFront() const = 0;
    virtual const std::string& GetSkyBack() const = 0;
    virtual const std::string& GetSkyTop() const = 0;
    virtual const std::string& GetAmbientSound() const = 0;
    virtual const cColor& GetColor2() const = 0;
};

} // namespace velmora::scene

#pragma once
// A positional sound placed in the scene (entity type 7). It owns one sound
// source of the sound engine (or none) and keeps it at the translation of its
// world transform. The pipelines start a source that is not playing.

#include <string>

#include "scene/IEntity.h"

namespace velmora::sound {
class ISoundSource;
}

namespace velmora::scene {

class ISound : public IEntity {
public:
    // Releases the current source; a non-empty name then gets a streaming source from the sound
    // engine (none without a sound engine or when the file cannot be loaded).
    virtual void SetSource(const std::string& fileName) = 0;
    // The owned source, or null.
    virtual sound::ISoundSource* GetSource() const = 0;
    // The source's file name, or an empty string without a source.
    virtual std::string GetSourceName() const = 0;
};

} // namespace velmora::scene

#pragma once
// The scene's positional sound: one streaming source of the sound engine kept
// at the entity's position.

#include "scene/ISound.h"
#include "scene/cCommonEntity.h"

namespace velmora::sound {
class ISoundEngine;
}

namespace velmora::scene {

class cSound : public cCommonEntity<ISound, ENTITY_SOUND> {
public:
    // soundEngine: where sources come from; null leaves the sound without a source.
    explicit cSound(sound::ISoundEngine* soundEngine);
    // Releases the source.
    ~cSound() override;
    cSound(const cSound&) = delete;
    cSound& operator=(const cSound&) = delete;

    // Stores the matrix and moves the source (if any) to its translation.
    void SetWorldMatrix(const cMatrix& matrix) override;
    void SetSource(const std::string& fileName) override;
    sound::ISoundSource* GetSource() const override { return m_Source; }
    std::string GetSourceName() const override;

private:
    sound::ISoundEngine* m_SoundEngine = nullptr;
    sound::ISoundSource* m_Source = nullptr;
};

} // namespace velmora::scene

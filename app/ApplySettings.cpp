#include "app/ApplySettings.h"

#include "app/cSettingsRecord.h"
#include "engine/IEngine.h"
#include "scene/cSceneManager.h"
#include "sound/ISoundEngine.h"
#include "video/IRenderer.h"

namespace brevonne {

namespace {

// Fragment shader model 2.0 or higher.
constexpr int kFeatureFragmentShader20 = 13;
// The texture filtering mode every quality uses.
constexpr int kQualityFiltering = 3;

struct sQualityRow {
    int anisotropy;
    int detailReduction;
    unsigned levelBias;
    float viewDistance;
    float vegetationWithShaders;
    float vegetationWithoutShaders;
};

const sQualityRow kQualityRows[] = {
    {0, 2, 2, 450.0f, 25.0f, 150.0f},  // Low
    {8, 1, 1, 350.0f, 50.0f, 250.0f},  // Medium
    {16, 0, 0, 250.0f, 75.0f, 350.0f}, // High
};

} // namespace

sTextureQuality GetTextureQuality(int quality, bool shaders) {
    sTextureQuality result;
    result.render.levelBias = 0;
    result.render.viewDistance = 250.0f;
    result.render.vegetationDistance = 25.0f;
    if (quality < 0 || quality > 2) {
        return result;
    }
    const sQualityRow& row = kQualityRows[quality];
    result.changesRenderer = true;
    result.anisotropy = row.anisotropy;
    result.filtering = kQualityFiltering;
    result.detailReduction = row.detailReduction;
    result.render.levelBias = row.levelBias;
    result.render.viewDistance = row.viewDistance;
    result.render.vegetationDistance = shaders ? row.vegetationWithShaders : row.vegetationWithoutShaders;
    return result;
}

void ApplySettings(cSettingsRecord& record, velmora::IEngine& engine) {
    velmora::video::IRenderer* renderer = engine.GetRenderer();
    velmora::scene::cSceneManager* sceneManager = engine.GetSceneManager();

    if (!renderer || !renderer->QueryFeature(kFeatureFragmentShader20)) {
        record.useShaders = false;
    }
    if (sceneManager) {
        sceneManager->UseFixedFunction(!record.useShaders);
    }

    const sTextureQuality quality = GetTextureQuality(record.textureQuality, record.useShaders);
    if (renderer && quality.changesRenderer) {
        renderer->SetTextureAnisotropy(quality.anisotropy);
        renderer->SetTextureFiltering(quality.filtering);
        renderer->SetTextureDetailReduction(quality.detailReduction);
    }

    if (record.soundEnabled) {
        if (velmora::sound::ISoundEngine* sound = engine.GetSoundEngine()) {
            sound->SetMasterVolume(record.volume);
        } else {
            record.soundEnabled = false;
        }
    }

    if (sceneManager) {
        sceneManager->SetRenderSettings(quality.render);
    }
}

} // namespace brevonne

#pragma once
// How the settings record shapes a full-screen run: shader use, texture
// quality, sound and the scene's render settings.

#include "scene/sRenderSettings.h"

namespace velmora {
class IEngine;
}

namespace brevonne {

class cSettingsRecord;

// What one texture-quality setting asks of the renderer and the scene.
struct sTextureQuality {
    // False for values outside 0-2: the renderer is then left as it is.
    bool changesRenderer = false;
    int anisotropy = 0;
    int filtering = 0;
    int detailReduction = 0;
    velmora::scene::sRenderSettings render;
};

// quality: 0 Low, 1 Medium, 2 High; shaders: whether the shader pipeline
// draws (vegetation reaches further without it).
sTextureQuality GetTextureQuality(int quality, bool shaders);

// Applies the record to a freshly created engine: switches the shader flag
// off without fragment shader 2.0 support and selects the pipeline, sets
// texture filtering, anisotropy and detail reduction, sets the master volume
// (switching sound off when there is no sound engine) and hands the render
// settings to the scene manager. The record keeps what had to be switched off.
void ApplySettings(cSettingsRecord& record, velmora::IEngine& engine);

} // namespace brevonne

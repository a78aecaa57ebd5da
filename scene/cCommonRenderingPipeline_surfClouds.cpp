// cCommonRenderingPipeline: the parts of the frame both pipelines draw the
// same way that move with time: the clouds over the sky box, the surf on the
// shore, and the clouds' shade on the lens flares.
#include "scene/cCommonRenderingPipeline.h"

#include "engine/core/cFrameProfiler.h"
#include "scene/ILensFlare.h"
#include "scene/ISceneManager.h"
#include "scene/ISky.h"
#include "scene/IWater.h"
#include "scene/cSurf.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"

namespace velmora::scene {

cCommonRenderingPipeline::cCommonRenderingPipeline(const sSpecialEntities& slots, const sRenderSettings& settings)
    : m_Slots(slots), m_Settings(settings) {}

cCommonRenderingPipeline::~cCommonRenderingPipeline() = default;

void cCommonRenderingPipeline::RenderClouds(ISky* sky, const cVector3& center) {
    video::IRenderer* r = GetRenderer();
    if (!sky || !r || sky->GetCloudTextureName().empty()) {
        return;
    }
    cProfileSection section("clouds");
    const int source = r->GetBlendSrc();
    const int destination = r->GetBlendDst();
    sky->RenderClouds(center, GetSeconds());
    r->SetBlendFunc(source, destination);
}

void cCommonRenderingPipeline::RenderSurf(ISceneManager* scene, IWater* water) {
    video::IRenderer* r = GetRenderer();
    if (!r || !scene || !water || water->GetFoamTextureName().empty()) {
        return;
    }
    cProfileSection section("surf");
    if (!m_Surf) {
        m_Surf = std::make_unique<cSurf>(r);
    }
    if (!m_Surf->Prepare(scene->GetTerrain(), *water)) {
        return;
    }
    // The band blends over the sea in the scene's fog; what follows finds blending and fog as they were.
    const int source = r->GetBlendSrc();
    const int destination = r->GetBlendDst();
    const int fogMode = r->GetFogMode();
    ApplyFog(r);
    m_Surf->Render(GetSeconds());
    r->SetFogMode(fogMode);
    r->SetBlendFunc(source, destination);
}

void cCommonRenderingPipeline::ReleaseSurf() { m_Surf.reset(); }

void cCommonRenderingPipeline::ShadeFlaresByClouds(ISceneManager* scene, ICamera* camera) {
    if (!scene) {
        return;
    }
    auto* sky = dynamic_cast<ISky*>(m_Slots.sky);
    const float seconds = GetSeconds();
    for (IEntity* entity : scene->GetEntities()) {
        if (!entity || entity->GetType() != ENTITY_LENS_FLARE) {
            continue;
        }
        auto* flare = dynamic_cast<ILensFlare*>(entity);
        if (!flare) {
            continue;
        }
        float cover = 0.0f;
        if (sky) {
            const cVector3 sun = flare->GetSunPosition(camera);
            const cVector3 direction = camera ? sun - camera->GetPosition() : sun;
            cover = sky->GetCloudCover(direction, seconds);
        }
        flare->SetCloudCover(cover);
    }
}

} // namespace velmora::scene

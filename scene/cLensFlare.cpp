#include "scene/cLensFlare.h"

#include <cstdint>

#include "engine/core/cColor.h"
#include "engine/core/cRect.h"
#include "video/ICamera.h"
#include "video/IRenderer.h"
#include "video/IResources.h"
#include "video/ITexture.h"

namespace velmora::scene {

namespace {

bool ValidIndex(int index) { return index >= 0 && index < LENS_FLARE_COUNT; }

// Flare 7 sits on the window centre: the line from the sun to the centre is cut in seven steps.
constexpr float kStepsToCentre = 7.0f;

} // namespace

cLensFlare::cLensFlare(video::IRenderer* renderer) : m_Renderer(renderer) {
    if (m_Renderer) {
        m_Query = m_Renderer->CreateOcclusionQuery();
    }
}

cLensFlare::~cLensFlare() {
    for (sFlare& flare : m_Flares) {
        if (flare.texture) {
            flare.texture->Release();
            flare.texture = nullptr;
        }
    }
    if (m_Query) {
        m_Query->Release();
    }
}

void cLensFlare::SetFlareTexture(int index, const std::string& fileName) {
    if (!ValidIndex(index)) {
        return;
    }
    sFlare& flare = m_Flares[index];
    if (flare.texture) {
        flare.texture->Release();
        flare.texture = nullptr;
    }
    if (!fileName.empty() && m_Renderer) {
        flare.texture = m_Renderer->CreateTexture(fileName.c_str());
    }
}

void cLensFlare::SetFlareSize(int index, float width, float height) {
    if (ValidIndex(index)) {
        m_Flares[index].size = cVector2(width, height);
    }
}

std::string cLensFlare::GetFlareTextureName(int index) const {
    return ValidIndex(index) && m_Flares[index].texture ? m_Flares[index].texture->GetName() : std::string();
}

video::ITexture2D* cLensFlare::GetFlareTexture(int index) const {
    return ValidIndex(index) ? m_Flares[index].texture : nullptr;
}

cVector2 cLensFlare::GetFlareSize(int index) const { return ValidIndex(index) ? m_Flares[index].size : cVector2(); }

cVector3 cLensFlare::GetSunPosition(const ICamera* camera) const {
    const cVector3 stored = m_World.GetTranslation();
    if (camera && m_BoundToCamera) {
        return camera->GetPosition() + stored.Normalized() * kSunDistance;
    }
    return stored;
}

void cLensFlare::SetCloudCover(float cover) {
    // NaN and values outside 0..1 would make the flares negative or brighter than the sun itself.
    m_CloudCover = cover > 0.0f ? (cover < 1.0f ? cover : 1.0f) : 0.0f;
}

void cLensFlare::Render(ICamera* camera) {
    if (!m_Query || !m_Renderer) {
        return;
    }
    video::IRenderer* r = m_Renderer;
    const cVector3 sun = GetSunPosition(camera);
    const cVector3 corner(1.0f, 1.0f, 1.0f);
    const cColor white(255, 255, 255, 255);

    // How many pixels the box covers at all, then how many of them pass the depth test.
    r->SetDepthWrite(false);
    r->SetColorWrite(false);
    r->SetDepthFunc(video::CMP_ALWAYS);
    m_Query->Begin();
    r->RenderSolidBox(sun - corner, sun + corner, white);
    m_Query->End();
    r->SetDepthFunc(video::CMP_LEQUAL);
    r->SetDepthWrite(true);
    const std::uint32_t total = m_Query->GetResult();
    m_Query->Begin();
    r->RenderSolidBox(sun - corner, sun + corner, white);
    m_Query->End();
    r->SetColorWrite(true);
    const std::uint32_t visible = m_Query->GetResult();
    m_Brightness = total > 0 ? static_cast<float>(visible) / static_cast<float>(total) : 0.0f;
    if (m_Brightness > 1.0f) {
        m_Brightness = 1.0f;
    }
    m_Brightness *= 1.0f - m_CloudCover;
    if (!(m_Brightness > 0.0f)) {
        return;
    }

    // The sun in window coordinates and the way to the window centre.
    cVector3 s;
    r->Project(s, sun);
    int viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
    r->GetViewportRect(viewX, viewY, viewWidth, viewHeight);
    cVector3 toCentre(viewWidth * 0.5f - s.x, viewHeight * 0.5f - s.y, -s.z);
    const float step = toCentre.Length() / kStepsToCentre;
    toCentre.Normalize();

    r->PushTransform(video::MM_PROJECTION);
    r->PushTransform(video::MM_WORLD);
    r->PushTransform(video::MM_VIEW);
    r->SetProjection(video::PROJ_ORTHOGRAPHIC, 0, 0, 0.01, 1000.0, -1.0, -1.0);
    r->SetTransform(video::MM_WORLD, nullptr);
    r->SetTransform(video::MM_VIEW, nullptr);
    r->SetBlendFunc(video::BF_SRC_ALPHA, video::BF_ONE);
    r->SetDepthWrite(false);
    const cColor grey = cColorF(m_Brightness, m_Brightness, m_Brightness, 1.0f).ToColor();
    for (int i = 0; i < LENS_FLARE_COUNT; ++i) {
        video::ITexture2D* texture = m_Flares[i].texture;
        if (!texture) {
            continue;
        }
        const float x = s.x + static_cast<float>(i) * step * toCentre.x;
        const float y = s.y + static_cast<float>(i) * step * toCentre.y;
        const float halfWidth = static_cast<float>(texture->GetImageWidth());
        const float halfHeight = static_cast<float>(texture->GetImageHeight());
        r->RenderRect(texture, cRect(x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight),
                      cRect(0.0f, 0.0f, 1.0f, 1.0f), grey);
    }
    r->SetTexture(nullptr, 0);
    r->SetDepthWrite(true);
    r->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    r->PopTransform(video::MM_VIEW);
    r->PopTransform(video::MM_WORLD);
    r->PopTransform(video::MM_PROJECTION);
}

} // namespace velmora::scene

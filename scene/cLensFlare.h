#pragma once
// The sun as seen (see ILensFlare). Each frame the flare measures how much of
// a 2 x 2 x 2 box around the sun is visible with its occlusion query (the box
// drawn once with the depth test always passing, once with the normal depth
// test; neither draw writes colour), then draws its textured flares additively
// along the line from the sun's window position through the window centre,
// each twice the size of its texture image, in the grey of that visible
// fraction. A sun that is hidden, off screen or behind the camera measures 0
// and nothing is drawn (additive black would change nothing). Clouds passing
// in front of the sun (SetCloudCover) dim the flares by the share they hide.

#include <string>

#include "scene/ILensFlare.h"
#include "scene/cCommonEntity.h"

namespace velmora::video {
class IRenderer;
class IOcclusionQuery;
}

namespace velmora::scene {

class cLensFlare : public cCommonEntity<ILensFlare, ENTITY_LENS_FLARE> {
public:
    // Distance from the camera at which a sun bound to the camera sits.
    static constexpr float kSunDistance = 100.0f;

    // renderer: loads the flare textures, makes the occlusion query and draws (null: a flare that draws
    // nothing).
    explicit cLensFlare(video::IRenderer* renderer);
    // Releases the textures and the query.
    ~cLensFlare() override;
    cLensFlare(const cLensFlare&) = delete;
    cLensFlare& operator=(const cLensFlare&) = delete;

    // Indices outside 0..9 are ignored by the setters and give nothing from the getters.
    void SetFlareTexture(int index, const std::string& fileName) override;
    void SetFlareSize(int index, float width, float height) override;
    void SetBoundToCamera(bool bound) override { m_BoundToCamera = bound; }
    std::string GetFlareTextureName(int index) const override;
    video::ITexture2D* GetFlareTexture(int index) const override;
    cVector2 GetFlareSize(int index) const override;
    bool IsBoundToCamera() const override { return m_BoundToCamera; }
    void Render(ICamera* camera) override;

    // Where the sun is for the camera: the transform's translation, or, bound to the camera, the point
    // kSunDistance away from the camera in the direction of that translation.
    cVector3 GetSunPosition(const ICamera* camera) const override;
    void SetCloudCover(float cover) override;
    float GetCloudCover() const override { return m_CloudCover; }
    // The brightness of the last Render (0 to 1): the visible fraction measured, less what the clouds hide.
    float GetBrightness() const { return m_Brightness; }

private:
    struct sFlare {
        video::ITexture2D* texture = nullptr;
        cVector2 size;
    };

    video::IRenderer* m_Renderer = nullptr;
    video::IOcclusionQuery* m_Query = nullptr;
    sFlare m_Flares[LENS_FLARE_COUNT];
    bool m_BoundToCamera = false;
    float m_Brightness = 0.0f;
    float m_CloudCover = 0.0f;
};

} // namespace velmora::scene

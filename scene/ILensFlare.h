#pragma once
// The sun as seen (entity type 3): up to ten screen-space flare sprites along
// the line from the sun through the centre of the screen. The translation of
// the world transform is the sun position (or direction when bound to the
// camera). Flare indices run from 0 to LENS_FLARE_COUNT - 1.

#include <string>

#include "engine/core/cVector2.h"
#include "engine/core/cVector3.h"
#include "scene/IEntity.h"

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

class ICamera;

constexpr int LENS_FLARE_COUNT = 10;

class ILensFlare : public IEntity {
public:
    // Releases the flare's texture; an empty name leaves it empty, otherwise the texture comes
    // from the renderer's texture cache.
    virtual void SetFlareTexture(int index, const std::string& fileName) = 0;
    // Width and height of a flare (stored and written back with the scene).
    virtual void SetFlareSize(int index, float width, float height) = 0;
    // True: the sun moves with the camera.
    virtual void SetBoundToCamera(bool bound) = 0;
    // The flare texture's file name, or an empty string.
    virtual std::string GetFlareTextureName(int index) const = 0;
    // The flare texture, or null.
    virtual video::ITexture2D* GetFlareTexture(int index) const = 0;
    // (width, height) of a flare.
    virtual cVector2 GetFlareSize(int index) const = 0;
    virtual bool IsBoundToCamera() const = 0;
    // Draws the flares for the camera.
    virtual void Render(ICamera* camera) = 0;
    // Where the sun is for the camera: the transform's translation, or, bound to the camera, a point far
    // from the camera in the direction of that translation.
    virtual cVector3 GetSunPosition(const ICamera* camera) const {
        (void)camera;
        return GetWorldMatrix().GetTranslation();
    }
    // How much of the sun passing clouds hide (0..1, clamped): the flares shine with the rest of the
    // brightness the occlusion measurement finds. The pipelines set it every frame from the sky's clouds.
    virtual void SetCloudCover(float cover) { (void)cover; }
    virtual float GetCloudCover() const { return 0.0f; }
};

} // namespace velmora::scene

#pragma once
// The sky box (entity type 8): a textured box kept centred on the camera and
// drawn first. Faces are indexed 0 left, 1 right, 2 top, 3 bottom, 4 front,
// 5 back (SKY_FACE_*); each may be empty.

#include <string>

#include "engine/core/cVector2.h"
#include "engine/core/cVector3.h"
#include "scene/IEntity.h"

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

enum SkyFace : int {
    SKY_FACE_LEFT = 0,
    SKY_FACE_RIGHT = 1,
    SKY_FACE_TOP = 2,
    SKY_FACE_BOTTOM = 3,
    SKY_FACE_FRONT = 4,
    SKY_FACE_BACK = 5,
    SKY_FACE_COUNT = 6,
};

class ISky : public IEntity {
public:
    // How far the box is raised above the camera.
    virtual void SetYOffset(float offset) = 0;
    // Releases the face's texture; an empty name leaves the face empty, otherwise the texture is
    // loaded through the renderer's texture cache (clamped addressing).
    virtual void SetFaceTexture(int face, const std::string& fileName) = 0;
    virtual float GetYOffset() const = 0;
    // The face texture's file name, or an empty string.
    virtual std::string GetFaceTextureName(int face) const = 0;
    // The face texture, or null.
    virtual video::ITexture2D* GetFaceTexture(int face) const = 0;
    // Draws the box centred on the point (raised by the y offset) under the current world transform,
    // culling off and depth writes off while it draws: left, right, front, back, top, and the bottom
    // only when it has a texture.
    virtual void Render(const cVector3& center) = 0;

    // ---- Cloud layer (optional: a sky without it, or an implementation that has none, has no clouds) ----
    // Loads the tiling cloud picture (colour in RGB, cover in alpha) through the texture cache; an empty
    // name removes the clouds.
    virtual void SetCloudTexture(const std::string& fileName) { (void)fileName; }
    // The cloud picture's file name as set, or an empty string.
    virtual std::string GetCloudTextureName() const { return std::string(); }
    // How fast the clouds drift, in texels of their picture per second along its u and v axes.
    virtual void SetCloudDrift(const cVector2& texelsPerSecond) { (void)texelsPerSecond; }
    virtual cVector2 GetCloudDrift() const { return cVector2(); }
    // Draws the clouds around the point (raised by the y offset) as they stand at `seconds`, blended over
    // what is drawn; leaves blending off. Nothing without a cloud picture.
    virtual void RenderClouds(const cVector3& center, float seconds) { (void)center; (void)seconds; }
    // How much the clouds cover the sky (0..1) in the direction at `seconds`, exactly as RenderClouds shows it.
    virtual float GetCloudCover(const cVector3& direction, float seconds) const {
        (void)direction;
        (void)seconds;
        return 0.0f;
    }
};

} // namespace velmora::scene

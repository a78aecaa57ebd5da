#pragma once
// A screen-space animated picture: frames of one texture atlas (columns x
// rows cells of the frame size, frame f at column f mod columns, row f div
// columns counted from the top), played by animations (frame
// count, frames per second, first frame, looping). Drawn as a rectangle of
// size x scale at a position in pixels, rotated about its centre, with its
// own blend factors and colour. The caller sets up two-dimensional drawing
// (an orthographic projection in pixels).

#include "engine/core/cColor.h"
#include "engine/core/cRect.h"
#include "engine/core/cVector2.h"

namespace velmora::video {
class ITexture2D;
}

namespace velmora::scene {

enum SpriteState : int {
    SPRITE_STOPPED = 0,
    SPRITE_PLAYING = 1,
};

class ISprite {
public:
    // Releases the texture.
    virtual ~ISprite() = default;
    // Deletes the sprite.
    virtual void Release() = 0;
    // The atlas, or null when it could not be loaded.
    virtual video::ITexture2D* GetTexture() const = 0;
    // Centre of the drawn rectangle in pixels (origin bottom-left).
    virtual void SetPosition(const cVector2& position) = 0;
    virtual const cVector2& GetPosition() const = 0;
    // Drawn size in pixels before scaling (the frame size at creation).
    virtual void SetSize(const cVector2& size) = 0;
    virtual const cVector2& GetSize() const = 0;
    virtual void SetScale(float scale) = 0;
    virtual float GetScale() const = 0;
    // Rotation about the screen's z axis in degrees, counter-clockwise.
    virtual void SetRotation(float degrees) = 0;
    virtual float GetRotation() const = 0;
    // Colour the texture is multiplied with (white at creation).
    virtual void SetColor(const cColor& color) = 0;
    virtual const cColor& GetColor() const = 0;
    // Blend factors (BlendFactor) used while drawing; source alpha / inverse source alpha at creation.
    virtual void SetBlendFactors(int source, int destination) = 0;
    virtual int GetBlendSource() const = 0;
    virtual int GetBlendDestination() const = 0;
    // Size of one atlas cell in texels; sets the column and row counts from the texture size.
    virtual void SetFrameSize(const cVector2& size) = 0;
    virtual const cVector2& GetFrameSize() const = 0;
    virtual int GetColumns() const = 0;
    virtual int GetRows() const = 0;
    // Adds an animation; returns its index, or -1 for a frame count below 1 or a rate not above 0.
    virtual int AddAnimation(int frameCount, float framesPerSecond, int firstFrame, bool loop) = 0;
    virtual int GetAnimationCount() const = 0;
    // Starts an animation at its first frame (false for an unknown index); the time is the engine's.
    virtual bool Play(int animation) = 0;
    // As above at a given time in seconds.
    virtual bool Play(int animation, float timeSeconds) = 0;
    // Stops on the current frame.
    virtual void Stop() = 0;
    virtual int GetState() const = 0;
    virtual int GetCurrentAnimation() const = 0;
    // Frame within the current animation (-1 before the first Play).
    virtual int GetCurrentFrame() const = 0;
    // Advances the animation by the engine's time.
    virtual void Update() = 0;
    // Advances the animation to a time in seconds: one frame step each time more than 1 / rate seconds
    // have passed since the last step; past the last frame a looping animation wraps to its first frame,
    // another stays on its last frame and stops.
    virtual void Update(float timeSeconds) = 0;
    // Texture rectangle (s1, t1, s2, t2) of an atlas frame, t1 at the cell's top.
    virtual cRect GetFrameRect(int atlasFrame) const = 0;
    // Draws the current frame (the first frame of the current animation before any step; nothing
    // before the first Play) with the sprite's blend factors and colour and no culling; leaves blending off
    // and the cull mode as it was.
    virtual void Render() = 0;
};

} // namespace velmora::scene

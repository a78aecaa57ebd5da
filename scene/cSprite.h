#pragma once
// The sprite (see ISprite): an atlas texture, a rectangle on the screen and a
// table of animations over the atlas frames.

#include <vector>

#include "scene/ISprite.h"
#include "scene/cEffectTexture.h"
#include "video/VideoTypes.h"

namespace velmora::video {
class IRenderer;
}

namespace velmora::scene {

class cSprite : public ISprite {
public:
    struct sAnimation {
        int frameCount = 1;
        float framesPerSecond = 1.0f;
        int firstFrame = 0;
        bool loop = false;
    };

    // renderer: loads the atlas and draws (null: the sprite animates but draws nothing).
    explicit cSprite(video::IRenderer* renderer) : m_Renderer(renderer) {}
    cSprite(const cSprite&) = delete;
    cSprite& operator=(const cSprite&) = delete;

    // Loads the atlas and sets the frame size (also the drawn size). Without the atlas the sprite draws
    // its rectangle untextured.
    void Create(const char* textureName, float frameWidth, float frameHeight);

    void Release() override { delete this; }
    video::ITexture2D* GetTexture() const override { return m_Texture.Get(); }
    void SetPosition(const cVector2& position) override { m_Position = position; }
    const cVector2& GetPosition() const override { return m_Position; }
    void SetSize(const cVector2& size) override { m_Size = size; }
    const cVector2& GetSize() const override { return m_Size; }
    void SetScale(float scale) override { m_Scale = scale; }
    float GetScale() const override { return m_Scale; }
    void SetRotation(float degrees) override { m_Rotation = degrees; }
    float GetRotation() const override { return m_Rotation; }
    void SetColor(const cColor& color) override { m_Color = color; }
    const cColor& GetColor() const override { return m_Color; }
    void SetBlendFactors(int source, int destination) override;
    int GetBlendSource() const override { return m_BlendSource; }
    int GetBlendDestination() const override { return m_BlendDestination; }
    void SetFrameSize(const cVector2& size) override;
    const cVector2& GetFrameSize() const override { return m_FrameSize; }
    int GetColumns() const override { return m_Columns; }
    int GetRows() const override { return m_Rows; }
    int AddAnimation(int frameCount, float framesPerSecond, int firstFrame, bool loop) override;
    int GetAnimationCount() const override { return static_cast<int>(m_Animations.size()); }
    bool Play(int animation) override;
    bool Play(int animation, float timeSeconds) override;
    void Stop() override { m_State = SPRITE_STOPPED; }
    int GetState() const override { return m_State; }
    int GetCurrentAnimation() const override { return m_Animation; }
    int GetCurrentFrame() const override { return m_Frame; }
    void Update() override;
    void Update(float timeSeconds) override;
    cRect GetFrameRect(int atlasFrame) const override;
    void Render() override;

    // The four screen corners of the drawn rectangle (counter-clockwise from the bottom-left before rotation).
    void GetCorners(cVector2 corners[4]) const;

private:
    video::IRenderer* m_Renderer = nullptr;
    cEffectTexture m_Texture;
    cVector2 m_Position;
    cVector2 m_Size;
    float m_Scale = 1.0f;
    float m_Rotation = 0.0f;
    cVector2 m_FrameSize;
    cColor m_Color{255, 255, 255, 255};
    int m_BlendSource = video::BF_SRC_ALPHA;
    int m_BlendDestination = video::BF_INV_SRC_ALPHA;
    std::vector<sAnimation> m_Animations;
    int m_Animation = -1;
    int m_Frame = -1;
    int m_State = SPRITE_STOPPED;
    float m_LastStep = 0.0f;
    int m_Columns = 1;
    int m_Rows = 1;
};

} // namespace velmora::scene

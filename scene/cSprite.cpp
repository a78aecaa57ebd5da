#include "scene/cSprite.h"

#include <cmath>

#include "engine/core/MathUtil.h"
#include "engine/core/cVector3.h"
#include "scene/EffectRandom.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::scene {

void cSprite::Create(const char* textureName, float frameWidth, float frameHeight) {
    const std::string name = textureName ? textureName : "";
    // A missing atlas leaves an untextured sprite; the renderer has said which file.
    m_Texture.Set(m_Renderer, name);
    m_Size = cVector2(frameWidth, frameHeight);
    SetFrameSize(cVector2(frameWidth, frameHeight));
}

void cSprite::SetBlendFactors(int source, int destination) {
    m_BlendSource = source;
    m_BlendDestination = destination;
}

void cSprite::SetFrameSize(const cVector2& size) {
    m_FrameSize = size;
    m_Columns = m_Rows = 1;
    const video::ITexture2D* texture = m_Texture.Get();
    if (!texture) return;
    // Cells that do not fit whole are not used; at least one cell in each direction.
    if (size.x >= 1.0f) m_Columns = static_cast<int>(texture->GetImageWidth() / size.x);
    if (size.y >= 1.0f) m_Rows = static_cast<int>(texture->GetImageHeight() / size.y);
    if (m_Columns < 1) m_Columns = 1;
    if (m_Rows < 1) m_Rows = 1;
}

int cSprite::AddAnimation(int frameCount, float framesPerSecond, int firstFrame, bool loop) {
    if (frameCount < 1 || !(framesPerSecond > 0.0f) || firstFrame < 0) return -1;
    m_Animations.push_back({frameCount, framesPerSecond, firstFrame, loop});
    return static_cast<int>(m_Animations.size()) - 1;
}

bool cSprite::Play(int animation) { return Play(animation, EngineTime() * 0.001f); }

bool cSprite::Play(int animation, float timeSeconds) {
    if (animation < 0 || animation >= GetAnimationCount()) return false;
    m_Animation = animation;
    m_Frame = 0;
    m_State = SPRITE_PLAYING;
    m_LastStep = timeSeconds;
    return true;
}

void cSprite::Update() { Update(EngineTime() * 0.001f); }

void cSprite::Update(float timeSeconds) {
    if (m_State != SPRITE_PLAYING || m_Animation < 0) return;
    const sAnimation& a = m_Animations[static_cast<std::size_t>(m_Animation)];
    if (!(timeSeconds - m_LastStep > 1.0f / a.framesPerSecond)) return;
    m_LastStep = timeSeconds;
    ++m_Frame;
    if (m_Frame >= a.frameCount) {
        if (a.loop) {
            m_Frame = 0;
        } else {
            m_Frame = a.frameCount - 1;
            m_State = SPRITE_STOPPED;
        }
    }
}

cRect cSprite::GetFrameRect(int atlasFrame) const {
    const int cells = m_Columns * m_Rows;
    const int f = cells > 0 ? ((atlasFrame % cells) + cells) % cells : 0;
    const int column = f % m_Columns;
    const int row = f / m_Columns;
    const float w = 1.0f / static_cast<float>(m_Columns);
    const float h = 1.0f / static_cast<float>(m_Rows);
    float cellW = w, cellH = h;
    if (const video::ITexture2D* texture = m_Texture.Get()) {
        // Cells of exactly the frame size from the top-left corner of the image.
        if (texture->GetImageWidth() > 0 && m_FrameSize.x >= 1.0f) cellW = m_FrameSize.x / texture->GetImageWidth();
        if (texture->GetImageHeight() > 0 && m_FrameSize.y >= 1.0f) cellH = m_FrameSize.y / texture->GetImageHeight();
    }
    // Rows count from the top of the image; t = 1 is its top edge.
    const float s1 = column * cellW;
    const float t1 = 1.0f - row * cellH;
    return cRect(s1, t1, s1 + cellW, t1 - cellH);
}

void cSprite::GetCorners(cVector2 corners[4]) const {
    const float hw = m_Size.x * m_Scale * 0.5f;
    const float hh = m_Size.y * m_Scale * 0.5f;
    const float a = DegToRad(m_Rotation);
    const float c = std::cos(a), s = std::sin(a);
    const float local[4][2] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
    for (int i = 0; i < 4; ++i) {
        corners[i] = cVector2(m_Position.x + local[i][0] * c - local[i][1] * s,
                              m_Position.y + local[i][0] * s + local[i][1] * c);
    }
}

void cSprite::Render() {
    if (!m_Renderer || m_Animation < 0 || m_Frame < 0) return;
    const sAnimation& a = m_Animations[static_cast<std::size_t>(m_Animation)];
    const cRect cell = GetFrameRect(a.firstFrame + m_Frame);
    cVector2 c[4];
    GetCorners(c);
    // RenderQuad gives corners 0..3 the coordinates (s1, t1), (s1, t2), (s2, t2), (s2, t1): bottom-left,
    // top-left, top-right, bottom-right of the cell.
    const cVector3 corners[4] = {cVector3(c[0].x, c[0].y, 0.0f), cVector3(c[3].x, c[3].y, 0.0f),
                                 cVector3(c[2].x, c[2].y, 0.0f), cVector3(c[1].x, c[1].y, 0.0f)};
    const cRect texRect(cell.x1, cell.y2, cell.x2, cell.y1);
    // That corner order runs clockwise on the screen: no culling while the quad is drawn.
    const int cullMode = m_Renderer->GetCullMode();
    m_Renderer->SetCullMode(video::CM_NONE);
    m_Renderer->SetBlendFunc(m_BlendSource, m_BlendDestination);
    m_Renderer->RenderQuad(m_Texture.Get(), corners, texRect, m_Color);
    m_Renderer->SetBlendFunc(video::BF_NONE, video::BF_NONE);
    m_Renderer->SetCullMode(cullMode);
}

} // namespace velmora::scene

#include "gui/cSkin.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Log.h"
#include "engine/core/cMatrix.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "gui/SkinImages.h"
#include "video/IFont.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"
#include "video/cCommonFont.h"

namespace velmora::gui {

namespace {

// Texture slots, in the order of kTextureFiles.
enum eSlot : std::int32_t {
    TX_BACKGROUND, TX_BUTTON, TX_BUTTON_SMALL, TX_CHECK_RADIO, TX_CURSORS, TX_GROUP_BOX, TX_LOWERED,
    TX_TABS, TX_WINDOW, TX_PANNEL, TX_SLIDER, TX_SLIDER_THUMB, TX_DOWN, TX_UP
};

// The size of each built-in picture: piece rectangles are given in these pixels and scale with a file of
// another size.
constexpr float kDefaultSize[cSkin::kTextureCount][2] = {
    {64, 64}, {64, 128}, {16, 64}, {64, 32}, {64, 32}, {32, 32}, {32, 32},
    {64, 64}, {64, 32}, {32, 32}, {64, 8}, {32, 16}, {16, 16}, {16, 16}};

// Picture pixel size of a texture.
void TextureSize(video::ITexture2D* texture, float& w, float& h) {
    w = static_cast<float>(texture->GetImageWidth());
    h = static_cast<float>(texture->GetImageHeight());
}

cRect Snapped(const cRect& r) {
    const cRect n = r.Normalized();
    return cRect(std::floor(n.x1 + 0.5f), std::floor(n.y1 + 0.5f), std::floor(n.x2 + 0.5f), std::floor(n.y2 + 0.5f));
}

} // namespace

const char* const cSkin::kTextureFiles[kTextureCount] = {
    "Background.tga", "Button.tga", "ButtonSmall.tga", "CheckRadio.tga", "Cursors.tga",
    "GroupBox.tga",   "Lowered.tga", "Tabs.tga",       "Window.tga",     "Pannel.tga",
    "Slider.tga",     "SliderThumb.tga", "Down.tga",   "Up.tga"};

const char* const cSkin::kFontFiles[FONT_COUNT] = {"data/fonts/default/RadioStars_18.fnt",
                                                   "data/fonts/default/Cambria_14.fnt"};

// Where each piece lies in its picture (top-left origin), its kept borders and the offset between states.
const cSkin::sPiece cSkin::kPieces[SP_COUNT] = {
    {TX_BACKGROUND, 0, 0, 64, 64, 8, 8, 8, 8, 0, 0},      // SP_WINDOW_BODY
    {TX_WINDOW, 0, 0, 64, 32, 8, 8, 8, 4, 0, 0},          // SP_WINDOW_CAPTION
    {TX_PANNEL, 0, 0, 32, 32, 4, 4, 4, 4, 0, 0},          // SP_PANEL
    {TX_LOWERED, 0, 0, 32, 32, 4, 4, 4, 4, 0, 0},         // SP_LOWERED
    {TX_GROUP_BOX, 0, 0, 32, 32, 7, 7, 7, 7, 0, 0},       // SP_GROUP_FRAME
    {TX_BUTTON, 0, 0, 64, 32, 7, 7, 7, 7, 0, 32},         // SP_BUTTON
    {TX_BUTTON_SMALL, 0, 0, 16, 16, 4, 4, 4, 4, 0, 16},   // SP_BUTTON_SMALL
    {TX_CHECK_RADIO, 0, 0, 16, 16, 0, 0, 0, 0, 16, 0},    // SP_CHECK
    {TX_CHECK_RADIO, 0, 16, 16, 16, 0, 0, 0, 0, 16, 0},   // SP_RADIO
    {TX_TABS, 0, 0, 64, 32, 7, 7, 7, 2, 0, 0},            // SP_TAB_ACTIVE
    {TX_TABS, 0, 32, 64, 32, 7, 7, 7, 2, 0, 0},           // SP_TAB
    {TX_SLIDER, 0, 0, 64, 8, 4, 4, 3, 3, 0, 0},           // SP_SLIDER_TRACK
    {TX_SLIDER_THUMB, 0, 0, 16, 16, 0, 0, 0, 0, 16, 0},   // SP_THUMB
    {TX_UP, 0, 0, 16, 16, 0, 0, 0, 0, 0, 0},              // SP_ARROW_UP
    {TX_DOWN, 0, 0, 16, 16, 0, 0, 0, 0, 0, 0},            // SP_ARROW_DOWN
    {TX_CURSORS, 0, 0, 32, 32, 0, 0, 0, 0, 0, 0},         // SP_CURSOR_ARROW
    {TX_CURSORS, 32, 0, 32, 32, 0, 0, 0, 0, 0, 0},        // SP_CURSOR_TEXT
};

cSkin::~cSkin() { Unload(); }

void cSkin::Load(video::IRenderer* renderer) {
    if (renderer == m_Renderer) return;
    Unload();
    m_Renderer = renderer;
    if (!renderer) return;
    IFileSystem* fs = GetProcessFileSystem();
    for (std::int32_t slot = 0; slot < kTextureCount; ++slot) {
        const std::string path = std::string(kFolder) + kTextureFiles[slot];
        video::ITexture2D* texture = nullptr;
        if (fs && fs->FileExists(path.c_str())) {
            texture = renderer->CreateTexture(path.c_str());
        }
        m_FromFile[slot] = texture != nullptr;
        if (!texture) {
            sSkinImage image;
            PaintSkinImage(kTextureFiles[slot], image);
            texture = renderer->CreateTexture(image.rgba.data(), static_cast<std::uint32_t>(image.width),
                                              static_cast<std::uint32_t>(image.height), 4);
        }
        if (texture) {
            texture->SetFiltering(video::TF_LINEAR);
            texture->SetAddressMode(video::TA_CLAMP_TO_EDGE);
        }
        m_Textures[slot] = texture;
    }
    for (std::int32_t font = 0; font < FONT_COUNT; ++font) {
        m_Fonts[font] = renderer->CreateFont(kFontFiles[font]);
        if (!m_Fonts[font] && fs && fs->FileExists("data/fonts/default.fnt")) {
            m_Fonts[font] = renderer->CreateFont("data/fonts/default.fnt");
        }
    }
}

video::ITexture2D* cSkin::GetTexture(const std::string& fileName) {
    for (const auto& image : m_Images) {
        if (image.first == fileName) return image.second;
    }
    video::ITexture2D* texture = m_Renderer && !fileName.empty() ? m_Renderer->CreateTexture(fileName.c_str()) : nullptr;
    if (m_Renderer) m_Images.emplace_back(fileName, texture);
    return texture;
}

void cSkin::Unload() {
    for (auto& image : m_Images) {
        if (image.second) image.second->Release();
    }
    m_Images.clear();
    for (video::ITexture2D*& texture : m_Textures) {
        if (texture) texture->Release();
        texture = nullptr;
    }
    for (video::IFont*& font : m_Fonts) {
        if (font) font->Release();
        font = nullptr;
    }
    m_FromFile.fill(false);
    m_Renderer = nullptr;
}

bool cSkin::IsTextureFromFile(std::int32_t slot) const {
    return slot >= 0 && slot < kTextureCount && m_FromFile[static_cast<std::size_t>(slot)];
}

video::IFont* cSkin::GetFont(std::int32_t font) const {
    return font >= 0 && font < FONT_COUNT ? m_Fonts[static_cast<std::size_t>(font)] : nullptr;
}

void cSkin::BeginFrame(std::int32_t viewWidth, std::int32_t viewHeight) {
    m_ViewWidth = viewWidth;
    m_ViewHeight = viewHeight;
    m_Clips.clear();
    if (!m_Renderer || m_InFrame) return;
    using namespace video;
    IRenderer* r = m_Renderer;
    m_InFrame = true;
    m_SavedBlendSrc = r->GetBlendSrc();
    m_SavedBlendDst = r->GetBlendDst();
    m_SavedCull = r->GetCullMode();
    m_SavedFog = r->GetFogMode();
    m_SavedAlphaFunc = r->GetAlphaTestFunc();
    m_SavedDepthWrite = r->GetDepthWrite();
    r->PushTransform(MM_PROJECTION);
    r->PushTransform(MM_WORLD);
    r->PushTransform(MM_VIEW);
    r->SetProjection(PROJ_ORTHOGRAPHIC, viewWidth, viewHeight, 0.0, 0.0, -1.0, -1.0);
    r->SetTransform(MM_WORLD, static_cast<const cMatrix*>(nullptr));
    r->SetTransform(MM_VIEW, static_cast<const cMatrix*>(nullptr));
    r->SetShader(nullptr);
    r->SetMaterial(nullptr);
    r->SetLighting(false);
    for (int stage = 0; stage < 2; ++stage) r->SetTexture(nullptr, stage);
    r->SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);
    r->SetAlphaTest(CMP_OFF, 0.0f);
    r->SetDepthWrite(false);
    r->SetDepthFunc(CMP_ALWAYS);
    r->SetCullMode(CM_NONE);
    r->SetFogMode(FOG_OFF);
    r->SetScissor(false, 0, 0, 0, 0);
}

void cSkin::EndFrame() {
    m_Clips.clear();
    if (!m_Renderer || !m_InFrame) return;
    using namespace video;
    IRenderer* r = m_Renderer;
    m_InFrame = false;
    r->SetScissor(false, 0, 0, 0, 0);
    r->SetTexture(nullptr, 0);
    r->PopTransform(MM_VIEW);
    r->PopTransform(MM_WORLD);
    r->PopTransform(MM_PROJECTION);
    r->SetBlendFunc(m_SavedBlendSrc, m_SavedBlendDst);
    r->SetAlphaTest(m_SavedAlphaFunc, 0.0f);
    r->SetDepthWrite(m_SavedDepthWrite);
    r->SetDepthFunc(CMP_LEQUAL);
    r->SetCullMode(m_SavedCull);
    r->SetFogMode(m_SavedFog);
}

void cSkin::Blit(video::ITexture2D* texture, float tw, float th, const cRect& dst, float sx, float sy, float sw,
                 float sh, const cColor& tint) {
    if (dst.x2 <= dst.x1 || dst.y2 <= dst.y1 || sw <= 0.0f || sh <= 0.0f) return;
    const cRect src(sx / tw, 1.0f - sy / th, (sx + sw) / tw, 1.0f - (sy + sh) / th);
    m_Renderer->RenderRect(texture, dst, src, tint);
}

void cSkin::DrawPiece(std::int32_t piece, std::int32_t state, const cRect& rect, const cColor& tint) {
    if (!m_Renderer || piece < 0 || piece >= SP_COUNT) return;
    const sPiece& p = kPieces[piece];
    video::ITexture2D* texture = m_Textures[static_cast<std::size_t>(p.texture)];
    if (!texture) return;
    float tw = 0.0f, th = 0.0f;
    TextureSize(texture, tw, th);
    if (tw <= 0.0f || th <= 0.0f) return;
    // Picture pixels of the built-in layout, scaled to the texture at hand.
    const float kx = tw / kDefaultSize[p.texture][0], ky = th / kDefaultSize[p.texture][1];
    state = std::max(0, state);
    const float sx = (p.x + p.stepX * static_cast<float>(state)) * kx;
    const float sy = (p.y + p.stepY * static_cast<float>(state)) * ky;
    const float sw = p.w * kx, sh = p.h * ky;
    const cRect d = Snapped(rect);
    const float w = d.x2 - d.x1, h = d.y2 - d.y1;
    if (w <= 0.0f || h <= 0.0f) return;
    if (p.left + p.right <= 0.0f && p.top + p.bottom <= 0.0f) {
        Blit(texture, tw, th, d, sx, sy, sw, sh, tint);
        return;
    }
    // Nine slices; borders shrink together when the rectangle is smaller than they are.
    const float fx = std::min(1.0f, w / (p.left + p.right)), fy = std::min(1.0f, h / (p.top + p.bottom));
    const float l = std::floor(p.left * fx), r = std::floor(p.right * fx);
    const float t = std::floor(p.top * fy), b = std::floor(p.bottom * fy);
    const float dx[4] = {d.x1, d.x1 + l, d.x2 - r, d.x2};
    const float dy[4] = {d.y2, d.y2 - t, d.y1 + b, d.y1};  // top down
    const float bl = p.left * kx, br = p.right * kx, bt = p.top * ky, bb = p.bottom * ky;
    const float px[4] = {sx, sx + bl, sx + sw - br, sx + sw};
    const float py[4] = {sy, sy + bt, sy + sh - bb, sy + sh};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const cRect cell(dx[col], dy[row + 1], dx[col + 1], dy[row]);
            Blit(texture, tw, th, cell, px[col], py[row], px[col + 1] - px[col], py[row + 1] - py[row], tint);
        }
    }
}

void cSkin::DrawArrow(std::int32_t direction, const cRect& rect, const cColor& tint) {
    if (!m_Renderer) return;
    const cRect n = rect.Normalized();
    const float size = 16.0f;
    const float cx = std::floor((n.x1 + n.x2) * 0.5f - size * 0.5f + 0.5f);
    const float cy = std::floor((n.y1 + n.y2) * 0.5f - size * 0.5f + 0.5f);
    const cRect box(cx, cy, cx + size, cy + size);
    if (direction == ARROW_UP || direction == ARROW_DOWN) {
        DrawPiece(direction == ARROW_UP ? SP_ARROW_UP : SP_ARROW_DOWN, 0, box, tint);
        return;
    }
    video::ITexture2D* texture = m_Textures[TX_UP];
    if (!texture) return;
    // The up arrow turned a quarter: the picture's top edge goes to the left or to the right.
    cVector3 corners[4];
    if (direction == ARROW_LEFT) {
        corners[0] = cVector3(box.x1, box.y1, 0);
        corners[1] = cVector3(box.x2, box.y1, 0);
        corners[2] = cVector3(box.x2, box.y2, 0);
        corners[3] = cVector3(box.x1, box.y2, 0);
    } else {
        corners[0] = cVector3(box.x2, box.y2, 0);
        corners[1] = cVector3(box.x1, box.y2, 0);
        corners[2] = cVector3(box.x1, box.y1, 0);
        corners[3] = cVector3(box.x2, box.y1, 0);
    }
    m_Renderer->RenderQuad(texture, corners, cRect(0.0f, 1.0f, 1.0f, 0.0f), tint);
}

void cSkin::FillRect(const cRect& rect, const cColor& color) {
    if (!m_Renderer) return;
    const cRect d = Snapped(rect);
    if (d.x2 <= d.x1 || d.y2 <= d.y1) return;
    m_Renderer->SetTexture(nullptr, 0);
    m_Renderer->RenderRect(nullptr, d, cRect(0, 0, 0, 0), color);
}

void cSkin::DrawFrame(const cRect& rect, const cColor& color) {
    const cRect d = Snapped(rect);
    FillRect(cRect(d.x1, d.y2 - 1.0f, d.x2, d.y2), color);
    FillRect(cRect(d.x1, d.y1, d.x2, d.y1 + 1.0f), color);
    FillRect(cRect(d.x1, d.y1 + 1.0f, d.x1 + 1.0f, d.y2 - 1.0f), color);
    FillRect(cRect(d.x2 - 1.0f, d.y1 + 1.0f, d.x2, d.y2 - 1.0f), color);
}

float cSkin::GetLineHeight(std::int32_t font) const {
    const video::IFont* f = GetFont(font);
    if (!f) return font == FONT_CAPTION ? 22.0f : 17.0f;
    if (const auto* common = dynamic_cast<const video::cCommonFont*>(f)) {
        const float quad = common->GetCharacter(' ').quadHeight;
        if (quad > 0.0f && quad < 1024.0f) return quad;
    }
    return static_cast<float>(f->GetHeight());
}

float cSkin::MeasureText(std::int32_t font, const std::string& text) const {
    const video::IFont* f = GetFont(font);
    if (!f) return 7.0f * static_cast<float>(text.size());
    return f->MeasureText(text.c_str());
}

void cSkin::DrawText(std::int32_t font, float x, float y, const std::string& text, const cColor& color) {
    video::IFont* f = GetFont(font);
    if (!f || !m_Renderer || text.empty()) return;
    f->SetColor(color);
    f->Print(std::floor(x + 0.5f), std::floor(y + 0.5f), text.c_str());
}

void cSkin::DrawTextInRect(std::int32_t font, const cRect& rect, const std::string& text, const cColor& color,
                           std::int32_t align) {
    const cRect n = rect.Normalized();
    const float width = MeasureText(font, text);
    float x = n.x1;
    if (align == 1) x = (n.x1 + n.x2 - width) * 0.5f;
    if (align == 2) x = n.x2 - width;
    // The glyph quads hold the descent below the baseline; centre the glyph body above it.
    const float line = GetLineHeight(font);
    const float y = (n.y1 + n.y2) * 0.5f - line * 0.5f - line * 0.06f;
    DrawText(font, x, y, text, color);
}

cRect cSkin::GetClip() const {
    if (!m_Clips.empty()) return m_Clips.back();
    return cRect(0.0f, 0.0f, static_cast<float>(m_ViewWidth), static_cast<float>(m_ViewHeight));
}

void cSkin::PushClip(const cRect& rect) {
    const cRect current = GetClip();
    const cRect n = Snapped(rect);
    cRect clip(std::max(current.x1, n.x1), std::max(current.y1, n.y1), std::min(current.x2, n.x2),
               std::min(current.y2, n.y2));
    if (clip.x2 < clip.x1) clip.x2 = clip.x1;
    if (clip.y2 < clip.y1) clip.y2 = clip.y1;
    m_Clips.push_back(clip);
    ApplyClip();
}

void cSkin::PopClip() {
    if (!m_Clips.empty()) m_Clips.pop_back();
    ApplyClip();
}

void cSkin::ApplyClip() {
    if (!m_Renderer || !m_InFrame) return;
    if (m_Clips.empty()) {
        m_Renderer->SetScissor(false, 0, 0, 0, 0);
        return;
    }
    const cRect& c = m_Clips.back();
    // The scissor counts from the top-left of the target.
    m_Renderer->SetScissor(true, static_cast<int>(c.x1), static_cast<int>(static_cast<float>(m_ViewHeight) - c.y2),
                           static_cast<int>(c.x2 - c.x1), static_cast<int>(c.y2 - c.y1));
}

} // namespace velmora::gui

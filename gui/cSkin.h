#pragma once
// The look shared by every control: the skin textures of
// "data/textures/gui/default/" (painted in memory when a file is missing),
// the two GUI fonts, and the drawing helpers controls use: 9-sliced pieces,
// flat fills, text and a clip stack on the renderer's scissor rectangle.
//
// A skin belongs to one GUI manager and loads through the renderer it is
// given (textures and fonts are the renderer's cached resources). Without a
// renderer nothing is drawn and text is measured at a fixed width, so layout
// and input work the same in tests without a device.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/cColor.h"
#include "engine/core/cRect.h"

namespace velmora::video {
class IRenderer;
class ITexture2D;
class IFont;
}

namespace velmora::gui {

// Pieces of the skin. Multi-state pieces take a state: buttons 0 normal, 1 hover, 2 pressed, 3 disabled;
// check boxes and radio buttons 0 off, 1 on, 2 disabled off, 3 disabled on; thumbs 0 normal, 1 hot.
enum eSkinPiece : std::int32_t {
    SP_WINDOW_BODY,
    SP_WINDOW_CAPTION,
    SP_PANEL,
    SP_LOWERED,
    SP_GROUP_FRAME,
    SP_BUTTON,
    SP_BUTTON_SMALL,
    SP_CHECK,
    SP_RADIO,
    SP_TAB_ACTIVE,
    SP_TAB,
    SP_SLIDER_TRACK,
    SP_THUMB,
    SP_ARROW_UP,
    SP_ARROW_DOWN,
    SP_CURSOR_ARROW,
    SP_CURSOR_TEXT,
    SP_COUNT
};

enum eSkinFont : std::int32_t {
    FONT_CAPTION = 0,  // "RadioStars_18": window captions
    FONT_TEXT = 1,     // "Cambria_14": everything else
    FONT_COUNT
};

enum eArrowDirection : std::int32_t { ARROW_UP, ARROW_DOWN, ARROW_LEFT, ARROW_RIGHT };

class cSkin {
public:
    // The texture files of the skin, in the order of the skin's texture slots.
    static constexpr std::int32_t kTextureCount = 14;
    static const char* const kTextureFiles[kTextureCount];
    static const char* const kFontFiles[FONT_COUNT];
    static constexpr const char* kFolder = "data/textures/gui/default/";

    // Colours of text and flat fills.
    static constexpr cColor kText{30, 41, 46};
    static constexpr cColor kTextDisabled{140, 152, 158};
    static constexpr cColor kCaptionText{255, 255, 255};
    static constexpr cColor kSelection{26, 128, 142};
    static constexpr cColor kSelectionText{255, 255, 255};
    static constexpr cColor kHover{214, 236, 238};
    static constexpr cColor kFocus{38, 150, 160};
    static constexpr cColor kLine{196, 206, 211};

    // Height of a window's caption bar.
    static constexpr float kCaptionHeight = 26.0f;

    cSkin() = default;
    ~cSkin();
    cSkin(const cSkin&) = delete;
    cSkin& operator=(const cSkin&) = delete;

    // Loads textures and fonts through the renderer (again when it is another renderer); null unloads.
    void Load(video::IRenderer* renderer);
    // Releases what Load took.
    void Unload();
    video::IRenderer* GetRenderer() const { return m_Renderer; }
    // True when the texture slot came from its file rather than from the built-in picture.
    bool IsTextureFromFile(std::int32_t slot) const;
    video::IFont* GetFont(std::int32_t font) const;

    // ---- A frame ---------------------------------------------------------------------------
    // Prepares the renderer for 2D drawing over a view of the given size; EndFrame puts its states back.
    void BeginFrame(std::int32_t viewWidth, std::int32_t viewHeight);
    void EndFrame();

    // Draws a piece over a screen rectangle, its borders kept at their size, tinted with a colour.
    void DrawPiece(std::int32_t piece, std::int32_t state, const cRect& rect, const cColor& tint = cColor(255, 255, 255));
    // An arrow glyph centred in the rectangle.
    void DrawArrow(std::int32_t direction, const cRect& rect, const cColor& tint = cColor(255, 255, 255));
    void FillRect(const cRect& rect, const cColor& color);
    // A one-pixel frame just inside the rectangle.
    void DrawFrame(const cRect& rect, const cColor& color);
    // A texture of the given file, loaded on first use and kept until the skin unloads; null when it
    // cannot be loaded (tried once).
    video::ITexture2D* GetTexture(const std::string& fileName);
    // Text with the pen's lower-left corner at (x, y); one line.
    void DrawText(std::int32_t font, float x, float y, const std::string& text, const cColor& color);
    // One line of text vertically centred in the rectangle; align 0 left, 1 centre, 2 right.
    void DrawTextInRect(std::int32_t font, const cRect& rect, const std::string& text, const cColor& color,
                        std::int32_t align = 0);
    // Width in pixels of one line of text.
    float MeasureText(std::int32_t font, const std::string& text) const;
    // Height of a line of text in pixels.
    float GetLineHeight(std::int32_t font) const;

    // Narrows drawing to the rectangle (intersected with the current clip); PopClip restores.
    void PushClip(const cRect& rect);
    void PopClip();
    // The current clip rectangle (the whole view without one).
    cRect GetClip() const;

private:
    struct sPiece {
        std::int32_t texture;  // slot
        float x, y, w, h;      // pixels in the picture, top-left origin
        float left, right, top, bottom;  // borders kept at size
        float stepX, stepY;    // offset of the next state
    };
    static const sPiece kPieces[SP_COUNT];

    void ApplyClip();
    // Quad with texture coordinates from picture pixels (top-left origin).
    void Blit(video::ITexture2D* texture, float tw, float th, const cRect& dst, float sx, float sy, float sw, float sh,
              const cColor& tint);

    video::IRenderer* m_Renderer = nullptr;
    std::array<video::ITexture2D*, kTextureCount> m_Textures{};
    std::array<bool, kTextureCount> m_FromFile{};
    std::array<video::IFont*, FONT_COUNT> m_Fonts{};
    std::int32_t m_ViewWidth = 0;
    std::int32_t m_ViewHeight = 0;
    std::vector<cRect> m_Clips;
    std::vector<std::pair<std::string, video::ITexture2D*>> m_Images;
    bool m_InFrame = false;
    // Renderer states saved by BeginFrame.
    std::int32_t m_SavedBlendSrc = 0, m_SavedBlendDst = 0, m_SavedCull = 0, m_SavedFog = 0, m_SavedAlphaFunc = 0;
    bool m_SavedDepthWrite = true;
};

} // namespace velmora::gui
